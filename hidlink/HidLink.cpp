#include "hidlink/HidLink.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "hidlink/DeviceIdentity.h"

namespace hidlink {

bool ServodiagAccepts(const HiddAttributes& a) {
    return a.VendorID == kDrivantaVendorId &&
           (a.ProductID == 0x1020 || a.ProductID == 0x2233 || a.ProductID == 0x2232);
}

bool AmpflashAccepts(const HiddAttributes& a) {
    return a.ProductID == 0x2233;
}

bool WheelflashAccepts(const HiddAttributes& a) {
    return a.VendorID == kDrivantaVendorId && (a.ProductID == 0xB02E || a.ProductID == 0x2233);
}

namespace {

// Offset of the device path inside SP_DEVICE_INTERFACE_DETAIL_DATA_A, on every Windows platform.
constexpr std::uint32_t kDetailPathOffset = 4;

Handle OpenDevice(HidLink& link, ApiDeclarations& api, std::uint32_t flags) {
    return api.CreateFileA(link.DevicePath, kGenericRead | kGenericWrite,
                           kFileShareRead | kFileShareWrite, &link.HandleSecurity, kOpenExisting,
                           flags);
}

// Why the platform refused the interface whose open just failed, if it is one the profile accepts.
OpenRefusal RefusedAcceptedDevice(const HidLink& link, ApiDeclarations& api,
                                  const DeviceProfile& profile) {
    HiddAttributes attributes;
    attributes.Size = kHiddAttributesSize;
    const OpenRefusal why = api.AccessRefused(link.DevicePath, &attributes);
    return why != OpenRefusal::None && profile.accepts(attributes) ? why : OpenRefusal::None;
}

// Reads the device path of the interface into link.DevicePath. Returns false when the platform
// reports a detail block too small to hold its own size field and a path: such a block cannot be
// filled without writing past it, and the interface is passed over.
bool ReadDevicePath(HidLink& link, ApiDeclarations& api, DeviceInfoList list,
                    DeviceInterfaceData& interfaceData) {
    std::uint32_t requiredSize = 0;
    api.SetupDiGetDeviceInterfaceDetailA(list, &interfaceData, nullptr, 0, &requiredSize);
    if (requiredSize <= kDetailPathOffset)
        return false;

    std::vector<std::uint8_t> detail(std::size_t(requiredSize) + 1, 0);
    const std::uint32_t cbSize = api.DetailDataCbSize();
    std::memcpy(detail.data(), &cbSize, sizeof cbSize);  // little-endian on every target
    api.SetupDiGetDeviceInterfaceDetailA(list, &interfaceData, detail.data(), requiredSize,
                                         &requiredSize);

    // The extra byte beyond the platform's size guarantees a terminator.
    const char* path = reinterpret_cast<const char*>(detail.data() + kDetailPathOffset);
    link.DevicePath.assign(path, strnlen(path, detail.size() - kDetailPathOffset));
    return true;
}

// A serial number read on the plain handle; none when the device reports none.
std::optional<std::string> ReadSerial(HidLink& link, ApiDeclarations& api) {
    std::array<std::uint8_t, kStringBufferSize> buffer{};
    link.LastResult =
        api.HidD_GetSerialNumberString(link.DeviceHandle, buffer.data(), kStringReadLength);
    if (link.LastResult == 0)
        return std::nullopt;
    std::string serial = DecodeHidString(buffer.data(), api);
    if (serial.empty())
        return std::nullopt;
    return serial;
}

// The enumeration shared by every search. Each interface whose path passOver() does not turn
// away is opened and queried; one the profile accepts goes to keep() with its plain handle open
// in link.DeviceHandle: true ends the search with that device, false lets it go and the search
// goes on. Returns whether a device was kept; the list is released either way.
template <typename PassOver, typename Keep>
bool SearchInterfaces(HidLink& link, ApiDeclarations& api, const DeviceProfile& profile,
                      PassOver passOver, Keep keep, OpenRefusal* refused) {
    link.EnumerationEnded = false;
    link.DeviceDetected = false;
    link.HandleSecurity.nLength = api.SecurityAttributesSize();
    link.HandleSecurity.lpSecurityDescriptor = nullptr;
    link.HandleSecurity.bInheritHandle = 1;

    Guid hidGuid;
    api.HidD_GetHidGuid(&hidGuid);
    const DeviceInfoList list =
        api.SetupDiGetClassDevsA(&hidGuid, kDigcfPresent | kDigcfDeviceInterface);

    DeviceInterfaceData interfaceData;
    std::int32_t memberIndex = 0;
    while (!link.EnumerationEnded && !link.DeviceDetected) {
        interfaceData.cbSize = api.DeviceInterfaceDataSize();
        link.LastResult = api.SetupDiEnumDeviceInterfaces(
            list, &hidGuid, static_cast<std::uint32_t>(memberIndex), &interfaceData);
        if (link.LastResult == 0) {
            link.EnumerationEnded = true;
        } else if (ReadDevicePath(link, api, list, interfaceData) && !passOver(link.DevicePath)) {
            link.DeviceHandle = OpenDevice(link, api, 0);
            link.OwnsDeviceHandle = link.DeviceHandle != kInvalidHandleValue;
            if (!link.OwnsDeviceHandle)
                *refused = std::max(*refused, RefusedAcceptedDevice(link, api, profile));

            link.Attributes.VendorID = 0;
            link.Attributes.ProductID = 0;
            link.Attributes.Size = kHiddAttributesSize;
            link.LastResult = api.HidD_GetAttributes(link.DeviceHandle, &link.Attributes);

            link.DeviceDetected = profile.accepts(link.Attributes) && keep(link);
            if (!link.DeviceDetected && link.OwnsDeviceHandle) {
                link.LastResult = api.CloseHandle(link.DeviceHandle);
                link.OwnsDeviceHandle = false;
            }
        }
        ++memberIndex;
    }

    link.LastResult = api.SetupDiDestroyDeviceInfoList(list);
    return link.DeviceDetected;
}

}  // namespace

bool IsTarget(const DeviceTarget& target, const std::string& port,
              const std::optional<std::string>& serial, const std::string& path) {
    if (!target.port.empty() && port != target.port)
        return false;
    if (!target.serial.empty() && serial && *serial != target.serial)
        return false;
    if (!target.port.empty())
        return true;
    // Nothing places it on the bus: only its own serial number or its own path tell it.
    return (!target.serial.empty() && serial == target.serial) || path == target.path;
}

bool FindTheHid(HidLink& link, ApiDeclarations& api, const DeviceProfile& profile) {
    link.Strings = {};
    OpenRefusal refused = OpenRefusal::None;
    std::string port;
    // With a target whose port is known, a device on another port is not even opened.
    const auto elsewhere = [&](const std::string& path) {
        if (!link.Target || link.Target->port.empty())
            return false;
        port = api.DevicePort(path);
        return port != link.Target->port;
    };
    const auto isTarget = [&](HidLink& found) {
        if (!found.Target)
            return true;
        return IsTarget(*found.Target, port, ReadSerial(found, api), found.DevicePath);
    };
    // Without its port, the target is looked for at its own path first: two devices may report
    // one serial number, and only a device that has left its path is known by its serial alone.
    const bool byPathFirst = link.Target && link.Target->port.empty();
    const auto notAtItsPath = [&](const std::string& path) { return path != link.Target->path; };
    const bool found =
        (byPathFirst && SearchInterfaces(link, api, profile, notAtItsPath, isTarget, &refused)) ||
        SearchInterfaces(link, api, profile, elsewhere, isTarget, &refused);

    if (!found) {
        link.LastSearch = OutcomeOfRefusal(refused);
        return false;
    }
    link.LastSearch = SearchOutcome::Found;
    ReadCapabilities(link, api);
    link.OverlappedHandle = OpenDevice(link, api, kFileFlagOverlapped);
    link.OwnsOverlappedHandle = link.OverlappedHandle != kInvalidHandleValue;
    return true;
}

MatchingDevices ListMatchingDevices(ApiDeclarations& api, const DeviceProfile& profile) {
    MatchingDevices matching;
    HidLink scratch;
    const auto passNone = [](const std::string&) { return false; };
    const auto list = [&](HidLink& found) {
        std::array<std::uint8_t, kStringBufferSize> buffer{};
        const auto read = [&](Bool32 (ApiDeclarations::*call)(Handle, void*, std::uint32_t)) {
            buffer.fill(0);
            found.LastResult = (api.*call)(found.DeviceHandle, buffer.data(), kStringReadLength);
            return found.LastResult != 0 ? DecodeHidString(buffer.data(), api) : std::string();
        };
        DeviceListing device;
        device.path = found.DevicePath;
        device.attributes = found.Attributes;
        device.manufacturer = read(&ApiDeclarations::HidD_GetManufacturerString);
        device.product = read(&ApiDeclarations::HidD_GetProductString);
        device.serial = read(&ApiDeclarations::HidD_GetSerialNumberString);
        device.port = api.DevicePort(found.DevicePath);
        matching.devices.push_back(std::move(device));
        return false;
    };
    SearchInterfaces(scratch, api, profile, passNone, list, &matching.refusal);
    return matching;
}

SearchOutcome OutcomeOfRefusal(OpenRefusal refusal) {
    switch (refusal) {
        case OpenRefusal::NotPermitted:
            return SearchOutcome::AccessRefused;
        case OpenRefusal::InUse:
            return SearchOutcome::InUse;
        case OpenRefusal::None:
            break;
    }
    return SearchOutcome::NoDevice;
}

DeviceTarget TargetOf(const DeviceListing& device) {
    return {device.port, device.serial, device.path};
}

void ReadCapabilities(HidLink& link, ApiDeclarations& api) {
    PreparsedData preparsed = 0;
    link.LastResult = api.HidD_GetPreparsedData(link.DeviceHandle, &preparsed);
    HidpCaps caps = link.Capabilities;
    // HidP_GetCaps returns an NTSTATUS-style code; stored as the platform gives it.
    link.LastResult = api.HidP_GetCaps(preparsed, &caps);
    if (link.LastResult == kHidpStatusSuccess)
        link.Capabilities = caps;
    link.LastResult = api.HidD_FreePreparsedData(preparsed);
}

void CloseDevice(HidLink& link, ApiDeclarations& api) {
    if (link.OwnsDeviceHandle) {
        link.LastResult = api.CloseHandle(link.DeviceHandle);
        link.OwnsDeviceHandle = false;
    }
    if (link.OwnsOverlappedHandle) {
        link.LastResult = api.CloseHandle(link.OverlappedHandle);
        link.OwnsOverlappedHandle = false;
    }
}

}  // namespace hidlink
