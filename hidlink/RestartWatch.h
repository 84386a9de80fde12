// Whether the device a program had open has restarted since it was told to: the one test both
// updaters use between the command that restarts a device and taking a device found afterwards as
// the restarted one. Until a restart is seen, what a search finds is the device as it was: a HID
// stack may go on listing it for a while, or for good, after it has left.
#pragma once

#include "hidlink/ApiDeclarations.h"
#include "hidlink/HidLink.h"

namespace hidlink {

class RestartWatch {
  public:
    // Takes over the plain handle the link opened before the command, and closes the link's
    // overlapped one: the link owns nothing afterwards, and FindTheHid may fill it again.
    RestartWatch(HidLink& link, ApiDeclarations& api);
    ~RestartWatch();
    RestartWatch(const RestartWatch&) = delete;
    RestartWatch& operator=(const RestartWatch&) = delete;

    // Looks once, sending nothing to the device, and stays true once it has been. The device has
    // left when it is gone from under the old handle (the platform answers an attributes query
    // on it without asking the device: hidraw's HIDIOCGRAWINFO fails with ENODEV, Windows'
    // HidD_GetAttributes fails, once the device has left), or when two searches in a row for the
    // target find nothing, whichever comes first. A device that restarts faster than the first
    // look is seen by the first test; a HID stack that keeps listing it is not fooled by the
    // second.
    bool Left(const HidLink& link, const DeviceProfile& profile);
    // Whether a device found after Left() can be the restarted one: not while the old handle
    // still answers, for then the device it was opened on is still there (a search that missed
    // it passed for its absence).
    bool FoundAnew();

  private:
    void Release();

    ApiDeclarations& api_;
    Handle old_ = kInvalidHandleValue;
    bool holds_ = false;
    bool left_ = false;
};

}  // namespace hidlink
