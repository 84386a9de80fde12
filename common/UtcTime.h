// Times as the records the programs write carry them: UTC, ISO 8601.
#pragma once

#include <chrono>
#include <string>

namespace common {

// "2026-12-07T15:04:05Z"
std::string UtcSeconds(std::chrono::system_clock::time_point when);
// "2026-12-07T15:04:05.123Z"
std::string UtcMilliseconds(std::chrono::system_clock::time_point when);

}  // namespace common
