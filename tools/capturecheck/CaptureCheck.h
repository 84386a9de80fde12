// Judges a capture's bytes against the updaters' protocol, whatever program or machine made it:
// - every feature report is as long as its device's feature reports, and its bytes are that
//   long;
// - each report sent is one the protocol has: the bootloader switch, the upgrade command and the
//   reset (08 DE FA BB / CE / DE, zero after the command's four bytes), the amplifier's data
//   report (0x40) or the wheel controller's (0x00), zero after the record;
// - the data reports carry the image's whole records in file order, one each, a transfer that
//   starts again starting from the first record; a whole transfer's records have the image's
//   CRC-32;
// - each transfer (from the first record) follows a switch or upgrade command of its own;
// - the reset follows the last record and repeats the last data report's bytes 4 to 40;
// - a transfer ends: with the last record (the amplifier's with the reset after it), or with a
//   report the device did not take, after which the program stopped. A capture that ends in the
//   middle of a transfer, the program killed, is not a well-formed exchange;
// - once an update has started (its first command or data report), no report goes to a device
//   at another USB port (or, where the port is not known, another path).
#pragma once

#include <string>
#include <vector>

#include "hidlink/capture/CaptureLine.h"

namespace capturecheck {

// What is wrong, each naming the call by its number in the capture; empty for a well-formed
// exchange.
std::vector<std::string> CheckCapture(const std::vector<hidlink::CaptureLine>& capture);

}  // namespace capturecheck
