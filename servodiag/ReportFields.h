// Reading the reports' multi-byte fields, which are little-endian (low byte first).
#pragma once

#include <cstddef>
#include <cstdint>

namespace servodiag {

inline int Unsigned16(const std::uint8_t* report, std::size_t at) {
    return report[at + 1] * 256 + report[at];
}

}  // namespace servodiag
