#include "hidlink/platform/win32/FeatureIo.h"

namespace hidlink::win32 {

BOOL DeviceIoControlWithTimeout(HANDLE device, DWORD controlCode, void* in, DWORD inLength,
                                void* out, DWORD outLength, DWORD timeoutMs) {
    OVERLAPPED overlapped{};
    overlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (overlapped.hEvent == nullptr)
        return FALSE;

    DWORD transferred = 0;
    BOOL ok = ::DeviceIoControl(device, controlCode, in, inLength, out, outLength, &transferred,
                                &overlapped);
    if (!ok && ::GetLastError() == ERROR_IO_PENDING) {
        if (::WaitForSingleObject(overlapped.hEvent, timeoutMs) != WAIT_OBJECT_0) {
            ::CancelIoEx(device, &overlapped);
        }
        // Waits for the request to end, completed or cancelled.
        ok = ::GetOverlappedResult(device, &overlapped, &transferred, TRUE);
    }

    const DWORD error = ::GetLastError();
    ::CloseHandle(overlapped.hEvent);
    ::SetLastError(ok ? ERROR_SUCCESS : error);
    return ok;
}

}  // namespace hidlink::win32
