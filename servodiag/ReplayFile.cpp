#include "servodiag/ReplayFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "common/PathText.h"

#ifdef _WIN32
#include <io.h>

#include "common/SystemText.h"
#else
#include <unistd.h>
#endif

namespace servodiag {

namespace {

#ifdef _WIN32
using FileStatus = struct _stat64;
bool StatusOf(const std::string& path, FileStatus* status) {
    return _wstat64(common::Utf16(path).c_str(), status) == 0;
}
bool StatusOf(int fd, FileStatus* status) {
    return _fstat64(fd, status) == 0;
}
int OpenForReading(const std::string& path) {
    return _wopen(common::Utf16(path).c_str(), _O_RDONLY | _O_BINARY);
}
long long ReadSome(int fd, char* bytes, std::size_t size) {
    return _read(fd, bytes, static_cast<unsigned>(size));
}
void CloseFile(int fd) {
    _close(fd);
}
bool IsFolder(const FileStatus& status) {
    return (status.st_mode & _S_IFMT) == _S_IFDIR;
}
bool IsRegular(const FileStatus& status) {
    return (status.st_mode & _S_IFMT) == _S_IFREG;
}
#else
using FileStatus = struct stat;
bool StatusOf(const std::string& path, FileStatus* status) {
    return stat(path.c_str(), status) == 0;
}
bool StatusOf(int fd, FileStatus* status) {
    return fstat(fd, status) == 0;
}
// Non-blocking: a FIFO put in the file's place after it was looked at must not hold the open.
int OpenForReading(const std::string& path) {
    return open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}
long long ReadSome(int fd, char* bytes, std::size_t size) {
    return read(fd, bytes, size);
}
void CloseFile(int fd) {
    close(fd);
}
bool IsFolder(const FileStatus& status) {
    return S_ISDIR(status.st_mode);
}
bool IsRegular(const FileStatus& status) {
    return S_ISREG(status.st_mode);
}
#endif

// Why a file of this type and size is not read; empty when it is read.
std::string Refusal(const FileStatus& status) {
    if (IsFolder(status))
        return "a folder, not a recording";
    if (!IsRegular(status))
        return "not a regular file (a device, a FIFO or a socket), not a recording";
    if (status.st_size > kMostRecordingBytes)
        return std::to_string(status.st_size >> 20) + " MB, more than the " +
               std::to_string(kMostRecordingBytes >> 20) +
               " MB a recording may have (two days at five readings a second)";
    return {};
}

}  // namespace

std::optional<std::string> ReadRecordingFile(const std::string& path, std::string* error) {
    const auto fail = [&](const std::string& why) {
        *error = common::ShownPath(path) + ": " + why;
        return std::nullopt;
    };
    FileStatus status{};
    if (!StatusOf(path, &status))
        return fail(std::strerror(errno));
    if (std::string why = Refusal(status); !why.empty())
        return fail(why);
    const int fd = OpenForReading(path);
    if (fd < 0)
        return fail(std::strerror(errno));
    // What was opened is looked at again: the name may have been given to another file since.
    std::string why = StatusOf(fd, &status) ? Refusal(status) : std::strerror(errno);
    std::string text;
    if (why.empty()) {
        text.reserve(static_cast<std::size_t>(status.st_size));
        char chunk[1 << 16];
        for (;;) {
            const long long got = ReadSome(fd, chunk, sizeof chunk);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                why = std::strerror(errno);
                break;
            }
            if (got == 0)
                break;
            // A file that grows while read stops at the limit all the same.
            if (std::int64_t(text.size()) + got > kMostRecordingBytes) {
                why = "grew past the " + std::to_string(kMostRecordingBytes >> 20) +
                      " MB a recording may have while it was read";
                break;
            }
            text.append(chunk, static_cast<std::size_t>(got));
        }
    }
    CloseFile(fd);
    if (!why.empty())
        return fail(why);
    return text;
}

}  // namespace servodiag
