// What the diagnostics window tells about its device: in the title and on the line at the top.
#pragma once

#include <string>

namespace servodiag {

enum class DeviceState {
    Live,           // found, answering its status reads (or not asked yet)
    NoStatus,       // found and still there, but it has answered no status read since opened
    NoDevice,       // none found; searched for again every second
    AccessRefused,  // found, but this user may not open it (Linux without the udev rule)
    InUse,          // found, but another program holds it (Windows)
    NotResponding,  // its status reads failed in a row; searched for again every second
};

struct DeviceStateText {
    std::string titleSuffix;  // after the window's own title; empty when live
    std::string line;         // short enough for the state line
    std::string detail;       // the whole story, for the line's tooltip; may be empty
};

// `reportsSettings`: the device answered the settings read (said only of a device found).
DeviceStateText TextOf(DeviceState state, bool reportsSettings = true);

}  // namespace servodiag
