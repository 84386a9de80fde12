// Feature reports on a handle opened with FILE_FLAG_OVERLAPPED.
//
// HidD_GetFeature / HidD_SetFeature pass no OVERLAPPED record, which is not a documented
// combination with such a handle. The request is made with DeviceIoControl and an OVERLAPPED
// instead, and waited for here, so it stays synchronous for the caller. The wait is bounded: a
// device unplugged mid-request may never complete it.
#pragma once

#include <windows.h>

namespace hidlink::win32 {

inline constexpr DWORD kFeatureTimeoutMs = 1000;

// Issues the request and waits at most timeoutMs for it; after that the request is cancelled and
// its cancellation waited for, so neither the OVERLAPPED record nor the buffers are touched after
// the return. Returns nonzero on success; on failure GetLastError() says why
// (ERROR_OPERATION_ABORTED after a timeout).
BOOL DeviceIoControlWithTimeout(HANDLE device, DWORD controlCode, void* in, DWORD inLength,
                                void* out, DWORD outLength, DWORD timeoutMs);

}  // namespace hidlink::win32
