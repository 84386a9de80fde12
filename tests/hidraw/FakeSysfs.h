// A sysfs and /dev tree in a temp folder, laid out and linked like the kernel's, for the hidraw
// backend to enumerate and walk. The /dev/hidrawN entries are plain files, so everything that
// needs no ioctl can be exercised.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace hidraw_test {

struct UsbAttributes {
    std::string idVendor = "1d47";
    std::string idProduct = "2233";
    std::optional<std::string> bcdDevice = "0105";
    std::optional<std::string> manufacturer;
    std::optional<std::string> product;
    std::optional<std::string> serial;
};

class FakeSysfs {
  public:
    FakeSysfs();
    ~FakeSysfs();
    FakeSysfs(const FakeSysfs&) = delete;
    FakeSysfs& operator=(const FakeSysfs&) = delete;

    std::string SysRoot() const { return (root_ / "sys").string(); }
    std::string DevRoot() const { return (root_ / "dev").string(); }
    std::string DevicePath(int node) const;

    // hidrawN on a HID interface of a USB device, below a root hub that has its own attributes.
    void AddUsbHidraw(int node, const UsbAttributes& usb,
                      const std::vector<std::uint8_t>& reportDescriptor = {});
    // hidrawN of a HID device whose HID_ID names `bus` (0005: Bluetooth), sitting below a USB
    // adapter, or (virtual) below no USB device at all.
    void AddOtherHidraw(int node, const std::string& bus, const std::string& name,
                        const std::string& uniq, bool belowUsbAdapter);

  private:
    void LinkNode(int node, const std::filesystem::path& hidDevice);
    void Write(const std::filesystem::path& path, const std::string& contents);

    std::filesystem::path root_;
};

}  // namespace hidraw_test
