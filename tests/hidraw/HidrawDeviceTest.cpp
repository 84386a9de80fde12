// Handles, identity strings, release number and capabilities of the hidraw backend, on a sysfs
// tree in a temp folder whose /dev nodes are plain files (so no ioctl answers).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <functional>

#include "hidlink/HidLink.h"
#include "hidlink/platform/linux/HidrawApi.h"
#include "tests/hidraw/FakeSysfs.h"

namespace {

using namespace hidlink;
using hidraw_test::FakeSysfs;
using hidraw_test::UsbAttributes;

constexpr std::uint8_t kUntouched = 0xAA;

class HidrawDevice : public testing::Test {
  protected:
    Handle Open(int node, Bool32 inheritable = 1) {
        SecurityAttributes security;
        security.nLength = api.SecurityAttributesSize();
        security.bInheritHandle = inheritable;
        return api.CreateFileA(sysfs.DevicePath(node), kGenericRead | kGenericWrite,
                               kFileShareRead | kFileShareWrite, &security, kOpenExisting, 0);
    }

    using StringCall = Bool32 (ApiDeclarations::*)(Handle, void*, std::uint32_t);
    // The string as the programs read it: 100 bytes asked for, decoded low byte by low byte.
    std::u16string ReadString(Handle handle, StringCall call, Bool32* result) {
        std::array<std::uint8_t, 201> buffer{};
        *result = (api.*call)(handle, buffer.data(), 100);
        std::u16string text;
        for (std::size_t i = 0; i + 1 < buffer.size() && (buffer[i] | buffer[i + 1]); i += 2) {
            text.push_back(static_cast<char16_t>(buffer[i] | buffer[i + 1] << 8));
        }
        return text;
    }

