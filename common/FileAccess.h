// The files the programs write and read themselves (the update log, recordings, small settings):
// one way to open them on every platform, by UTF-8 paths, which reach Windows as UTF-16 so that a
// user or folder named in any script is found.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace common {

class File {
  public:
    // Creates the file when missing; every write lands at its end in one piece, whoever else
    // appends at the same time (O_APPEND; FILE_APPEND_DATA without write rights on Windows).
    static std::optional<File> OpenForAppending(const std::string& path);
    // Creates the file, or empties the one there.
    static std::optional<File> CreateEmptied(const std::string& path);
    // Reads an existing file. On POSIX without blocking, so that a FIFO put in a file's place
    // cannot hold the program.
    static std::optional<File> OpenForReading(const std::string& path);

    ~File();
    File(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File& operator=(File&&) = delete;

    // One write of all the bytes: how many were written, or -1 when none could be.
    long long WriteOnce(const std::string& bytes) const;
    // All the bytes, in as many writes as it takes; false when one failed, with *problem (when
    // given) saying why.
    bool WriteAll(const std::string& bytes, std::string* problem = nullptr) const;
    // Up to `size` bytes: how many were read (0 at the end), or -1.
    long long Read(char* bytes, std::size_t size) const;
    // The file's size, or -1.
    std::int64_t Size() const;
    // The last byte is not a line end: a write before this one stopped halfway.
    bool EndsInsideALine() const;
    // The file has no name left: whatever is written to it is lost when it is closed.
    bool Deleted() const;

  private:
    explicit File(std::intptr_t native) : native_(native) {}
    std::intptr_t native_;  // the descriptor, or the Windows handle; -1 when none
};

// Why the last call of this thread into the system failed, in UTF-8.
std::string LastErrorText();

// Creates the folder a file is to go in, and those above it; best effort (the open that follows
// says what failed).
void CreateFoldersFor(const std::string& filePath);

}  // namespace common
