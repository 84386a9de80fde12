#include "hidlink/sim/ImageFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <io.h>
#endif

#include <cerrno>
#include <cstring>

#include "common/SystemText.h"
#include "hidlink/RegularFile.h"

namespace sim {

using namespace hidlink;

namespace {

#ifdef _WIN32
constexpr int kImageOpenFlags = O_RDONLY | O_BINARY;  // no FIFOs to block on
#else
constexpr int kImageOpenFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
#endif

}  // namespace

ImageFiles::~ImageFiles() {
    for (auto& [handle, file] : files_)
        std::fclose(file);
}

void ImageFiles::FailReadAt(int nthReadFromNow, std::string errorText) {
    readsUntilFailure_ = nthReadFromNow;
    readFailureText_ = std::move(errorText);
}

void ImageFiles::FailOpen(std::string path, std::string errorText) {
    failingOpens_[std::move(path)] = std::move(errorText);
}

FileHandle ImageFiles::Open(const std::string& path, std::string* errorText, bool* notFound) {
    Call& call = log_.Log(CallKind::kOpenImageFile);
    call.text = path;
    *notFound = false;
    if (log_.TakeFailure(call)) {
        *errorText = "Input/output error";
        return kNoFile;
    }
    auto failing = failingOpens_.find(path);
    if (failing != failingOpens_.end()) {
        *errorText = failing->second;
        return kNoFile;
    }
    // As the real backends: opened without blocking, so a FIFO named like the image cannot hold
    // the window, and only a regular file is kept.
#ifdef _WIN32
    const int fd = ::_wopen(common::Utf16(path).c_str(), kImageOpenFlags);
#else
    const int fd = ::open(path.c_str(), kImageOpenFlags);
#endif
    if (KeepRegularFile(fd, errorText, notFound) < 0)
        return kNoFile;
    std::FILE* f = ::fdopen(fd, "rb");
    if (f == nullptr) {
        *errorText = std::strerror(errno);
        ::close(fd);
        return kNoFile;
    }
    const FileHandle handle = nextFile_++;
    files_[handle] = f;
    call.result = handle;
    return handle;
}

std::int64_t ImageFiles::Size(FileHandle file, std::string* errorText) {
    Call& call = log_.Log(CallKind::kImageFileSize);
    auto it = files_.find(file);
    if (log_.TakeFailure(call)) {
        *errorText = "Input/output error";
        return -1;
    }
    if (it == files_.end()) {
        *errorText = "not open";
        return -1;
    }
    struct stat st {};
    if (::fstat(fileno(it->second), &st) != 0 || !S_ISREG(st.st_mode)) {
        *errorText = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : std::strerror(errno);
        return -1;
    }
    return st.st_size;
}

std::int64_t ImageFiles::Read(FileHandle file, void* buffer, std::uint32_t length,
                              std::string* errorText) {
    Call& call = log_.Log(CallKind::kReadImageFile);
    call.length = length;
    auto it = files_.find(file);
    if (it == files_.end()) {
        *errorText = "not open";
        return -1;
    }
    if (log_.TakeFailure(call)) {
        *errorText = "Input/output error";
        call.result = -1;
        return -1;
    }
    if (readsUntilFailure_ > 0 && --readsUntilFailure_ == 0) {
        *errorText = readFailureText_;
        call.result = -1;
        return -1;
    }
    const std::size_t n = std::fread(buffer, 1, length, it->second);
    if (n < length && std::ferror(it->second)) {
        *errorText = std::strerror(errno);
        call.result = -1;
        return -1;
    }
    call.result = static_cast<std::int64_t>(n);
    return call.result;
}

void ImageFiles::Close(FileHandle file) {
    log_.Log(CallKind::kCloseImageFile);
    auto it = files_.find(file);
    if (it == files_.end()) {
        problems_.push_back("image file closed twice");
        return;
    }
    std::fclose(it->second);
    files_.erase(it);
}

}  // namespace sim
