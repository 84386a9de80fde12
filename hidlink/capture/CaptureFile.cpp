#include "hidlink/capture/CaptureFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace hidlink {

namespace {

#ifdef _WIN32
constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_TRUNC | O_BINARY;
constexpr int kCreateMode = S_IREAD | S_IWRITE;
#else
constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;
constexpr int kCreateMode = 0644;
#endif

}  // namespace

std::unique_ptr<CaptureFile> CaptureFile::Create(const std::string& path, std::string* problem) {
    const int descriptor = ::open(path.c_str(), kCreateFlags, kCreateMode);
    if (descriptor < 0) {
        *problem = std::strerror(errno);
        return nullptr;
    }
    return std::unique_ptr<CaptureFile>(new CaptureFile(descriptor));
}

CaptureFile::~CaptureFile() {
    ::close(descriptor_);
}

void CaptureFile::WriteLine(const std::string& line) {
    const std::string whole = line + "\n";
    std::size_t written = 0;
    // One write carries the line; the loop only finishes one the system cut short.
    while (written < whole.size()) {
        const auto n = ::write(descriptor_, whole.data() + written,
                               static_cast<unsigned>(whole.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ++linesLost_;
            return;
        }
        written += static_cast<std::size_t>(n);
    }
}

}  // namespace hidlink
