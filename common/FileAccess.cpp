#include "common/FileAccess.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include "common/SystemText.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace common {

#ifdef _WIN32

namespace {

HANDLE Handle(std::intptr_t native) {
    return reinterpret_cast<HANDLE>(native);
}

std::optional<std::intptr_t> Opened(const std::string& path, DWORD access, DWORD disposition) {
    // Others may read and write meanwhile (a viewer, a second program appending), as _open lets
    // them; deleting or renaming it while it is open fails with a sharing violation.
    const HANDLE handle =
        CreateFileW(Utf16(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    return reinterpret_cast<std::intptr_t>(handle);
}

}  // namespace

std::optional<File> File::OpenForAppending(const std::string& path) {
    // Append rights without write rights: Windows puts every write at the end of the file.
    const auto native = Opened(path, FILE_APPEND_DATA | FILE_READ_DATA, OPEN_ALWAYS);
    return native ? std::optional<File>(File(*native)) : std::nullopt;
}

std::optional<File> File::CreateEmptied(const std::string& path) {
    const auto native = Opened(path, GENERIC_WRITE, CREATE_ALWAYS);
    return native ? std::optional<File>(File(*native)) : std::nullopt;
}

std::optional<File> File::OpenForReading(const std::string& path) {
    const auto native = Opened(path, GENERIC_READ, OPEN_EXISTING);
    return native ? std::optional<File>(File(*native)) : std::nullopt;
}

File::~File() {
    if (native_ != -1)
        CloseHandle(Handle(native_));
}

long long File::WriteOnce(const std::string& bytes) const {
    DWORD written = 0;
    if (WriteFile(Handle(native_), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                  nullptr) == 0 &&
        written == 0) {
        return -1;
    }
    return written;
}

long long File::Read(char* bytes, std::size_t size) const {
    DWORD got = 0;
    if (ReadFile(Handle(native_), bytes, static_cast<DWORD>(size), &got, nullptr) == 0)
        return -1;
    return got;
}

std::int64_t File::Size() const {
    LARGE_INTEGER size{};
    if (GetFileSizeEx(Handle(native_), &size) == 0)
        return -1;
    return size.QuadPart;
}

bool File::EndsInsideALine() const {
    const std::int64_t size = Size();
    if (size <= 0)
        return false;
    OVERLAPPED at{};
    const std::uint64_t last = static_cast<std::uint64_t>(size - 1);
    at.Offset = static_cast<DWORD>(last);
    at.OffsetHigh = static_cast<DWORD>(last >> 32);
    char c = '\n';
    DWORD got = 0;
    return ReadFile(Handle(native_), &c, 1, &got, &at) != 0 && got == 1 && c != '\n';
}

bool File::Deleted() const {
    BY_HANDLE_FILE_INFORMATION information{};
    return GetFileInformationByHandle(Handle(native_), &information) != 0 &&
           information.nNumberOfLinks == 0;
}

std::string LastErrorText() {
    const DWORD error = GetLastError();
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0)
        return "error " + std::to_string(error);
    std::wstring message(text, length);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r'))
        message.pop_back();
    return Utf8(message);
}

void CreateFoldersFor(const std::string& filePath) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(Utf16(filePath)).parent_path(),
                                        ignored);
}

#else

std::optional<File> File::OpenForAppending(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    return fd < 0 ? std::nullopt : std::optional<File>(File(fd));
}

std::optional<File> File::CreateEmptied(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    return fd < 0 ? std::nullopt : std::optional<File>(File(fd));
}

std::optional<File> File::OpenForReading(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    return fd < 0 ? std::nullopt : std::optional<File>(File(fd));
}

File::~File() {
    if (native_ != -1)
        close(static_cast<int>(native_));
}

long long File::WriteOnce(const std::string& bytes) const {
    for (;;) {
        const ssize_t written = write(static_cast<int>(native_), bytes.data(), bytes.size());
        if (written >= 0 || errno != EINTR)
            return written;
    }
}

long long File::Read(char* bytes, std::size_t size) const {
    for (;;) {
        const ssize_t got = read(static_cast<int>(native_), bytes, size);
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

std::int64_t File::Size() const {
    struct stat status {};
    if (fstat(static_cast<int>(native_), &status) != 0)
        return -1;
    return status.st_size;
}

bool File::EndsInsideALine() const {
    const std::int64_t size = Size();
    if (size <= 0)
        return false;
    char c = '\n';
    return pread(static_cast<int>(native_), &c, 1, size - 1) == 1 && c != '\n';
}

bool File::Deleted() const {
    struct stat status {};
    return fstat(static_cast<int>(native_), &status) == 0 && status.st_nlink == 0;
}

std::string LastErrorText() {
    return std::generic_category().message(errno);
}

void CreateFoldersFor(const std::string& filePath) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(filePath).parent_path(), ignored);
}

#endif

bool File::WriteAll(const std::string& bytes, std::string* problem) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const long long written = WriteOnce(bytes.substr(done));
        if (written <= 0) {
            // A write of nothing sets no error: the system's last one is another call's.
            if (problem != nullptr)
                *problem = written < 0 ? LastErrorText() : "nothing written";
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

File::File(File&& other) noexcept : native_(other.native_) {
    other.native_ = -1;
}

}  // namespace common
