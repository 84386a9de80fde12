#include "tests/hidraw/FakeSysfs.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace hidraw_test {

namespace fs = std::filesystem;

namespace {

const fs::path kUsbBus = fs::path("devices") / "pci0000:00" / "0000:00:14.0" / "usb1";

}  // namespace

FakeSysfs::FakeSysfs() {
    std::string pattern = (fs::temp_directory_path() / "hidraw-sysfs-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    fs::create_directories(root_ / "sys" / "class" / "hidraw");
    fs::create_directories(root_ / "dev");
    // The root hub is a USB device too; the walk must stop below it.
    Write(root_ / "sys" / kUsbBus / "idVendor", "1d6b\n");
    Write(root_ / "sys" / kUsbBus / "bcdDevice", "0606\n");
    Write(root_ / "sys" / kUsbBus / "manufacturer", "Root hub maker\n");
}

FakeSysfs::~FakeSysfs() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

std::string FakeSysfs::DevicePath(int node) const {
    return DevRoot() + "/hidraw" + std::to_string(node);
}

void FakeSysfs::Write(const fs::path& path, const std::string& contents) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

void FakeSysfs::LinkNode(int node, const fs::path& hidDevice) {
    const std::string name = "hidraw" + std::to_string(node);
    const fs::path classDir = hidDevice / "hidraw" / name;
    fs::create_directories(classDir);
    // As in the kernel: the class entry and the node's "device" are relative symlinks.
    fs::create_symlink(fs::path("../..") / classDir.lexically_relative(root_ / "sys"),
                       root_ / "sys" / "class" / "hidraw" / name);
    fs::create_directory_symlink("../..", classDir / "device");
    Write(root_ / "dev" / name, "");
}

void FakeSysfs::AddUsbHidraw(int node, const UsbAttributes& usb,
                             const std::vector<std::uint8_t>& reportDescriptor) {
    const std::string port = "1-" + std::to_string(node + 1);
    const fs::path usbDevice = root_ / "sys" / kUsbBus / port;
    Write(usbDevice / "idVendor", usb.idVendor + "\n");
    Write(usbDevice / "idProduct", usb.idProduct + "\n");
    if (usb.bcdDevice)
        Write(usbDevice / "bcdDevice", *usb.bcdDevice + "\n");
    if (usb.manufacturer)
        Write(usbDevice / "manufacturer", *usb.manufacturer + "\n");
    if (usb.product)
        Write(usbDevice / "product", *usb.product + "\n");
    if (usb.serial)
        Write(usbDevice / "serial", *usb.serial + "\n");

    const fs::path hidDevice = usbDevice / (port + ":1.0") / "0003:1D47:2233.0001";
    Write(hidDevice / "uevent",
          "DRIVER=hid-generic\nHID_ID=0003:00001D47:00002233\n"
          "HID_NAME=usbhid name\nHID_UNIQ=usbhid uniq\n");
    Write(hidDevice / "report_descriptor",
          std::string(reportDescriptor.begin(), reportDescriptor.end()));
    LinkNode(node, hidDevice);
}

void FakeSysfs::AddOtherHidraw(int node, const std::string& bus, const std::string& name,
                               const std::string& uniq, bool belowUsbAdapter) {
    const std::string id = bus + ":1D47:2233.000" + std::to_string(node);
    const fs::path hidDevice =
        belowUsbAdapter
            ? root_ / "sys" / kUsbBus / "1-9" / "1-9:1.0" / "bluetooth" / "hci0" / "hci0:256" / id
            : root_ / "sys" / "devices" / "virtual" / "misc" / "uhid" / id;
    if (belowUsbAdapter) {
        Write(root_ / "sys" / kUsbBus / "1-9" / "idVendor", "8087\n");
        Write(root_ / "sys" / kUsbBus / "1-9" / "manufacturer", "Adapter maker\n");
        Write(root_ / "sys" / kUsbBus / "1-9" / "bcdDevice", "0001\n");
    }
    Write(hidDevice / "uevent",
          "HID_ID=" + bus + ":00001D47:00002233\nHID_NAME=" + name + "\nHID_UNIQ=" + uniq + "\n");
    Write(hidDevice / "report_descriptor", "");
    LinkNode(node, hidDevice);
}

}  // namespace hidraw_test
