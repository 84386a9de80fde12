// The devices as the terminal shows them: for --list, for a choice to be made on the command
// line, and when --serial or --port names none of those present. Each shows what the device
// reports, with control characters escaped.
#pragma once

#include <string>
#include <vector>

#include "hidlink/DeviceChooser.h"
#include "hidlink/HidLink.h"

namespace hidlink {

// A line of --list: path, product, serial and port, separated by tabs ("-" for none).
std::string TerminalListLine(const DeviceListing& device);
// A line of the chooser, naming the device's kind.
std::string TerminalChooserLine(const DeviceListing& device);
// What was asked for and what is there instead, path, product string, vendor:product, serial and
// port of each: the lines to print when the selector takes none of `present`.
std::string NothingSelected(const DeviceSelector& selector,
                            const std::vector<DeviceListing>& present);

}  // namespace hidlink
