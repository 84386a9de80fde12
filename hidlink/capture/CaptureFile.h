// The file a capture is written to: each line goes out whole in one write, straight to the
// system, so a run that crashes leaves every line written before the crash.
#pragma once

#include <memory>
#include <string>

namespace hidlink {

class CaptureFile {
  public:
    // Creates (or empties) the file; nothing, with the system's reason in *problem, when it
    // cannot be created.
    static std::unique_ptr<CaptureFile> Create(const std::string& path, std::string* problem);
    ~CaptureFile();
    CaptureFile(const CaptureFile&) = delete;
    CaptureFile& operator=(const CaptureFile&) = delete;

    // Appends the line and a line end. A capture is evidence, not the run's purpose: a line the
    // disk refuses is counted, not allowed to stop the program.
    void WriteLine(const std::string& line);
    int LinesLost() const { return linesLost_; }

  private:
    explicit CaptureFile(int descriptor) : descriptor_(descriptor) {}
    int descriptor_;
    int linesLost_ = 0;
};

}  // namespace hidlink
