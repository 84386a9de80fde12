#include "servodiag/SettingsReport.h"

#include "servodiag/ReportFields.h"

#include <cmath>

namespace servodiag {

namespace {

// Byte positions in the report buffer (byte 0 is the report ID).
constexpr std::size_t kDampingScale = 14;
constexpr std::size_t kStopLimit = 15;     // 2 bytes
constexpr std::size_t kCentreOffset = 17;  // 2 bytes, signed
constexpr std::size_t kStopStiffness = 19;
constexpr std::size_t kStopDamping = 20;
constexpr std::size_t kOverallDamping = 21;
constexpr std::size_t kOverallScale = 22;
constexpr std::size_t kInertia = 23;
constexpr std::size_t kFriction = 24;
constexpr std::size_t kMotorFilter = 25;
constexpr std::size_t kInputFilter = 26;  // 2 bytes
constexpr std::size_t kSpring = 28;

// Spring strengths above this are not valid settings and show as no spring.
constexpr std::uint8_t kStrongestSpring = 127;

}  // namespace

int PercentOfFullScale(std::uint8_t b) {
    return static_cast<int>(std::floor(b / 255.0 * 100 + 0.5));
}

SettingsView DecodeSettingsReport(const std::uint8_t* b) {
    SettingsView view;
    view.Slimit = std::to_string(Unsigned16(b, kStopLimit));
    const int offset = Unsigned16(b, kCentreOffset);
    view.Homing = std::to_string(offset >= 32768 ? offset - 65536 : offset);
    view.Stiff = std::to_string(b[kStopStiffness]);
    view.Damp = std::to_string(b[kStopDamping]);
    view.TDamp = std::to_string(b[kOverallDamping]);
    view.DampingScale = std::to_string(PercentOfFullScale(b[kDampingScale]));
    view.OverallScale = std::to_string(PercentOfFullScale(b[kOverallScale]));
    view.TInertia = std::to_string(b[kInertia]);
    view.TFriction = std::to_string(b[kFriction]);
    view.MotorFilter = std::to_string(b[kMotorFilter]);
    view.InputFilter = std::to_string(Unsigned16(b, kInputFilter));
    view.Spring = std::to_string(b[kSpring] <= kStrongestSpring ? b[kSpring] : 0);
    return view;
}

}  // namespace servodiag
