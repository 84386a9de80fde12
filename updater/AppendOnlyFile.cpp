#include "updater/AppendOnlyFile.h"

#include <cstdint>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace updater {

#ifdef _WIN32

namespace {

HANDLE Handle(void* handle) {
    return static_cast<HANDLE>(handle);
}

}  // namespace

std::optional<AppendOnlyFile> AppendOnlyFile::Open(const std::string& path) {
    // Append rights without write rights: Windows puts every write at the end of the file.
    const HANDLE handle = CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_DATA,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    return AppendOnlyFile(handle);
}

AppendOnlyFile::~AppendOnlyFile() {
    if (handle_ != nullptr)
        CloseHandle(Handle(handle_));
}

bool AppendOnlyFile::EndsInsideALine() const {
    LARGE_INTEGER size{};
    if (GetFileSizeEx(Handle(handle_), &size) == 0 || size.QuadPart == 0)
        return false;
    OVERLAPPED at{};
    const std::uint64_t last = static_cast<std::uint64_t>(size.QuadPart - 1);
    at.Offset = static_cast<DWORD>(last);
    at.OffsetHigh = static_cast<DWORD>(last >> 32);
    char c = '\n';
    DWORD got = 0;
    return ReadFile(Handle(handle_), &c, 1, &got, &at) != 0 && got == 1 && c != '\n';
}

long long AppendOnlyFile::Write(const std::string& bytes) {
    DWORD written = 0;
    if (WriteFile(Handle(handle_), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                  nullptr) == 0 &&
        written == 0) {
        return -1;
    }
    return written;
}

std::string LastErrorText() {
    return std::system_category().message(static_cast<int>(GetLastError()));
}

#else

namespace {

int Descriptor(void* handle) {
    return static_cast<int>(reinterpret_cast<std::intptr_t>(handle)) - 1;
}

// Stored one up, so that a moved-from file holds null.
void* Stored(int fd) {
    return reinterpret_cast<void*>(static_cast<std::intptr_t>(fd) + 1);
}

}  // namespace

std::optional<AppendOnlyFile> AppendOnlyFile::Open(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return std::nullopt;
    return AppendOnlyFile(Stored(fd));
}

AppendOnlyFile::~AppendOnlyFile() {
    if (handle_ != nullptr)
        close(Descriptor(handle_));
}

bool AppendOnlyFile::EndsInsideALine() const {
    struct stat status {};
    if (fstat(Descriptor(handle_), &status) != 0 || status.st_size == 0)
        return false;
    char c = '\n';
    return pread(Descriptor(handle_), &c, 1, status.st_size - 1) == 1 && c != '\n';
}

long long AppendOnlyFile::Write(const std::string& bytes) {
    for (;;) {
        const ssize_t written = write(Descriptor(handle_), bytes.data(), bytes.size());
        if (written >= 0 || errno != EINTR)
            return written;
    }
}

std::string LastErrorText() {
    return std::generic_category().message(errno);
}

#endif

AppendOnlyFile::AppendOnlyFile(AppendOnlyFile&& other) noexcept : handle_(other.handle_) {
    other.handle_ = nullptr;
}

}  // namespace updater
