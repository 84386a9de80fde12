// servodiag's status without a window: the block a terminal redraws in place (every field of the
// window's status column and the position, as the window writes them) and the plain line
// printed per reading into a pipe or a file (the recording's columns, each named).
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "window/TerminalView.h"

namespace servodiag {

// `lastReport` is the last status report the device answered with (kStatusBufferSize bytes), or
// null before the first. `silentForMs` is set while the device does not answer: how long ago
// that report came; its values are then shown dimmed.
std::vector<ui::LiveField> StatusBlock(const std::uint8_t* lastReport,
                                       std::optional<std::int64_t> silentForMs);

// One reading: its time and "ok" then name=value for every column ("-" where the recording's
// column is empty), or its time and "not responding" when `report` is null.
std::string StatusLine(std::chrono::system_clock::time_point when, const std::uint8_t* report);

}  // namespace servodiag
