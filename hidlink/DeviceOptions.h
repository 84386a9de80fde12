// The device options of the command line (--list, --serial, --port) acted on against the
// devices present, before any window opens: the device link's side of every program's main().
#pragma once

#include <optional>

#include "cmdline/CommandLine.h"
#include "hidlink/ApiDeclarations.h"
#include "hidlink/DeviceChooser.h"
#include "hidlink/HidLink.h"

namespace hidlink {

// The device named by --serial and --port.
DeviceSelector SelectorOf(const cmdline::Options& options);

// What the device options settle before any window opens. --list prints the devices the profile
// and the selector accept, one per line, and ends (status 3 when there is none). Without a
// window, several devices that the program could take are refused: they are listed and the
// program ends with status 2 rather than guess. A --serial or --port that names none of the
// devices present is said, with those present; it ends the program (status 3) unless it
// waitsForDevice (servodiag, which shows the device once it is plugged in). Nothing when the
// program goes on.
std::optional<int> SettleDeviceOptions(const cmdline::Options& options, ApiDeclarations& api,
                                       const DeviceProfile& profile, bool waitsForDevice = false);

}  // namespace hidlink
