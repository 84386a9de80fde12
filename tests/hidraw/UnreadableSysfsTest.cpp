// A sysfs file that cannot be read whole — a folder where the file should be (read fails as on
// EIO), or more than any such file holds — fails the call that needed it, as the Windows call
// fails, instead of escaping as an exception that ends the program. That happens when a device
// goes away between the listing and the read, just when an updater probes for its device.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>

#include "hidlink/platform/linux/HidrawApi.h"
#include "tests/hidraw/FakeSysfs.h"

namespace {

using namespace hidlink;
namespace fs = std::filesystem;

enum class Spoil { Folder, TooLong };

struct UnreadableCase {
    const char* name;
    bool onUsbDevice;  // the file lies on the USB device, else on the HID device
    const char* file;
    Spoil spoil;
    std::size_t tooLong;  // bytes that are too many for this file
};

void PrintTo(const UnreadableCase& c, std::ostream* os) {
    *os << c.name;
}

class UnreadableSysfs : public ::testing::TestWithParam<UnreadableCase> {};

TEST_P(UnreadableSysfs, FailsTheCallsThatNeedItWithoutThrowing) {
    const UnreadableCase& c = GetParam();
    hidraw_test::FakeSysfs sysfs;
    hidraw_test::UsbAttributes usb;
    usb.manufacturer = "Maker";
    usb.product = "Product";
    usb.serial = "SN";
    sysfs.AddUsbHidraw(0, usb, {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0xC0});
    const fs::path hidDevice =
        fs::canonical(fs::path(sysfs.SysRoot()) / "class/hidraw/hidraw0/device");
    const fs::path file =
        (c.onUsbDevice ? hidDevice.parent_path().parent_path() : hidDevice) / c.file;
    fs::remove(file);
    if (c.spoil == Spoil::Folder)
        fs::create_directory(file);
    else
        std::ofstream(file) << std::string(c.tooLong, 'a');

    hidraw::HidrawApi api(sysfs.SysRoot(), sysfs.DevRoot());
    SecurityAttributes security;
    const Handle handle =
        api.CreateFileA(sysfs.DevicePath(0), kGenericRead | kGenericWrite,
                        kFileShareRead | kFileShareWrite, &security, kOpenExisting, 0);
    ASSERT_NE(handle, kInvalidHandleValue);

    using StringCall = Bool32 (ApiDeclarations::*)(Handle, void*, std::uint32_t);
    const std::array<std::pair<std::string, StringCall>, 3> strings = {{
        {"manufacturer", &ApiDeclarations::HidD_GetManufacturerString},
        {"product", &ApiDeclarations::HidD_GetProductString},
        {"serial", &ApiDeclarations::HidD_GetSerialNumberString},
    }};
    for (const auto& [attribute, call] : strings) {
        std::array<std::uint8_t, 100> buffer{};
        Bool32 result = -1;
        EXPECT_NO_THROW(result = (api.*call)(handle, buffer.data(), 100)) << attribute;
        // Without the uevent the device is not known to be on USB, and a plain file answers no
        // ioctl: every string fails.
        if (c.file == std::string("uevent") || c.file == attribute)
            EXPECT_EQ(result, 0) << attribute;
        else
            EXPECT_EQ(result, 1) << attribute;
    }
    PreparsedData preparsed = 0;
    Bool32 result = -1;
    EXPECT_NO_THROW(result = api.HidD_GetPreparsedData(handle, &preparsed));
    EXPECT_EQ(result, c.file == std::string("report_descriptor") ? 0 : 1);
    if (result != 0)
        api.HidD_FreePreparsedData(preparsed);
    HiddAttributes attributes;
    attributes.Size = kHiddAttributesSize;
    EXPECT_NO_THROW(api.HidD_GetAttributes(handle, &attributes));
    EXPECT_EQ(api.CloseHandle(handle), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnreadableSysfs,
    ::testing::Values(
        UnreadableCase{"UeventFolder", false, "uevent", Spoil::Folder, 0},
        UnreadableCase{"UeventTooLong", false, "uevent", Spoil::TooLong, 8193},
        UnreadableCase{"DescriptorFolder", false, "report_descriptor", Spoil::Folder, 0},
        UnreadableCase{"DescriptorTooLong", false, "report_descriptor", Spoil::TooLong, 4097},
        UnreadableCase{"ManufacturerFolder", true, "manufacturer", Spoil::Folder, 0},
        UnreadableCase{"ProductTooLong", true, "product", Spoil::TooLong, 8193},
        UnreadableCase{"SerialFolder", true, "serial", Spoil::Folder, 0},
        UnreadableCase{"ReleaseNumberFolder", true, "bcdDevice", Spoil::Folder, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
