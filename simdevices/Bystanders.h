// HID interfaces that belong to none of the programs: they enumerate before the device under
// test, as a keyboard and a headset would on a real machine.
#pragma once

#include <memory>

#include "hidlink/sim/SimDevice.h"

namespace simdevices {

// A keyboard: Windows opens it exclusively, so CreateFileA refuses it.
std::shared_ptr<sim::SimDevice> MakeKeyboard();
// A headset's HID interface: opens fine, another vendor.
std::shared_ptr<sim::SimDevice> MakeHeadset();

}  // namespace simdevices
