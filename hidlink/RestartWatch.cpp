#include "hidlink/RestartWatch.h"

namespace hidlink {

namespace {

bool Answers(Handle handle, ApiDeclarations& api) {
    HiddAttributes attributes;
    attributes.Size = kHiddAttributesSize;
    return api.HidD_GetAttributes(handle, &attributes) != 0;
}

// A handle whose device has left fails every query; one failure alone may be a passing fault,
// and taking it for a restart would let the device as it was pass for the restarted one.
bool GoneFromHandle(const HidLink& link, ApiDeclarations& api) {
    return link.OwnsDeviceHandle && !Answers(link.DeviceHandle, api) &&
           !Answers(link.DeviceHandle, api);
}

bool GoneFromListing(const HidLink& link, ApiDeclarations& api, const DeviceProfile& profile) {
    HidLink probe;
    probe.Target = link.Target;
    const bool found = FindTheHid(probe, api, profile);
    CloseDevice(probe, api);
    // A device listed but refused to this user or held by another program is still there.
    return !found && probe.LastSearch == SearchOutcome::NoDevice;
}

}  // namespace

bool DeviceLeft(HidLink& link, ApiDeclarations& api, const DeviceProfile& profile) {
    if (!GoneFromHandle(link, api) && !GoneFromListing(link, api, profile))
        return false;
    CloseDevice(link, api);
    link.DeviceDetected = false;
    return true;
}

}  // namespace hidlink
