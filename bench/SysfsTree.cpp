#include "bench/SysfsTree.h"

#include <stdlib.h>

#include <fstream>
#include <stdexcept>

namespace bench {

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

fs::path InMemoryTempDirectory() {
    std::error_code error;
    if (fs::is_directory("/dev/shm", error))
        return "/dev/shm";
    return fs::temp_directory_path();
}

}  // namespace

SysfsTree::SysfsTree(int nodes) {
    std::string pattern = (InMemoryTempDirectory() / "bench-sysfs-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a temp folder");
    root_ = pattern;
    fs::create_directories(root_ / "sys" / "class" / "hidraw");
    fs::create_directories(root_ / "dev");
    for (int node = 0; node < nodes; ++node)
        AddNode(node);
}

SysfsTree::~SysfsTree() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

// One USB device per node, each with one HID interface: a mouse's, with strings.
void SysfsTree::AddNode(int node) {
    const std::string port = "1-" + std::to_string(node + 1);
    const fs::path usbDevice = root_ / "sys" / "devices" / "pci0000:00" / "usb1" / port;
    const fs::path hidDevice = usbDevice / (port + ":1.0") / "0003:046D:C077.0001";
    const std::string name = "hidraw" + std::to_string(node);
    const fs::path classDir = hidDevice / "hidraw" / name;
    fs::create_directories(classDir);
    Write(usbDevice / "idVendor", "046d\n");
    Write(usbDevice / "idProduct", "c077\n");
    Write(usbDevice / "bcdDevice", "7200\n");
    Write(usbDevice / "manufacturer", "Mouse maker\n");
    Write(usbDevice / "product", "Optical mouse\n");
    Write(hidDevice / "uevent", "HID_ID=0003:0000046D:0000C077\nHID_NAME=Optical mouse\n");
    Write(hidDevice / "report_descriptor", std::string("\x05\x01\x09\x02\xA1\x01\xC0", 7));
    fs::create_symlink(fs::path("../..") / classDir.lexically_relative(root_ / "sys"),
                       root_ / "sys" / "class" / "hidraw" / name);
    fs::create_directory_symlink("../..", classDir / "device");
    Write(root_ / "dev" / name, "");
}

}  // namespace bench
