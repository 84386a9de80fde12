#include "hidlink/capture/CaptureFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include "common/SystemText.h"
#endif

namespace hidlink {

namespace {

// The capture holds serials and paths: for the user's eyes only. A link in its place is not
// followed, so that a capture never overwrites the file a link leads to.
#ifdef _WIN32
constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_TRUNC | O_BINARY;
constexpr int kCreateMode = S_IREAD | S_IWRITE;
#else
constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW;
constexpr int kCreateMode = 0600;
#endif

int OpenForWriting(const std::string& path) {
#ifdef _WIN32
    return ::_wopen(common::Utf16(path).c_str(), kCreateFlags, kCreateMode);
#else
    const int descriptor = ::open(path.c_str(), kCreateFlags, kCreateMode);
    // The mode given to open() only reaches a file it creates: one already there keeps its own,
    // which may let others read what is written now.
    if (descriptor >= 0 && ::fchmod(descriptor, kCreateMode) != 0) {
        const int error = errno;
        ::close(descriptor);
        errno = error;
        return -1;
    }
    return descriptor;
#endif
}

}  // namespace

std::unique_ptr<CaptureFile> CaptureFile::Create(const std::string& path, std::string* problem) {
    const int descriptor = OpenForWriting(path);
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
            // A fragment already out is ended, so that the lines after it stay readable.
            if (written > 0)
                (void)!::write(descriptor_, "\n", 1);
            return;
        }
        written += static_cast<std::size_t>(n);
    }
}

}  // namespace hidlink
