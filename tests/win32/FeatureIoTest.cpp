// The bounded wait of requests on overlapped handles, on a named pipe: listening on a pipe is a
// request that stays pending until a client comes, like a feature request to a silent device.
#include "hidlink/platform/win32/FeatureIo.h"

#include <gtest/gtest.h>

#include <winioctl.h>

#include <hidclass.h>

#include <string>

#include "tests/win32/OpenHandles.h"

namespace {

using hidlink::win32::DeviceIoControlWithTimeout;

// ConnectNamedPipe's request (ntifs.h, a driver header).
constexpr DWORD kPipeListen = CTL_CODE(FILE_DEVICE_NAMED_PIPE, 2, METHOD_BUFFERED, FILE_ANY_ACCESS);

class OverlappedPipe : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::wstring name =
            L"\\\\.\\pipe\\drivanta-featureio-" + std::to_wstring(::GetCurrentProcessId());
        pipe_ = ::CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                   PIPE_TYPE_BYTE, 1, 64, 64, 0, nullptr);
        ASSERT_NE(pipe_, INVALID_HANDLE_VALUE);
        handlesBefore_ = OpenHandleCount();
    }
    void TearDown() override { ::CloseHandle(pipe_); }

    HANDLE pipe_ = INVALID_HANDLE_VALUE;
    int handlesBefore_ = 0;
};

TEST_F(OverlappedPipe, ARequestThatNeverCompletesIsCancelledAfterTheTimeout) {
    EXPECT_FALSE(DeviceIoControlWithTimeout(pipe_, kPipeListen, nullptr, 0, nullptr, 0, 20));
    EXPECT_EQ(::GetLastError(), DWORD(ERROR_OPERATION_ABORTED));
    EXPECT_EQ(OpenHandleCount(), handlesBefore_);

    // Cancelled, not left pending: the pipe takes the same request again.
    EXPECT_FALSE(DeviceIoControlWithTimeout(pipe_, kPipeListen, nullptr, 0, nullptr, 0, 20));
    EXPECT_EQ(::GetLastError(), DWORD(ERROR_OPERATION_ABORTED));
}

TEST_F(OverlappedPipe, ARequestRefusedAtOnceFailsWithoutWaiting) {
    std::uint8_t report[8] = {};
    // A HID request means nothing to a pipe.
    EXPECT_FALSE(DeviceIoControlWithTimeout(pipe_, IOCTL_HID_GET_FEATURE, report, sizeof report,
                                            report, sizeof report, INFINITE));
    EXPECT_NE(::GetLastError(), DWORD(ERROR_IO_PENDING));
    EXPECT_EQ(OpenHandleCount(), handlesBefore_);
}

}  // namespace
