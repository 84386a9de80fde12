#include "servodiag/DeviceState.h"

namespace servodiag {

namespace {

const char kNoSettingsDetail[] =
    "The settings list stays blank: this device does not answer the settings read.";

}  // namespace

DeviceStateText TextOf(DeviceState state, bool reportsSettings) {
    switch (state) {
        case DeviceState::Live:
            if (!reportsSettings) {
                return {" \u2014 no settings", "Device connected. It reports no settings.",
                        kNoSettingsDetail};
            }
            return {"", "Device connected", ""};
        case DeviceState::NoStatus:
            return {reportsSettings ? " \u2014 no status" : " \u2014 no status or settings",
                    reportsSettings ? "This device reports no status."
                                    : "This device reports no status or settings.",
                    "The device is connected and still there, but it does not answer the status "
                    "read: the status fields stay blank. It is asked again every second."};
        case DeviceState::NoDevice:
            return {" \u2014 no device", "No device found. Looking again every second.", ""};
        case DeviceState::AccessRefused:
            return {" \u2014 access refused", "Device access refused: install the udev rule.",
                    "The device is there, but this user may not open it. Install "
                    "packaging/udev/70-drivanta.rules as the README's section \"Linux: device "
                    "access without root\" says, then unplug and replug the device."};
        case DeviceState::InUse:
            return {
                " \u2014 in use", "Device in use by another program. Looking again every second.",
                "The device is there, but another program holds it. Close that program (another "
                "servodiag, ampflash or wheelflash): servodiag takes the device at its next "
                "look."};
        case DeviceState::NotResponding:
            return {" \u2014 not responding",
                    "Device not responding. Looking for it again every second.",
                    "The values shown are the last the device sent, until it answers again."};
    }
    return {};
}

}  // namespace servodiag