    FakeSysfs sysfs;
    hidraw::HidrawApi api{sysfs.SysRoot(), sysfs.DevRoot()};
};

TEST_F(HidrawDevice, InheritableOnlyWhenTheSecurityRecordSaysSo) {
    sysfs.AddUsbHidraw(0, {});
    for (Bool32 inheritable : {0, 1}) {
        const Handle handle = Open(0, inheritable);
        ASSERT_NE(handle, kInvalidHandleValue);
        const int fdFlags = ::fcntl(static_cast<int>(handle), F_GETFD);
        EXPECT_EQ((fdFlags & FD_CLOEXEC) == 0, inheritable != 0) << "inheritable " << inheritable;
        EXPECT_EQ(api.CloseHandle(handle), 1);
    }
}

TEST_F(HidrawDevice, MissingNodeIsAnInvalidHandleAndNothingIsCreated) {
    EXPECT_EQ(Open(5), kInvalidHandleValue);
    EXPECT_FALSE(std::filesystem::exists(sysfs.DevicePath(5)));
}

TEST_F(HidrawDevice, SecondCloseFailsAndLeavesAReusedDescriptorOpen) {
    sysfs.AddUsbHidraw(0, {});
    const Handle handle = Open(0);
    ASSERT_EQ(api.CloseHandle(handle), 1);
    // The lowest free descriptor is the one just closed.
    const int other = ::open(sysfs.DevicePath(0).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(other, handle);
    EXPECT_EQ(api.CloseHandle(handle), 0);
    EXPECT_NE(::fcntl(other, F_GETFD), -1) << "a descriptor the backend did not open was closed";
    ::close(other);
}

TEST_F(HidrawDevice, StringsComeFromTheUsbDevice) {
    UsbAttributes usb;
    usb.manufacturer = "Drivanta";
    usb.product =
        "Stra\xC3\x9F"
        "e \xE2\x82\xAC";  // UTF-8 in sysfs
    usb.serial = "SN-0042";
    sysfs.AddUsbHidraw(4, usb);
    const Handle handle = Open(4);
    Bool32 result = 0;
    EXPECT_EQ(ReadString(handle, &ApiDeclarations::HidD_GetManufacturerString, &result),
              u"Drivanta");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(ReadString(handle, &ApiDeclarations::HidD_GetProductString, &result),
              u"Stra\u00DFe \u20AC");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(ReadString(handle, &ApiDeclarations::HidD_GetSerialNumberString, &result),
              u"SN-0042");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(api.CloseHandle(handle), 1);
}

TEST_F(HidrawDevice, AbsentOrEmptyUsbStringFailsWithoutFallingBackToTheHidName) {
    UsbAttributes usb;
    usb.manufacturer = "";  // sysfs shows a bare line end
    sysfs.AddUsbHidraw(0, usb);
    const Handle handle = Open(0);
    for (StringCall call :
         {&ApiDeclarations::HidD_GetManufacturerString, &ApiDeclarations::HidD_GetProductString,
          &ApiDeclarations::HidD_GetSerialNumberString}) {
        std::array<std::uint8_t, 100> buffer;
        buffer.fill(kUntouched);
        EXPECT_EQ((api.*call)(handle, buffer.data(), 100), 0);
        for (std::uint8_t b : buffer)
            ASSERT_EQ(b, kUntouched);
    }
    EXPECT_EQ(api.CloseHandle(handle), 1);
}

TEST_F(HidrawDevice, OffUsbTheHidNameAndUniqueIdStandInAndTheAdapterIsNotAsked) {
    // A Bluetooth device behind a USB adapter, and a virtual device on the USB bus type.
    sysfs.AddOtherHidraw(1, "0005", "Drivanta Wheel", "aa:bb:cc:dd:ee:ff", true);
    sysfs.AddOtherHidraw(2, "0003", "Virtual Wheel", "V-1", false);
    struct Expected {
        int node;
        std::u16string product;
        std::u16string serial;
    };
    for (const Expected& e : {Expected{1, u"Drivanta Wheel", u"aa:bb:cc:dd:ee:ff"},
                              Expected{2, u"Virtual Wheel", u"V-1"}}) {
        const Handle handle = Open(e.node);
        Bool32 result = 1;
        ReadString(handle, &ApiDeclarations::HidD_GetManufacturerString, &result);
        EXPECT_EQ(result, 0) << "node " << e.node;
        EXPECT_EQ(ReadString(handle, &ApiDeclarations::HidD_GetProductString, &result), e.product);
        EXPECT_EQ(ReadString(handle, &ApiDeclarations::HidD_GetSerialNumberString, &result),
                  e.serial);
        EXPECT_EQ(api.CloseHandle(handle), 1);
    }
}

TEST_F(HidrawDevice, LongStringIsCutAtTheRequestedLength) {
    UsbAttributes usb;
    usb.product = std::string(60, 'P');
    sysfs.AddUsbHidraw(0, usb);
    const Handle handle = Open(0);
    Bool32 result = 0;
    EXPECT_EQ(ReadString(handle, &ApiDeclarations::HidD_GetProductString, &result),
              std::u16string(50, u'P'));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(api.CloseHandle(handle), 1);
}

TEST_F(HidrawDevice, ReleaseNumberIsTheUsbDevicesBcdDevice) {
    UsbAttributes withVersion;
    withVersion.bcdDevice = "0a1f";
    UsbAttributes withoutVersion;
    withoutVersion.bcdDevice.reset();
    sysfs.AddUsbHidraw(0, withVersion);
    sysfs.AddUsbHidraw(1, withoutVersion);
    sysfs.AddOtherHidraw(2, "0005", "Wheel", "", true);  // the adapter's bcdDevice is not its
    const hidraw::SysfsHidraw tree(sysfs.SysRoot());
    EXPECT_EQ(tree.ReleaseNumber("hidraw0"), 0x0A1F);
    EXPECT_EQ(tree.ReleaseNumber("hidraw1"), 0);
    EXPECT_EQ(tree.ReleaseNumber("hidraw2"), 0);
    EXPECT_EQ(tree.ReleaseNumber("hidraw9"), 0);
}

TEST_F(HidrawDevice, CapsComeFromTheReportDescriptor) {
    // Vendor page 0xFF00, usage 1; feature reports 8 (63 bytes) and 17 (100 bytes); input 64.
    const std::vector<std::uint8_t> descriptor = {
        0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x85, 0x08, 0x95,
        0x3F, 0x09, 0x01, 0xB1, 0x02, 0x85, 0x11, 0x95, 0x64, 0x09, 0x01, 0xB1,
        0x02, 0x85, 0x01, 0x95, 0x40, 0x09, 0x01, 0x81, 0x02, 0xC0};
    sysfs.AddUsbHidraw(0, {}, descriptor);
    HidLink link;
    link.DeviceHandle = Open(0);
    ReadCapabilities(link, api);
    EXPECT_EQ(link.Capabilities.FeatureReportByteLength, 101);
    EXPECT_EQ(link.Capabilities.InputReportByteLength, 65);
    EXPECT_EQ(link.Capabilities.OutputReportByteLength, 0);
    EXPECT_EQ(link.Capabilities.UsagePage, 0xFF00);
    EXPECT_EQ(link.Capabilities.Usage, 1);
    EXPECT_EQ(link.LastResult, 1) << "the preparsed data were not freed";
    EXPECT_EQ(api.CloseHandle(link.DeviceHandle), 1);
}

TEST_F(HidrawDevice, FailedSearchLeavesNoDescriptorOpen) {
    // Plain files answer no HIDIOCGRAWINFO, so every node is opened, refused and closed.
    for (int node : {0, 1, 2})
        sysfs.AddUsbHidraw(node, {});
    auto openDescriptors = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                             std::filesystem::directory_iterator());
    };
    const auto before = openDescriptors();
    HidLink link;
    EXPECT_FALSE(FindTheHid(link, api, DeviceProfile{&ServodiagAccepts}));
    EXPECT_EQ(openDescriptors(), before);
}

