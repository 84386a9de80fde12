#include "hidlink/capture/PlatformError.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#endif

namespace hidlink {

#ifdef _WIN32
std::int64_t LastPlatformError() {
    return static_cast<std::int64_t>(::GetLastError());
}
void RestorePlatformError(std::int64_t error) {
    ::SetLastError(static_cast<DWORD>(error));
}
#else
std::int64_t LastPlatformError() {
    return errno;
}
void RestorePlatformError(std::int64_t error) {
    errno = static_cast<int>(error);
}
#endif

}  // namespace hidlink
