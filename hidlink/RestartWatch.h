// Whether the device a program had open has restarted since it was told to: the one test both
// updaters use between the command that restarts a device and taking a device found afterwards as
// the restarted one. Until a restart is seen, what a search finds is the device as it was: a HID
// stack may go on listing it for a while, or for good, after it has left.
#pragma once

#include "hidlink/ApiDeclarations.h"
#include "hidlink/HidLink.h"

namespace hidlink {

// Looks once, sending nothing to the device. It has left when it is gone from under the plain
// handle the link opened before the command (the platform answers an attributes query on it
// without asking the device: hidraw's HIDIOCGRAWINFO fails with ENODEV, Windows' HidD_GetAttributes
// fails, once the device has left), or when a search for the link's target finds nothing,
// whichever comes first. A device that restarts faster than the first look is seen by the first
// test; a HID stack that keeps listing it is not fooled by the second. When the device has left,
// the link's handles are closed and true is returned; otherwise they stay open for the next look.
bool DeviceLeft(HidLink& link, ApiDeclarations& api, const DeviceProfile& profile);

}  // namespace hidlink
