// Status reports the tests know the meaning of, written byte by byte.
#pragma once

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "servodiag/StatusReport.h"

namespace servodiag::testing {

using Bytes = std::vector<std::pair<int, std::uint8_t>>;

// One turn backwards (-40000 counts), firmware 2.1A, bootloader 1.3, serial 20417, motor 6010,
// 48.47 V, E-STOP monitored and clear, 3 USB and 250 SPI errors.
inline const Bytes kEverything = {{5, 0xC0},  {6, 0x63},  {7, 0xFF},  {8, 0xFF},  {21, 0x03},
                                  {22, 0x01}, {23, 0xC1}, {24, 0x4F}, {25, 0x1A}, {26, 0x02},
                                  {27, 0xEF}, {28, 0x12}, {39, 0x7A}, {40, 0x17}, {45, 0x80},
                                  {47, 3},    {48, 250}};

inline Bytes With(Bytes bytes, std::initializer_list<std::pair<int, std::uint8_t>> more) {
    for (const auto& [at, value] : more) {
        std::erase_if(bytes, [&](const auto& b) { return b.first == at; });
        bytes.emplace_back(at, value);
    }
    return bytes;
}

inline std::array<std::uint8_t, kStatusBufferSize> StatusBuffer(const Bytes& bytes) {
    std::array<std::uint8_t, kStatusBufferSize> buffer{};
    buffer[0] = kStatusReportId;
    for (const auto& [at, value] : bytes)
        buffer[std::size_t(at)] = value;
    return buffer;
}

// The moment a reading is stamped with.
inline const std::chrono::system_clock::time_point kWhen =
    std::chrono::sys_days{std::chrono::year{2026} / 12 / 7} + std::chrono::hours(15) +
    std::chrono::minutes(4) + std::chrono::seconds(5) + std::chrono::milliseconds(123);

}  // namespace servodiag::testing
