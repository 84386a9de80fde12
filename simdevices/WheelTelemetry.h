// What the simulated wheel controller reports in its normal mode: the status report (ID 17) and
// the settings report (ID 8), as functions of the time since the device appeared.
#pragma once

#include <cstdint>

namespace simdevices {

// Fill `length` bytes of report 17 (report[0] already holds 17).
void FillStatusReport(std::uint8_t* report, std::uint32_t length, std::int64_t nowMs);
// Fill `length` bytes of report 8 (report[0] already holds 8).
void FillSettingsReport(std::uint8_t* report, std::uint32_t length);
// Fills the status or the settings report, whichever report[0] asks for; false for any other
// report ID. `msInNormalMode` is how long the device has been in its normal mode.
bool FillNormalModeReport(std::uint8_t* report, std::uint32_t length, std::int64_t msInNormalMode);

}  // namespace simdevices
