// The image files of the simulated bus: real files, opened as the real backends open them, each
// call logged, with the faults a test plans (a failing open of a path, a failing n-th read, or
// any call failed through the call log).
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "hidlink/ApiDeclarations.h"
#include "hidlink/sim/CallLog.h"

namespace sim {

class ImageFiles {
  public:
    // Calls are logged and failed through `log`; misuse (a file closed twice) goes to `problems`.
    ImageFiles(CallLog& log, std::vector<std::string>& problems) : log_(log), problems_(problems) {}
    ~ImageFiles();
    ImageFiles(const ImageFiles&) = delete;
    ImageFiles& operator=(const ImageFiles&) = delete;

    // The n-th Read from now (1 = the next) fails with this error text.
    void FailReadAt(int nthReadFromNow, std::string errorText);
    // Opening this path fails with this error text (for an unreadable file).
    void FailOpen(std::string path, std::string errorText);
    bool AnyOpen() const { return !files_.empty(); }

    // The ApiDeclarations calls of the same names.
    hidlink::FileHandle Open(const std::string& path, std::string* errorText, bool* notFound);
    std::int64_t Size(hidlink::FileHandle file, std::string* errorText);
    std::int64_t Read(hidlink::FileHandle file, void* buffer, std::uint32_t length,
                      std::string* errorText);
    void Close(hidlink::FileHandle file);

  private:
    CallLog& log_;
    std::vector<std::string>& problems_;
    std::map<hidlink::FileHandle, std::FILE*> files_;
    hidlink::FileHandle nextFile_ = 1;
    std::map<std::string, std::string> failingOpens_;
    int readsUntilFailure_ = 0;
    std::string readFailureText_;
};

}  // namespace sim
