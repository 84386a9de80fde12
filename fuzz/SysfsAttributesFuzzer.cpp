// The hidraw backend's reading of sysfs: a node's uevent, report descriptor and USB attributes
// hold whatever the fuzzer writes, one of the nodes has a name it makes up, and the backend is
// asked for everything the programs ask of it. The string buffers are heap blocks of exactly
// their size, so the address sanitizer reports a write past them; the report descriptor must
// arrive byte for byte, and the nodes must list in numeric order.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzz/Require.h"
#include "hidlink/platform/linux/HidrawApi.h"
#include "hidlink/platform/linux/ReportDescriptor.h"
#include "hidlink/platform/linux/SysfsHidraw.h"

namespace {

namespace fs = std::filesystem;
using fuzz::Require;

// One USB device with one HID interface behind hidraw0, laid out and linked as the kernel does;
// made once per run, its attribute files rewritten for every input.
class FuzzTree {
  public:
    FuzzTree() {
        std::string pattern = (fs::temp_directory_path() / "sysfs-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        root_ = pattern;
        usbDevice_ = root_ / "sys" / "devices" / "pci0000:00" / "usb1" / "1-1";
        hidDevice_ = usbDevice_ / "1-1:1.0" / "0003:1D47:2233.0001";
        const fs::path node = hidDevice_ / "hidraw" / "hidraw0";
        fs::create_directories(node);
        fs::create_directories(root_ / "sys" / "class" / "hidraw");
        fs::create_directories(root_ / "dev");
        classTarget_ = fs::path("../..") / node.lexically_relative(root_ / "sys");
        fs::create_directory_symlink(classTarget_, ClassEntry("hidraw0"));
        fs::create_directory_symlink("../..", node / "device");
        Write(root_ / "dev" / "hidraw0", "");
    }
    ~FuzzTree() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    FuzzTree(const FuzzTree&) = delete;
    FuzzTree& operator=(const FuzzTree&) = delete;

    std::string SysRoot() const { return (root_ / "sys").string(); }
    std::string DevRoot() const { return (root_ / "dev").string(); }
    fs::path HidFile(const std::string& name) const { return hidDevice_ / name; }
    fs::path UsbFile(const std::string& name) const { return usbDevice_ / name; }
    fs::path ClassEntry(const std::string& name) const {
        return root_ / "sys" / "class" / "hidraw" / name;
    }
    const fs::path& ClassTarget() const { return classTarget_; }

    static void Write(const fs::path& path, const std::string& contents) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
    }
    // Written when given, removed when not.
    static void WriteOrRemove(const fs::path& path, bool present, const std::string& contents) {
        std::error_code ignored;
        if (present)
            Write(path, contents);
        else
            fs::remove(path, ignored);
    }

  private:
    fs::path root_;
    fs::path usbDevice_;
    fs::path hidDevice_;
    fs::path classTarget_;
};

FuzzTree& Tree() {
    static FuzzTree tree;
    return tree;
}

// A directory entry name: no separator, no NUL, never "." or "..".
std::string EntryName(std::string name) {
    for (char& c : name) {
        if (c == '/' || c == '\0')
            c = '_';
    }
    if (name.empty() || name == "." || name == "..")
        name += "x";
    return name;
}

void CheckNodes(const hidlink::hidraw::SysfsHidraw& sysfs) {
    const std::vector<std::string> nodes = sysfs.Nodes();
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        Require(hidlink::hidraw::IsHidrawNodeName(nodes[i]), "a node that is no hidraw node");
        if (i > 0) {
            Require(std::stoul(nodes[i - 1].substr(6)) <= std::stoul(nodes[i].substr(6)),
                    "nodes out of numeric order");
        }
    }
}

void CheckUeventValue(const hidlink::hidraw::SysfsHidraw& sysfs, const std::string& node,
                      const std::string& uevent, const std::string& key) {
    const std::optional<std::string> value = sysfs.UeventValue(node, key);
    if (!value)
        return;
    const std::string line = key + "=" + *value;
    Require(value->find('\n') == std::string::npos, "a uevent value runs over its line");
    Require(uevent.starts_with(line + "\n") || uevent == line ||
                uevent.find("\n" + line + "\n") != std::string::npos ||
                uevent.ends_with("\n" + line),
            "a uevent value that is not a whole line of the uevent");
}

