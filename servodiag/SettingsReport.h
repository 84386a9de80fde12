// The settings report (ID 8): the device's tuning, read once at start-up and shown in the
// settings list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace servodiag {

inline constexpr std::uint8_t kSettingsReportId = 8;
// The decoder reads bytes 0 to 28.
inline constexpr std::size_t kSettingsDecodedBytes = 29;

// The twelve settings texts, named after their fields.
struct SettingsView {
    std::string Slimit;
    std::string Homing;
    std::string Stiff;
    std::string Damp;
    std::string TDamp;
    std::string DampingScale;
    std::string OverallScale;
    std::string TInertia;
    std::string TFriction;
    std::string MotorFilter;
    std::string InputFilter;
    std::string Spring;
};

// Nearest whole percent of a byte where 255 is full scale.
int PercentOfFullScale(std::uint8_t b);

// Decodes a settings report; the buffer must hold kSettingsDecodedBytes bytes.
SettingsView DecodeSettingsReport(const std::uint8_t* buffer);

}  // namespace servodiag
