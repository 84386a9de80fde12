// The calling thread's last error as the platform keeps it (GetLastError on Windows, errno
// elsewhere), read after a call and put back after the capture has written its line, so that
// writing the line never changes what the program sees.
#pragma once

#include <cstdint>

namespace hidlink {

std::int64_t LastPlatformError();
void RestorePlatformError(std::int64_t error);

}  // namespace hidlink
