// Discovery through the real SetupAPI and hid.dll. Wine provides two virtual HID devices of
// vendor 0x845E (a mouse and a keyboard) once its prefix has started up; on Windows any HID
// device the user may open will do.
#include <gtest/gtest.h>

#include <vector>

#include "hidlink/DeviceIdentity.h"
#include "hidlink/HidLink.h"
#include "hidlink/PlatformApi.h"
#include "tests/win32/OpenHandles.h"

namespace {

using hidlink::HidLink;

bool AnyVendor(const hidlink::HiddAttributes& attributes) {
    return attributes.VendorID != 0;
}

const hidlink::DeviceProfile kAnyDevice{&AnyVendor, hidlink::NoDeviceRule::LeaveUntouched, 0};

class RealDiscovery : public ::testing::Test {
  protected:
    void SetUp() override {
        // The first round loads hid.dll, SetupAPI and the configuration manager, which keep
        // handles of their own.
        HidLink warmUp;
        ASSERT_TRUE(hidlink::FindTheHid(warmUp, api, kAnyDevice))
            << "no HID device; under Wine, start the prefix with `wineboot -i` first";
        api.DevicePort(warmUp.DevicePath);
        hidlink::CloseDevice(warmUp, api);
        handlesBefore = OpenHandleCount();
    }

    hidlink::ApiDeclarations& api = hidlink::PlatformApi();
    int handlesBefore = 0;
};

TEST_F(RealDiscovery, FindsADeviceAndReadsItsPathAttributesAndCapabilities) {
    HidLink link;
    ASSERT_TRUE(hidlink::FindTheHid(link, api, kAnyDevice));

    EXPECT_TRUE(link.DeviceDetected);
    EXPECT_EQ(link.DevicePath.rfind("\\\\?\\", 0), 0u) << link.DevicePath;
    EXPECT_NE(link.Attributes.VendorID, 0);
    EXPECT_NE(link.Attributes.ProductID, 0);
    // Wine's devices report no feature report; every HID device has a top-level usage.
    EXPECT_NE(link.Capabilities.UsagePage, 0);
    EXPECT_NE(link.Capabilities.NumberLinkCollectionNodes, 0);
    EXPECT_TRUE(IsOpenHandle(link.DeviceHandle));
    EXPECT_TRUE(IsOpenHandle(link.OverlappedHandle));
    EXPECT_NE(link.DeviceHandle, link.OverlappedHandle);

    hidlink::CloseDevice(link, api);
}

// Each device listed, and each found again as itself, not as another that reports the same serial
// number (Wine's two devices do, and Wine's device tree gives no port).
TEST_F(RealDiscovery, ListsEveryDeviceAndFindsEachAgainAsItself) {
    const std::vector<hidlink::DeviceListing> devices =
        hidlink::ListMatchingDevices(api, kAnyDevice).devices;
    ASSERT_FALSE(devices.empty());
    for (const hidlink::DeviceListing& device : devices) {
        HidLink link;
        link.Target = hidlink::TargetOf(device);
        ASSERT_TRUE(hidlink::FindTheHid(link, api, kAnyDevice)) << device.path;
        EXPECT_EQ(link.DevicePath, device.path);
        hidlink::CloseDevice(link, api);
    }
    EXPECT_EQ(OpenHandleCount(), handlesBefore);
}

TEST_F(RealDiscovery, CloseDeviceLeavesNoHandleOpen) {
    HidLink link;
    ASSERT_TRUE(hidlink::FindTheHid(link, api, kAnyDevice));
    const hidlink::Handle plain = link.DeviceHandle;
    const hidlink::Handle overlapped = link.OverlappedHandle;

    hidlink::CloseDevice(link, api);

    EXPECT_FALSE(IsOpenHandle(plain));
    EXPECT_FALSE(IsOpenHandle(overlapped));
    EXPECT_EQ(OpenHandleCount(), handlesBefore);
}

TEST_F(RealDiscovery, AFailedSearchLeavesNoHandleOpen) {
    HidLink link;
    const hidlink::DeviceProfile noDevice{[](const hidlink::HiddAttributes&) { return false; },
                                          hidlink::NoDeviceRule::LeaveUntouched, 0};

    EXPECT_FALSE(hidlink::FindTheHid(link, api, noDevice));
    EXPECT_EQ(OpenHandleCount(), handlesBefore);
}

TEST_F(RealDiscovery, ReadsTheProductStringOnTheOverlappedHandle) {
    HidLink link;
    ASSERT_TRUE(hidlink::FindTheHid(link, api, kAnyDevice));
    std::uint8_t buffer[hidlink::kStringBufferSize] = {};

    EXPECT_NE(api.HidD_GetProductString(link.OverlappedHandle, buffer, hidlink::kStringReadLength),
              0);
    EXPECT_FALSE(hidlink::DecodeHidString(buffer, api).empty());

    hidlink::CloseDevice(link, api);
}

// Wine's devices refuse feature reports; the refusal must come back as a failure on both kinds
// of handle, and the request on the overlapped one must not leave its event behind.
TEST_F(RealDiscovery, ARefusedFeatureReportFailsOnBothHandles) {
    HidLink link;
    ASSERT_TRUE(hidlink::FindTheHid(link, api, kAnyDevice));
    if (link.Capabilities.FeatureReportByteLength != 0) {
        hidlink::CloseDevice(link, api);
        GTEST_SKIP() << "this device answers feature reports";
    }
    const int handlesOpen = OpenHandleCount();
    std::uint8_t report[64] = {};

    for (const hidlink::Handle handle : {link.DeviceHandle, link.OverlappedHandle}) {
        EXPECT_EQ(api.HidD_GetFeature(handle, report, 8), 0);
        EXPECT_EQ(api.HidD_SetFeature(handle, report, 8), 0);
    }
    EXPECT_EQ(OpenHandleCount(), handlesOpen);

    hidlink::CloseDevice(link, api);
}

// A device another program holds without sharing is not "no device": the search says it is in
// use, known by the IDs in its path.
hidlink::HiddAttributes heldIds;
bool IsTheHeldDevice(const hidlink::HiddAttributes& a) {
    return a.VendorID == heldIds.VendorID && a.ProductID == heldIds.ProductID;
}

TEST_F(RealDiscovery, ADeviceHeldWithoutSharingIsInUse) {
    HidLink first;
    ASSERT_TRUE(hidlink::FindTheHid(first, api, kAnyDevice));
    heldIds = first.Attributes;
    const std::string path = first.DevicePath;
    hidlink::CloseDevice(first, api);
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    HANDLE second =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (second != INVALID_HANDLE_VALUE) {
        CloseHandle(second);
        CloseHandle(held);
        GTEST_SKIP() << "this system lets a HID device held without sharing be opened again "
                        "(Wine 8 does)";
    }

    HidLink link;
    const hidlink::DeviceProfile onlyThatOne{&IsTheHeldDevice,
                                             hidlink::NoDeviceRule::LeaveUntouched, 0};
    EXPECT_FALSE(hidlink::FindTheHid(link, api, onlyThatOne));
    EXPECT_EQ(link.LastSearch, hidlink::SearchOutcome::InUse) << path;
    CloseHandle(held);
    EXPECT_TRUE(hidlink::FindTheHid(link, api, onlyThatOne)) << "free again";
    hidlink::CloseDevice(link, api);
}

}  // namespace
