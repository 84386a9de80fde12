#include "updater/UpdaterForm.h"

#include <cmath>

#include "hidlink/DeviceIdentity.h"

namespace updater {

int RoundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value));  // the default rounding mode is to-even
}

void UpdaterForm::Form_Load() {
    window_.Show();
    progressFullWidth_ = RoundHalfEven(window_.Width("Pic"));
    window_.SetVisible("Pic", false);
    link_.DeviceDetected = hidlink::FindTheHid(link_, api_, profile_);
    hidlink::RefreshDeviceInfo(link_, api_, profile_, window_);
}

void UpdaterForm::Form_Unload() {
    hidlink::CloseDevice(link_, api_);
}

bool UpdaterForm::Form_QueryUnload() {
    if (!deferClose_)
        return true;
    closeRequested_ = true;
    return false;
}

bool UpdaterForm::EndDeferringClose() {
    deferClose_ = false;
    if (!closeRequested_)
        return false;
    window_.Unload();
    return true;
}

}  // namespace updater
