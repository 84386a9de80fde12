#include "hidlink/platform/linux/HidrawApi.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstring>

#include "hidlink/platform/linux/HidString.h"

namespace hidlink::hidraw {

namespace {

// {4D1E55B2-F16F-11CF-88CB-001111000030}, the HID device-interface class.
const Guid kHidGuid{0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

constexpr std::int32_t kHidpStatusInvalidPreparsedData = static_cast<std::int32_t>(0xC0110001);
constexpr std::uint32_t kDetailPathOffset = 4;
// The size field of an ioctl number holds 14 bits: no feature report can be longer.
constexpr std::uint32_t kLongestIoctlBuffer = (1u << _IOC_SIZEBITS) - 1;
// Enough for any name or unique ID the HID core keeps (both are 128-byte fields there).
constexpr std::size_t kRawStringBufferSize = 256;

std::optional<std::string> IoctlString(Handle device, unsigned long request) {
    char text[kRawStringBufferSize] = {};
    const int got = ::ioctl(static_cast<int>(device), request, text);
    if (got <= 0)
        return std::nullopt;
    return std::string(text, strnlen(text, static_cast<std::size_t>(got)));
}

int OpenFlags(std::uint32_t desiredAccess, const SecurityAttributes* security) {
    const bool read = (desiredAccess & kGenericRead) != 0;
    const bool write = (desiredAccess & kGenericWrite) != 0;
    const int access = read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
    // Windows handles are not inherited unless the security record asks for it.
    const bool inheritable = security != nullptr && security->bInheritHandle != 0;
    return access | (inheritable ? 0 : O_CLOEXEC);
}

}  // namespace

HidrawApi::HidrawApi(std::string sysfsRoot, std::string devRoot)
    : sysfs_(std::move(sysfsRoot)), devRoot_(std::move(devRoot)) {}

HidrawApi::~HidrawApi() {
    for (const auto& [fd, node] : openDevices_)
        ::close(static_cast<int>(fd));
    for (FileHandle fd : openImageFiles_)
        ::close(static_cast<int>(fd));
}

// Compared as plain text: the paths this backend hands out are devRoot_ + "/" + node, and the
// HID core names nodes in one form only.
std::string HidrawApi::NodeNameIn(const std::string& path) const {
    if (path.size() <= devRoot_.size() + 1 || path.compare(0, devRoot_.size(), devRoot_) != 0 ||
        path[devRoot_.size()] != '/') {
        return {};
    }
    std::string name = path.substr(devRoot_.size() + 1);
    return IsHidrawNodeName(name) ? name : std::string();
}

const std::string* HidrawApi::NodeOf(Handle device) const {
    const auto it = openDevices_.find(device);
    return it == openDevices_.end() ? nullptr : &it->second;
}

// --- hid.dll -----------------------------------------------------------------------------------

void HidrawApi::HidD_GetHidGuid(Guid* hidGuid) {
    *hidGuid = kHidGuid;
}

Bool32 HidrawApi::HidD_GetAttributes(Handle device, HiddAttributes* attributes) {
    const std::string* node = NodeOf(device);
    if (node == nullptr || attributes->Size != kHiddAttributesSize)
        return 0;
    hidraw_devinfo info{};
    if (::ioctl(static_cast<int>(device), HIDIOCGRAWINFO, &info) < 0)
        return 0;
    attributes->VendorID = static_cast<std::uint16_t>(info.vendor);
    attributes->ProductID = static_cast<std::uint16_t>(info.product);
    attributes->VersionNumber = sysfs_.ReleaseNumber(*node);
    return 1;
}

std::optional<std::vector<std::uint8_t>> HidrawApi::ReportDescriptorOf(Handle device) const {
    const std::string* node = NodeOf(device);
    if (node == nullptr)
        return std::nullopt;
    if (auto fromSysfs = sysfs_.ReportDescriptor(*node))
        return fromSysfs;
    int size = 0;
    hidraw_report_descriptor descriptor{};
    if (::ioctl(static_cast<int>(device), HIDIOCGRDESCSIZE, &size) < 0 || size < 0 ||
        size > HID_MAX_DESCRIPTOR_SIZE) {
        return std::nullopt;
    }
    descriptor.size = static_cast<std::uint32_t>(size);
    if (::ioctl(static_cast<int>(device), HIDIOCGRDESC, &descriptor) < 0)
        return std::nullopt;
    return std::vector<std::uint8_t>(descriptor.value, descriptor.value + size);
}

Bool32 HidrawApi::HidD_GetPreparsedData(Handle device, PreparsedData* preparsed) {
    const std::optional<std::vector<std::uint8_t>> descriptor = ReportDescriptorOf(device);
    if (!descriptor)
        return 0;
    *preparsed = nextPreparsed_++;
    preparsed_[*preparsed] = ParseReportDescriptor(descriptor->data(), descriptor->size());
    return 1;
}

Bool32 HidrawApi::HidD_FreePreparsedData(PreparsedData preparsed) {
    return preparsed_.erase(preparsed) == 1 ? 1 : 0;
}

std::int32_t HidrawApi::HidP_GetCaps(PreparsedData preparsed, HidpCaps* capabilities) {
    const auto it = preparsed_.find(preparsed);
    if (it == preparsed_.end())
        return kHidpStatusInvalidPreparsedData;
    const ReportLengths& lengths = it->second;
    *capabilities = HidpCaps{};
    capabilities->UsagePage = lengths.usagePage;
    capabilities->Usage = lengths.usage;
    capabilities->InputReportByteLength = lengths.inputReportByteLength;
    capabilities->OutputReportByteLength = lengths.outputReportByteLength;
    capabilities->FeatureReportByteLength = lengths.featureReportByteLength;
    return kHidpStatusSuccess;
}

std::optional<std::string> HidrawApi::DeviceString(Handle device, StringKind kind) const {
    const std::string* node = NodeOf(device);
    if (node == nullptr)
        return std::nullopt;
    // On USB, hid.dll reads the device's string descriptors, which sysfs shows as they are.
    if (sysfs_.UsbDevice(*node)) {
        switch (kind) {
            case StringKind::kManufacturer:
                return sysfs_.UsbString(*node, "manufacturer");
            case StringKind::kProduct:
                return sysfs_.UsbString(*node, "product");
            case StringKind::kSerialNumber:
                return sysfs_.UsbString(*node, "serial");
        }
    }
    // Elsewhere the HID core has one name (often "Manufacturer Product") and a unique ID.
    switch (kind) {
        case StringKind::kManufacturer:
            return std::nullopt;
        case StringKind::kProduct:
            if (auto name = sysfs_.UeventValue(*node, "HID_NAME"))
                return name;
            return IoctlString(device, HIDIOCGRAWNAME(kRawStringBufferSize));
        case StringKind::kSerialNumber:
            if (auto uniq = sysfs_.UeventValue(*node, "HID_UNIQ"); uniq && !uniq->empty()) {
                return uniq;
            }
            return IoctlString(device, HIDIOCGRAWUNIQ(kRawStringBufferSize));
    }
    return std::nullopt;
}

Bool32 HidrawApi::ReadString(Handle device, StringKind kind, void* buffer,
                             std::uint32_t length) const {
    const std::optional<std::string> text = DeviceString(device, kind);
    return text ? WriteHidString(*text, buffer, length) : 0;
}

Bool32 HidrawApi::HidD_GetManufacturerString(Handle device, void* buffer, std::uint32_t length) {
    return ReadString(device, StringKind::kManufacturer, buffer, length);
}

Bool32 HidrawApi::HidD_GetProductString(Handle device, void* buffer, std::uint32_t length) {
    return ReadString(device, StringKind::kProduct, buffer, length);
}

Bool32 HidrawApi::HidD_GetSerialNumberString(Handle device, void* buffer, std::uint32_t length) {
    return ReadString(device, StringKind::kSerialNumber, buffer, length);
}

Bool32 HidrawApi::HidD_GetFeature(Handle device, void* report, std::uint32_t length) {
    if (NodeOf(device) == nullptr || report == nullptr || length == 0 ||
        length > kLongestIoctlBuffer) {
        return 0;
    }
    return ::ioctl(static_cast<int>(device), HIDIOCGFEATURE(length), report) >= 0 ? 1 : 0;
}

Bool32 HidrawApi::HidD_SetFeature(Handle device, void* report, std::uint32_t length) {
    if (NodeOf(device) == nullptr || report == nullptr || length == 0 ||
        length > kLongestIoctlBuffer) {
        return 0;
    }
    return ::ioctl(static_cast<int>(device), HIDIOCSFEATURE(length), report) >= 0 ? 1 : 0;
}

// --- setupapi.dll ------------------------------------------------------------------------------

DeviceInfoList HidrawApi::SetupDiGetClassDevsA(const Guid* classGuid, std::uint32_t /*flags*/) {
    if (classGuid == nullptr)
        return kInvalidDeviceInfoList;
    // Every hidraw node is present; interfaces of any other class do not exist here.
    std::vector<std::string> paths;
    if (*classGuid == kHidGuid) {
        for (const std::string& node : sysfs_.Nodes())
            paths.push_back(devRoot_ + "/" + node);
    }
    const DeviceInfoList list = nextInfoList_++;
    infoLists_[list] = std::move(paths);
    return list;
}

Bool32 HidrawApi::SetupDiEnumDeviceInterfaces(DeviceInfoList list, const Guid* classGuid,
                                              std::uint32_t memberIndex,
                                              DeviceInterfaceData* interfaceData) {
    const auto it = infoLists_.find(list);
    if (it == infoLists_.end() || classGuid == nullptr || !(*classGuid == kHidGuid) ||
        interfaceData == nullptr || interfaceData->cbSize != DeviceInterfaceDataSize() ||
        memberIndex >= it->second.size()) {
        return 0;
    }
    interfaceData->InterfaceClassGuid = kHidGuid;
    interfaceData->Flags = 1;               // SPINT_ACTIVE
    interfaceData->Reserved = memberIndex;  // which entry of the list this record describes
    return 1;
}

Bool32 HidrawApi::SetupDiGetDeviceInterfaceDetailA(DeviceInfoList list,
                                                   DeviceInterfaceData* interfaceData, void* detail,
                                                   std::uint32_t detailSize,
                                                   std::uint32_t* requiredSize) {
    const auto it = infoLists_.find(list);
    if (it == infoLists_.end() || interfaceData == nullptr ||
        interfaceData->cbSize != DeviceInterfaceDataSize() ||
        interfaceData->Reserved >= it->second.size()) {
        return 0;
    }
    const std::string& path = it->second[interfaceData->Reserved];
    const auto needed = static_cast<std::uint32_t>(kDetailPathOffset + path.size() + 1);
    if (requiredSize != nullptr)
        *requiredSize = needed;
    // Like SetupAPI: the sizing call (no buffer) fails with the size reported, a buffer too small
    // for its own size field or with the wrong cbSize is refused, and nothing is written beyond
    // detailSize.
    if (detail == nullptr || detailSize < sizeof(std::uint32_t))
        return 0;
    std::uint32_t cbSize = 0;
    std::memcpy(&cbSize, detail, sizeof cbSize);
    if (cbSize != DetailDataCbSize() || detailSize < needed)
        return 0;
    std::memcpy(static_cast<std::uint8_t*>(detail) + kDetailPathOffset, path.c_str(),
                path.size() + 1);
    return 1;
}

Bool32 HidrawApi::SetupDiDestroyDeviceInfoList(DeviceInfoList list) {
    return infoLists_.erase(list) == 1 ? 1 : 0;
}

// --- kernel32: device handles ------------------------------------------------------------------

Handle HidrawApi::CreateFileA(const std::string& fileName, std::uint32_t desiredAccess,
                              std::uint32_t /*shareMode*/, const SecurityAttributes* security,
                              std::uint32_t creationDisposition,
                              std::uint32_t /*flagsAndAttributes*/) {
    // Devices are only ever opened, never created. The overlapped flag needs nothing here: every
    // request on a handle is synchronous.
    if (creationDisposition != kOpenExisting)
        return kInvalidHandleValue;
    const int fd = ::open(fileName.c_str(), OpenFlags(desiredAccess, security));
    if (fd < 0) {
        lastFailedOpen_ = fileName;
        lastOpenErrno_ = errno;
        return kInvalidHandleValue;
    }
    openDevices_[fd] = NodeNameIn(fileName);
    return fd;
}

// Without a udev rule a hidraw node belongs to root and open() fails with EACCES; sysfs still
// names the device behind it.
OpenRefusal HidrawApi::AccessRefused(const std::string& devicePath, HiddAttributes* attributes) {
    if (devicePath != lastFailedOpen_ || (lastOpenErrno_ != EACCES && lastOpenErrno_ != EPERM))
        return OpenRefusal::None;
    const std::string node = NodeNameIn(devicePath);
    if (node.empty())
        return OpenRefusal::None;
    const auto ids = sysfs_.VendorProduct(node);
    if (!ids)
        return OpenRefusal::None;
    attributes->VendorID = ids->first;
    attributes->ProductID = ids->second;
    return OpenRefusal::NotPermitted;
}

// A USB device's folder in sysfs is named by its port path ("1-2.3": bus 1, port 2 of the root
// hub, port 3 of the hub behind it). A HID device on another bus has none; its HID_PHYS, which
// its driver fills with its place on that bus, serves instead.
std::string HidrawApi::DevicePort(const std::string& devicePath) {
    const std::string node = NodeNameIn(devicePath);
    if (node.empty())
        return {};
    if (const std::optional<std::filesystem::path> usb = sysfs_.UsbDevice(node))
        return usb->filename().string();
    return sysfs_.UeventValue(node, "HID_PHYS").value_or("");
}

Bool32 HidrawApi::CloseHandle(Handle object) {
    const auto it = openDevices_.find(object);
    if (it == openDevices_.end())
        return 0;
    openDevices_.erase(it);
    return ::close(static_cast<int>(object)) == 0 ? 1 : 0;
}

}  // namespace hidlink::hidraw
