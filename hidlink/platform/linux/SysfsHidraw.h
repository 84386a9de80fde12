// What sysfs tells about hidraw nodes: which exist, and for each the HID device's uevent and
// report descriptor and, for USB devices, the strings and release number of the USB device.
//
// Layout relied on (the root is a parameter so tests can build the same tree in a temp folder):
//   <root>/class/hidraw/hidrawN            -> ../../devices/.../<hid device>/hidraw/hidrawN
//   <root>/class/hidraw/hidrawN/device     -> the HID device: uevent, report_descriptor
//   a few levels above the HID device      the USB device: idVendor, bcdDevice, manufacturer,
//                                          product, serial
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace hidlink::hidraw {

// "hidraw" followed by decimal digits only.
bool IsHidrawNodeName(const std::string& name);

class SysfsHidraw {
  public:
    explicit SysfsHidraw(std::filesystem::path root);

    // Names of the hidraw nodes ("hidraw0", ...) in numeric order: hidraw2 before hidraw10.
    std::vector<std::string> Nodes() const;

    // The value of KEY=value in the HID device's uevent, e.g. "HID_UNIQ".
    std::optional<std::string> UeventValue(const std::string& node, const std::string& key) const;
    std::optional<std::vector<std::uint8_t>> ReportDescriptor(const std::string& node) const;

    // The folder of the USB device the HID device belongs to; none for a HID device on another
    // bus (Bluetooth, I2C, virtual), even when that bus's adapter itself sits on USB.
    std::optional<std::filesystem::path> UsbDevice(const std::string& node) const;
    // A string attribute of the USB device ("manufacturer", "product", "serial") without the
    // line end sysfs adds; none when the device is not on USB or has no such string.
    std::optional<std::string> UsbString(const std::string& node, const std::string& name) const;
    // The vendor and product IDs of the HID device's HID_ID; sysfs shows them to every user,
    // also for a node that user may not open.
    std::optional<std::pair<std::uint16_t, std::uint16_t>> VendorProduct(
        const std::string& node) const;
    // The USB device's bcdDevice; 0 when there is none.
    std::uint16_t ReleaseNumber(const std::string& node) const;

  private:
    std::filesystem::path HidDevice(const std::string& node) const;

    std::filesystem::path root_;
};

}  // namespace hidlink::hidraw
