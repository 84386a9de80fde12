// The command reports the firmware answers, by their first four bytes (report ID 8, then a
// three-byte code).
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace simdevices {

using CommandHead = std::uint8_t[4];

inline constexpr CommandHead kBootloaderSwitch = {0x08, 0xDE, 0xFA, 0xBB};
inline constexpr CommandHead kBootloaderReset = {0x08, 0xDE, 0xFA, 0xDE};
inline constexpr CommandHead kUpgradeCommand = {0x08, 0xDE, 0xFA, 0xCE};

inline bool IsCommand(const std::uint8_t* report, std::uint32_t length, const CommandHead& head) {
    return length >= 4 && std::equal(std::begin(head), std::end(head), report);
}

}  // namespace simdevices