namespace refusal {

// Runs `body` in a child process as a user without privileges (nobody when the test runs as
// root), so that a root-owned node with mode 0600 refuses it as it refuses a user without the
// udev rule. Returns the child's exit status.
int AsUnprivilegedUser(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(100);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
}

}  // namespace refusal

TEST_F(HidrawDevice, ANodeThatRefusesThisUserIsNamedByItsSysfsIds) {
    sysfs.AddUsbHidraw(0, {});
    // Readable sysfs and /dev folders, a node only its owner may open, as without the rule.
    std::filesystem::permissions(
        std::filesystem::path(sysfs.SysRoot()).parent_path(),
        std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
            std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
            std::filesystem::perms::others_exec);
    std::filesystem::permissions(sysfs.DevicePath(0), std::filesystem::perms::owner_read |
                                                          std::filesystem::perms::owner_write);
    const int status = refusal::AsUnprivilegedUser([&] {
        if (Open(0) != kInvalidHandleValue)
            return 1;
        HiddAttributes attributes;
        if (api.AccessRefused(sysfs.DevicePath(0), &attributes) != OpenRefusal::NotPermitted)
            return 2;
        return attributes.VendorID == 0x1D47 && attributes.ProductID == 0x2233 ? 0 : 3;
    });
    EXPECT_EQ(status, 0) << "1: opened, 2: not called refused, 3: wrong IDs";
}

TEST_F(HidrawDevice, AMissingNodeOrAnotherPathIsNotARefusal) {
    sysfs.AddUsbHidraw(0, {});
    HiddAttributes attributes;
    ASSERT_EQ(Open(5), kInvalidHandleValue);
    EXPECT_EQ(api.AccessRefused(sysfs.DevicePath(5), &attributes), OpenRefusal::None)
        << "absent is not refused";
    EXPECT_EQ(api.AccessRefused(sysfs.DevicePath(0), &attributes), OpenRefusal::None)
        << "never refused";
}

// Only the form this backend hands out, <dev root>/hidrawN, names a node: another spelling of the
// same file opens it but reads nothing from sysfs, as before it was found by that name.
TEST_F(HidrawDevice, TheNodeIsKnownOnlyByThePathTheListGives) {
    UsbAttributes usb;
    usb.product = "Wheel";
    sysfs.AddUsbHidraw(3, usb);
    const struct {
        std::string path;
        bool named;
    } cases[] = {
        {sysfs.DevicePath(3), true},
        {sysfs.DevRoot() + "//hidraw3", false},
        {sysfs.DevRoot() + "/../dev/hidraw3", false},
        {sysfs.DevRoot() + "/./hidraw3", false},
    };
    for (const auto& c : cases) {
        const Handle handle =
            api.CreateFileA(c.path, kGenericRead | kGenericWrite, kFileShareRead | kFileShareWrite,
                            nullptr, kOpenExisting, 0);
        ASSERT_NE(handle, kInvalidHandleValue) << c.path;
        Bool32 result = 0;
        const std::u16string product =
            ReadString(handle, &ApiDeclarations::HidD_GetProductString, &result);
        EXPECT_EQ(result != 0, c.named) << c.path;
        EXPECT_EQ(product == u"Wheel", c.named) << c.path;
        EXPECT_EQ(api.CloseHandle(handle), 1) << c.path;
    }
}

}  // namespace
