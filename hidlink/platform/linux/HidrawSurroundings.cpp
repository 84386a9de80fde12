// The parts of HidrawApi that are not about devices: sleeping, the program's folder, the code
// page and image files.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "hidlink/DeviceIdentity.h"
#include "hidlink/RegularFile.h"
#include "hidlink/platform/linux/HidrawApi.h"

namespace hidlink::hidraw {

void HidrawApi::Sleep(std::uint32_t milliseconds) {
    linuxtiming::SleepAtLeast(milliseconds);
}

std::string HidrawApi::ProgramDirectory() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    // Without it the image is not looked for elsewhere: the working folder may hold anything.
    if (error)
        return {};
    return exe.parent_path().string();
}

char32_t HidrawApi::AnsiToUnicode(std::uint8_t code) const {
    // Linux has no ANSI code page; the one Windows uses in the West keeps the texts alike.
    return Windows1252ToUnicode(code);
}

FileHandle HidrawApi::OpenImageFile(const std::string& path, std::string* errorText,
                                    bool* notFound) {
    *notFound = false;
    // Opened without blocking, then checked on the handle: a FIFO named like the image would
    // otherwise hold the window in open() until a writer comes, and a device node is no image.
    const int fd = KeepRegularFile(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK),
                                   errorText, notFound);
    if (fd < 0)
        return kNoFile;
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    openImageFiles_.insert(fd);
    return fd;
}

std::int64_t HidrawApi::ImageFileSize(FileHandle file, std::string* errorText) {
    struct stat status {};
    if (!openImageFiles_.contains(file)) {
        *errorText = std::strerror(EBADF);
        return -1;
    }
    if (::fstat(static_cast<int>(file), &status) != 0) {
        *errorText = std::strerror(errno);
        return -1;
    }
    // A folder opens for reading on Linux, though it is no image; Windows refuses to open one.
    if (!S_ISREG(status.st_mode)) {
        *errorText = std::strerror(S_ISDIR(status.st_mode) ? EISDIR : EINVAL);
        return -1;
    }
    return status.st_size;
}

std::int64_t HidrawApi::ReadImageFile(FileHandle file, void* buffer, std::uint32_t length,
                                      std::string* errorText) {
    if (!openImageFiles_.contains(file)) {
        *errorText = std::strerror(EBADF);
        return -1;
    }
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::uint32_t total = 0;
    // read() may return less than asked before the end of the file; callers count on full
    // records, so keep reading until the length or the end.
    while (total < length) {
        const ssize_t got = ::read(static_cast<int>(file), out + total, length - total);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            *errorText = std::strerror(errno);
            return -1;
        }
        if (got == 0)
            break;
        total += static_cast<std::uint32_t>(got);
    }
    return total;
}

void HidrawApi::CloseImageFile(FileHandle file) {
    if (openImageFiles_.erase(file) == 1)
        ::close(static_cast<int>(file));
}

}  // namespace hidlink::hidraw
