// A file opened for appending only: each write lands at its end in one piece, whoever else
// appends at the same time (O_APPEND; FILE_APPEND_DATA alone on Windows).
#pragma once

#include <optional>
#include <string>

namespace updater {

class AppendOnlyFile {
  public:
    // Creates the file when missing. Nothing when it cannot be opened (see LastErrorText()).
    static std::optional<AppendOnlyFile> Open(const std::string& path);
    ~AppendOnlyFile();
    AppendOnlyFile(AppendOnlyFile&& other) noexcept;
    AppendOnlyFile(const AppendOnlyFile&) = delete;
    AppendOnlyFile& operator=(const AppendOnlyFile&) = delete;
    AppendOnlyFile& operator=(AppendOnlyFile&&) = delete;

    // The last byte is not a line end: a write before this one stopped halfway.
    bool EndsInsideALine() const;
    // One write of all the bytes: how many were written, or -1 when none could be.
    long long Write(const std::string& bytes);

  private:
    explicit AppendOnlyFile(void* handle) : handle_(handle) {}
    void* handle_;  // the descriptor, or the Windows handle
};

// Why the last call of this thread into the system failed.
std::string LastErrorText();

}  // namespace updater
