#include "simdevices/WheelTelemetry.h"

#include <algorithm>
#include <cmath>

namespace simdevices {

namespace {

constexpr double kPi = 3.14159265358979323846;

// The wheel is turned back and forth as a driver would: a slow swing with a quicker one on top,
// never past its stops (22500 counts, 202.5 degrees, each side). The angle goes negative and
// rarely lands on a whole degree.
constexpr double kSwingCounts = 15000;
constexpr double kSwingPeriodMs = 9000;
constexpr double kSwingPhase = 1;  // 40 s after it appears, the wheel stands left of centre
constexpr double kCorrectionCounts = 6500;
constexpr double kCorrectionPeriodMs = 3700;
constexpr double kCorrectionPhase = 1;
constexpr std::int32_t kStopCounts = 22500;

// Bus voltage in hundredths of a volt, with a little ripple; the supply drops out for two
// seconds in every 37.
constexpr double kBusHundredths = 4812;
constexpr double kRippleHundredths = 35;
constexpr std::int64_t kPowerCycleMs = 37000;
constexpr std::int64_t kPowerOffMs = 2000;

// E-STOP: monitored and released most of the time, now and then pressed for two seconds, then
// briefly not monitored while it is reset.
constexpr std::int64_t kEstopCycleMs = 25000;
constexpr std::int64_t kEstopStopFromMs = 19000;
constexpr std::int64_t kEstopBypassedFromMs = 21000;
constexpr std::int64_t kEstopBypassedUntilMs = 22500;

// USB errors come in bursts: one more every 200 ms for the last second of every 13.
constexpr std::int64_t kUsbBurstCycleMs = 13000;
constexpr std::int64_t kUsbBurstMs = 1000;
constexpr std::int64_t kUsbBurstStepMs = 200;

// The amplifier answers nothing for a second in every 29.
constexpr std::int64_t kAmplifierCycleMs = 29000;
constexpr std::int64_t kAmplifierSilentMs = 1000;

// Writes into the report only where the transfer reaches.
class Report {
  public:
    Report(std::uint8_t* bytes, std::uint32_t length) : bytes_(bytes), length_(length) {}
    void Put8(std::uint32_t at, std::uint32_t value) {
        if (at < length_)
            bytes_[at] = static_cast<std::uint8_t>(value & 0xFF);
    }
    void Put16(std::uint32_t at, std::uint32_t value) {
        Put8(at, value);
        Put8(at + 1, value >> 8);
    }
    void Put32(std::uint32_t at, std::uint32_t value) {
        Put16(at, value);
        Put16(at + 2, value >> 16);
    }

  private:
    std::uint8_t* bytes_;
    std::uint32_t length_;
};

std::int64_t UsbErrors(std::int64_t nowMs) {
    constexpr std::int64_t kPerBurst = kUsbBurstMs / kUsbBurstStepMs;
    const std::int64_t intoBurst = nowMs % kUsbBurstCycleMs - (kUsbBurstCycleMs - kUsbBurstMs);
    const std::int64_t thisBurst = intoBurst < 0 ? 0 : intoBurst / kUsbBurstStepMs + 1;
    return nowMs / kUsbBurstCycleMs * kPerBurst + thisBurst;
}

}  // namespace

void FillStatusReport(std::uint8_t* report, std::uint32_t length, std::int64_t nowMs) {
    Report r(report, length);
    const double t = static_cast<double>(nowMs);

    const double swing =
        kSwingCounts * std::sin(2 * kPi * t / kSwingPeriodMs + kSwingPhase) +
        kCorrectionCounts * std::sin(2 * kPi * t / kCorrectionPeriodMs + kCorrectionPhase);
    const auto position =
        std::clamp(static_cast<std::int32_t>(std::lround(swing)), -kStopCounts, kStopCounts);
    r.Put32(5, static_cast<std::uint32_t>(position));

    r.Put8(21, 0x03);  // hardware 1.3
    r.Put8(22, 0x01);
    r.Put16(23, 20417);  // amplifier serial number
    r.Put8(25, 0x1A);    // firmware 2.1A
    r.Put8(26, 0x02);
    r.Put16(27, static_cast<std::uint32_t>(std::lround(
                    kBusHundredths + kRippleHundredths * std::sin(2 * kPi * t / 2300))));
    r.Put16(39, 6010);  // motor model

    const std::int64_t estopPhase = nowMs % kEstopCycleMs;
    r.Put8(45, estopPhase < kEstopStopFromMs        ? 0x80
               : estopPhase < kEstopBypassedFromMs  ? 0xA0
               : estopPhase < kEstopBypassedUntilMs ? 0x00
                                                    : 0x80);
    r.Put8(46, nowMs % kAmplifierCycleMs >= kAmplifierCycleMs - kAmplifierSilentMs ? 0x01 : 0x00);
    r.Put8(47, static_cast<std::uint32_t>(UsbErrors(nowMs)));
    r.Put8(48, static_cast<std::uint32_t>(nowMs / 15000));  // SPI errors, more rarely
    r.Put8(49, nowMs % kPowerCycleMs >= kPowerCycleMs - kPowerOffMs ? 0x01 : 0x00);
}

void FillSettingsReport(std::uint8_t* report, std::uint32_t length) {
    Report r(report, length);
    r.Put8(14, 204);     // damper effect scale, 80 %
    r.Put16(15, 22500);  // stops at 202.5 degrees each side
    r.Put16(17, static_cast<std::uint32_t>(std::int32_t{-1250}));  // centre offset
    r.Put8(19, 180);                                               // stops stiffness
    r.Put8(20, 90);                                                // stops damping
    r.Put8(21, 40);                                                // overall damping
    r.Put8(22, 230);                                               // all-effects scale, 90 %
    r.Put8(23, 25);                                                // inertia
    r.Put8(24, 15);                                                // friction
    r.Put8(25, 3);                                                 // motor filter
    r.Put16(26, 500);                                              // input filter
    r.Put8(28, 20);                                                // centering spring
}

bool FillNormalModeReport(std::uint8_t* report, std::uint32_t length, std::int64_t msInNormalMode) {
    if (report[0] == 17) {
        FillStatusReport(report, length, msInNormalMode);
        return true;
    }
    if (report[0] == 8) {
        FillSettingsReport(report, length);
        return true;
    }
    return false;
}

}  // namespace simdevices
