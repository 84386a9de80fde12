// The device link: finds a program's HID device, opens it twice, reads its capabilities and
// closes it again. One source for all three programs; what differs between them is a
// DeviceProfile.
#pragma once

#include <cstdint>
#include <string>

#include "hidlink/ApiDeclarations.h"

namespace hidlink {

// What the identity labels show when no device was found.
enum class NoDeviceRule {
    BlankAll,           // four empty captions
    BlankVersionSpace,  // three empty captions, then the version label one space
    LeaveUntouched,     // the labels keep what they show
};

struct DeviceProfile {
    bool (*accepts)(const HiddAttributes& attributes) = nullptr;
    NoDeviceRule noDevice = NoDeviceRule::BlankAll;
    std::uint32_t pauseAfterStringMs = 0;
};

bool ServodiagAccepts(const HiddAttributes& a);
bool AmpflashAccepts(const HiddAttributes& a);
bool WheelflashAccepts(const HiddAttributes& a);

inline constexpr std::uint16_t kDrivantaVendorId = 0x1D47;

// How the last search ended.
enum class SearchOutcome {
    Found,
    NoDevice,       // no interface the profile accepts
    AccessRefused,  // none opened, but one the profile accepts refused this user access
};

struct HidLink {
    HidpCaps Capabilities;
    HiddAttributes Attributes;
    std::string DevicePath;
    Handle DeviceHandle = 0;
    bool EnumerationEnded = false;
    bool DeviceDetected = false;
    Handle OverlappedHandle = 0;
    std::int32_t LastResult = 0;
    SearchOutcome LastSearch = SearchOutcome::NoDevice;
    SecurityAttributes HandleSecurity;

    // Whether each handle is still ours to close. A handle value may be reused by the platform
    // once closed, so CloseDevice closes only what this link opened and has not closed since.
    bool OwnsDeviceHandle = false;
    bool OwnsOverlappedHandle = false;
};

// Returns true when a device that the profile accepts was found and both handles were opened;
// leaves the same value in link.DeviceDetected, and how the search ended in link.LastSearch.
bool FindTheHid(HidLink& link, ApiDeclarations& api, const DeviceProfile& profile);

// Fills link.Capabilities from DeviceHandle; failures keep the previous contents.
void ReadCapabilities(HidLink& link, ApiDeclarations& api);

// Closes DeviceHandle, then OverlappedHandle, each only if the link still owns it.
// DeviceDetected is left as it is.
void CloseDevice(HidLink& link, ApiDeclarations& api);

}  // namespace hidlink
