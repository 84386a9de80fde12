#include "hidlink/platform/linux/SysfsHidraw.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace hidlink::hidraw {

namespace fs = std::filesystem;

namespace {

constexpr const char* kNodePrefix = "hidraw";
constexpr unsigned long kBusUsb = 0x03;  // BUS_USB of linux/input.h

// Text attributes hold a line or a few (uevent); none comes near this.
constexpr std::size_t kLongestAttribute = std::size_t{8} * 1024;
// HID_MAX_DESCRIPTOR_SIZE: the kernel keeps no longer report descriptor.
constexpr std::size_t kLongestReportDescriptor = 4096;

// The whole of a sysfs file of at most `limit` bytes; none when it cannot be read (EIO, the
// device gone since it was listed, a folder or a pipe where a file should be) or is longer.
// Never throws: a device that vanishes must fail the call that reads it, not end the program.
std::optional<std::string> ReadWholeFile(const fs::path& path, std::size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    std::string contents(limit + 1, '\0');
    std::size_t got = 0;
    bool failed = false;
    while (got < contents.size()) {
        const ssize_t n = ::read(fd, contents.data() + got, contents.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        failed = n < 0;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (failed || got > limit)
        return std::nullopt;
    contents.resize(got);
    return contents;
}

// sysfs ends every text attribute with one line feed.
std::string WithoutLineEnd(std::string text) {
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

bool IsBelow(const fs::path& dir, const fs::path& top) {
    const fs::path relative = dir.lexically_relative(top);
    return !relative.empty() && relative != "." && *relative.begin() != "..";
}

// The number of a name IsHidrawNodeName accepted: at most nine digits, so no overflow.
unsigned long NodeNumber(const std::string& name) {
    unsigned long number = 0;
    for (std::size_t i = std::char_traits<char>::length(kNodePrefix); i < name.size(); ++i)
        number = number * 10 + static_cast<unsigned long>(name[i] - '0');
    return number;
}

}  // namespace

bool IsHidrawNodeName(const std::string& name) {
    const std::string prefix = kNodePrefix;
    // Minor numbers have at most seven digits; nine keep any accepted name within stoul.
    if (name.size() <= prefix.size() || name.size() > prefix.size() + 9 ||
        name.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

SysfsHidraw::SysfsHidraw(fs::path root) : root_(std::move(root)) {}

std::vector<std::string> SysfsHidraw::Nodes() const {
    // Numbered once each, then sorted by number: the listing comes in no particular order.
    std::vector<std::pair<unsigned long, std::string>> numbered;
    std::error_code error;
    // Stepped with an error code: a node that vanishes while the folder is listed ends the
    // listing instead of throwing.
    for (fs::directory_iterator it(root_ / "class" / "hidraw", error), end; !error && it != end;
         it.increment(error)) {
        std::string name = it->path().filename().string();
        if (IsHidrawNodeName(name))
            numbered.emplace_back(NodeNumber(name), std::move(name));
    }
    std::sort(numbered.begin(), numbered.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> nodes;
    nodes.reserve(numbered.size());
    for (auto& entry : numbered)
        nodes.push_back(std::move(entry.second));
    return nodes;
}

fs::path SysfsHidraw::HidDevice(const std::string& node) const {
    return root_ / "class" / "hidraw" / node / "device";
}

std::optional<std::string> SysfsHidraw::UeventValue(const std::string& node,
                                                    const std::string& key) const {
    if (!IsHidrawNodeName(node))
        return std::nullopt;
    const std::optional<std::string> uevent =
        ReadWholeFile(HidDevice(node) / "uevent", kLongestAttribute);
    if (!uevent)
        return std::nullopt;
    std::istringstream lines(*uevent);
    const std::string prefix = key + "=";
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            return line.substr(prefix.size());
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> SysfsHidraw::ReportDescriptor(
    const std::string& node) const {
    if (!IsHidrawNodeName(node))
        return std::nullopt;
    const std::optional<std::string> bytes =
        ReadWholeFile(HidDevice(node) / "report_descriptor", kLongestReportDescriptor);
    if (!bytes)
        return std::nullopt;
    return std::vector<std::uint8_t>(bytes->begin(), bytes->end());
}

std::optional<fs::path> SysfsHidraw::UsbDevice(const std::string& node) const {
    // HID_ID=bus:vendor:product, in hex.
    const std::optional<std::string> id = UeventValue(node, "HID_ID");
    if (!id || std::strtoul(id->c_str(), nullptr, 16) != kBusUsb)
        return std::nullopt;

    std::error_code error;
    const fs::path top = fs::canonical(root_, error);
    if (error)
        return std::nullopt;
    fs::path dir = fs::canonical(HidDevice(node), error);
    if (error)
        return std::nullopt;
    // Up from the HID device through the USB interface to the first folder that describes a USB
    // device; never above the sysfs root.
    while (IsBelow(dir, top)) {
        if (fs::exists(dir / "idVendor", error))
            return dir;
        dir = dir.parent_path();
    }
    return std::nullopt;
}

std::optional<std::string> SysfsHidraw::UsbString(const std::string& node,
                                                  const std::string& name) const {
    const std::optional<fs::path> usb = UsbDevice(node);
    if (!usb)
        return std::nullopt;
    const std::optional<std::string> text = ReadWholeFile(*usb / name, kLongestAttribute);
    if (!text)
        return std::nullopt;
    return WithoutLineEnd(*text);
}

std::optional<std::pair<std::uint16_t, std::uint16_t>> SysfsHidraw::VendorProduct(
    const std::string& node) const {
    // HID_ID=bus:vendor:product, each in hex.
    const std::optional<std::string> id = UeventValue(node, "HID_ID");
    if (!id)
        return std::nullopt;
    const std::size_t first = id->find(':');
    const std::size_t second = id->find(':', first == std::string::npos ? first : first + 1);
    if (first == std::string::npos || second == std::string::npos)
        return std::nullopt;
    char* end = nullptr;
    const unsigned long vendor = std::strtoul(id->c_str() + first + 1, &end, 16);
    if (end != id->c_str() + second)
        return std::nullopt;
    const unsigned long product = std::strtoul(id->c_str() + second + 1, &end, 16);
    if (end == id->c_str() + second + 1 || *end != '\0' || vendor > 0xFFFF || product > 0xFFFF)
        return std::nullopt;
    return std::make_pair(static_cast<std::uint16_t>(vendor), static_cast<std::uint16_t>(product));
}

std::uint16_t SysfsHidraw::ReleaseNumber(const std::string& node) const {
    const std::optional<std::string> bcd = UsbString(node, "bcdDevice");
    if (!bcd)
        return 0;
    return static_cast<std::uint16_t>(std::strtoul(bcd->c_str(), nullptr, 16));
}

}  // namespace hidlink::hidraw