void CheckStrings(hidlink::hidraw::HidrawApi& api, hidlink::Handle device, std::uint32_t length) {
    using Read =
        hidlink::Bool32 (hidlink::hidraw::HidrawApi::*)(hidlink::Handle, void*, std::uint32_t);
    for (Read read : {&hidlink::hidraw::HidrawApi::HidD_GetManufacturerString,
                      &hidlink::hidraw::HidrawApi::HidD_GetProductString,
                      &hidlink::hidraw::HidrawApi::HidD_GetSerialNumberString}) {
        const auto buffer = std::make_unique<std::uint8_t[]>(length);
        (api.*read)(device, buffer.get(), length);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    FuzzTree& tree = Tree();
    const std::string uevent = input.ConsumeBool() ? "HID_ID=0003:00001D47:00002233\n" +
                                                         input.ConsumeRandomLengthString(200)
                                                   : input.ConsumeRandomLengthString(300);
    FuzzTree::Write(tree.HidFile("uevent"), uevent);
    for (const char* name : {"idVendor", "bcdDevice", "manufacturer", "product", "serial"}) {
        const bool present = input.ConsumeBool();
        FuzzTree::WriteOrRemove(tree.UsbFile(name), present, input.ConsumeRandomLengthString(120));
    }
    const std::string extraNode = EntryName(input.ConsumeRandomLengthString(16));
    const auto stringLength = input.ConsumeIntegralInRange<std::uint32_t>(0, 300);
    const std::vector<std::uint8_t> descriptor = input.ConsumeRemainingBytes<std::uint8_t>();
    FuzzTree::Write(tree.HidFile("report_descriptor"),
                    std::string(descriptor.begin(), descriptor.end()));
    std::error_code error;
    if (extraNode != "hidraw0")
        fs::create_directory_symlink(tree.ClassTarget(), tree.ClassEntry(extraNode), error);

    hidlink::hidraw::SysfsHidraw sysfs(tree.SysRoot());
    CheckNodes(sysfs);
    for (const std::string& node : {std::string("hidraw0"), extraNode}) {
        for (const char* key : {"HID_ID", "HID_NAME", "HID_UNIQ"})
            CheckUeventValue(sysfs, node, uevent, key);
        sysfs.ReleaseNumber(node);
        if (const auto read = sysfs.ReportDescriptor(node))
            Require(*read == descriptor, "the report descriptor not read byte for byte");
    }

    {
        hidlink::hidraw::HidrawApi api(tree.SysRoot(), tree.DevRoot());
        const hidlink::Handle device =
            api.CreateFileA(tree.DevRoot() + "/hidraw0", hidlink::kGenericRead, 0, nullptr,
                            hidlink::kOpenExisting, 0);
        Require(device != hidlink::kInvalidHandleValue, "the node's device file did not open");
        CheckStrings(api, device, stringLength);
        hidlink::PreparsedData preparsed = 0;
        Require(api.HidD_GetPreparsedData(device, &preparsed) != 0, "no preparsed data");
        hidlink::HidpCaps caps;
        Require(api.HidP_GetCaps(preparsed, &caps) == hidlink::kHidpStatusSuccess, "no caps");
        const hidlink::hidraw::ReportLengths expected =
            hidlink::hidraw::ParseReportDescriptor(descriptor.data(), descriptor.size());
        Require(caps.FeatureReportByteLength == expected.featureReportByteLength &&
                    caps.InputReportByteLength == expected.inputReportByteLength &&
                    caps.UsagePage == expected.usagePage && caps.Usage == expected.usage,
                "the capabilities are not the descriptor's");
        api.HidD_FreePreparsedData(preparsed);
        Require(api.CloseHandle(device) != 0, "the device did not close");
        Require(api.CloseHandle(device) == 0, "the device closed twice");
    }
    if (extraNode != "hidraw0")
        fs::remove(tree.ClassEntry(extraNode), error);
    return 0;
}
