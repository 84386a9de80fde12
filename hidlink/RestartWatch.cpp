#include "hidlink/RestartWatch.h"

namespace hidlink {

namespace {

bool Answers(Handle handle, ApiDeclarations& api) {
    HiddAttributes attributes;
    attributes.Size = kHiddAttributesSize;
    return api.HidD_GetAttributes(handle, &attributes) != 0;
}

bool Listed(const HidLink& link, ApiDeclarations& api, const DeviceProfile& profile) {
    HidLink probe;
    probe.Target = link.Target;
    const bool found = FindTheHid(probe, api, profile);
    CloseDevice(probe, api);
    // A device listed but refused to this user or held by another program is still there.
    return found || probe.LastSearch != SearchOutcome::NoDevice;
}

}  // namespace

RestartWatch::RestartWatch(HidLink& link, ApiDeclarations& api) : api_(api) {
    old_ = link.DeviceHandle;
    holds_ = link.OwnsDeviceHandle;
    link.OwnsDeviceHandle = false;
    CloseDevice(link, api);
    link.DeviceDetected = false;
}

RestartWatch::~RestartWatch() {
    Release();
}

void RestartWatch::Release() {
    if (holds_)
        api_.CloseHandle(old_);
    holds_ = false;
}

bool RestartWatch::Left(const HidLink& link, const DeviceProfile& profile) {
    // A handle whose device has left fails every query, and a device that has left is missing
    // from every search; one failure alone may be a passing fault, and taking it for a restart
    // would let the device as it was pass for the restarted one.
    left_ = left_ || (holds_ && !Answers(old_, api_) && !Answers(old_, api_)) ||
            (!Listed(link, api_, profile) && !Listed(link, api_, profile));
    return left_;
}

bool RestartWatch::FoundAnew() {
    // One answer is enough to tell the device is still there; a failure alone may be passing.
    if (holds_ && (Answers(old_, api_) || Answers(old_, api_)))
        return false;
    Release();
    return true;
}

}  // namespace hidlink
