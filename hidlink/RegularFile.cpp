#include "hidlink/RegularFile.h"

#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <io.h>
#endif

#include <cerrno>
#include <cstring>

namespace hidlink {

int KeepRegularFile(int fd, std::string* errorText, bool* notFound) {
    if (fd < 0) {
        *notFound = errno == ENOENT;
        *errorText = std::strerror(errno);
        return -1;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        *errorText = S_ISDIR(status.st_mode) ? std::strerror(EISDIR) : "not a regular file";
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace hidlink
