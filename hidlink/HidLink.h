// The device link: finds a program's HID device, opens it twice, reads its capabilities and
// closes it again. One source for all three programs; what differs between them is a
// DeviceProfile.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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
    // Where the rule accepts devices of more than one kind: the product ID of the program's own
    // kind, which is taken before the others. 0: the rule accepts one kind.
    std::uint16_t ownProductId = 0;
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
    InUse,          // none opened, but one the profile accepts is held by another program
};

// The one device a program works with once the user has chosen it, told apart from every other
// across its restarts: the port it is plugged into, and its serial number where it reports one.
// A device that restarts into another mode may change its product ID, its path and its strings,
// but not its port.
struct DeviceTarget {
    std::string port;    // DevicePort(); empty where the platform cannot tell
    std::string serial;  // empty where the device reports none
    std::string path;    // the only test left where neither of the above is known
};

// Whether a device found at `port` and `path`, reporting `serial` (none: the device reports
// no serial, as a bootloader may not), is the target.
bool IsTarget(const DeviceTarget& target, const std::string& port,
              const std::optional<std::string>& serial, const std::string& path);

// The identity strings read from the device the link has open, since it was opened: none where a
// read failed or nothing was read yet, so that another device's or an earlier read's string is
// never taken for this device's.
struct DeviceStrings {
    std::optional<std::string> manufacturer;
    std::optional<std::string> product;
    std::optional<std::string> serial;
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
    // Set: FindTheHid finds this device only. Another device is then never opened when the
    // platform can tell its port, and never kept.
    std::optional<DeviceTarget> Target;
    SecurityAttributes HandleSecurity;
    // Filled by RefreshDeviceInfo; emptied by every FindTheHid.
    DeviceStrings Strings;

    // Whether each handle is still ours to close. A handle value may be reused by the platform
    // once closed, so CloseDevice closes only what this link opened and has not closed since.
    bool OwnsDeviceHandle = false;
    bool OwnsOverlappedHandle = false;
};

// Returns true when a device that the profile accepts (and, with link.Target set, that is the
// target) was found and both handles were opened; leaves the same value in link.DeviceDetected,
// and how the search ended in link.LastSearch. Without a target the first such device in the
// platform's order is taken: callers settle on a target first wherever several may match.
bool FindTheHid(HidLink& link, ApiDeclarations& api, const DeviceProfile& profile);

// A device the profile accepts, as discovery saw it.
struct DeviceListing {
    std::string path;
    HiddAttributes attributes;
    std::string manufacturer;  // UTF-8; empty when the device reports none
    std::string product;
    std::string serial;
    std::string port;  // DevicePort()
};

struct MatchingDevices {
    std::vector<DeviceListing> devices;  // in the platform's order
    // Why one the profile accepts could not be opened (another program's hold outweighs access).
    OpenRefusal refusal = OpenRefusal::None;
};

// How a search that found nothing ended, given why a device it would have taken was refused.
SearchOutcome OutcomeOfRefusal(OpenRefusal refusal);

// Every device the profile accepts: each is opened, asked for its identity and closed again; no
// report is exchanged.
MatchingDevices ListMatchingDevices(ApiDeclarations& api, const DeviceProfile& profile);

DeviceTarget TargetOf(const DeviceListing& device);

// Fills link.Capabilities from DeviceHandle; failures keep the previous contents.
void ReadCapabilities(HidLink& link, ApiDeclarations& api);

// Closes DeviceHandle, then OverlappedHandle, each only if the link still owns it.
// DeviceDetected is left as it is.
void CloseDevice(HidLink& link, ApiDeclarations& api);

}  // namespace hidlink
