#include "servodiag/StatusValues.h"

#include "servodiag/ReportFields.h"

namespace servodiag {

namespace {

// Byte positions in the report buffer (byte 0 is the report ID).
constexpr std::size_t kPosition = 5;  // 4 bytes, signed
constexpr std::size_t kHardwareMinor = 21;
constexpr std::size_t kHardwareMajor = 22;
constexpr std::size_t kSerialNumber = 23;  // 2 bytes
constexpr std::size_t kFirmwareMinor = 25;
constexpr std::size_t kFirmwareMajor = 26;
constexpr std::size_t kBusVoltage = 27;  // 2 bytes, hundredths of a volt
constexpr std::size_t kMotorModel = 39;  // 2 bytes
constexpr std::size_t kEstopFlags = 45;
constexpr std::size_t kAmplifierFlags = 46;
constexpr std::size_t kUsbErrors = 47;
constexpr std::size_t kSpiErrors = 48;
constexpr std::size_t kPowerFlags = 49;

constexpr std::uint8_t kEstopMonitored = 0x80;
constexpr std::uint8_t kEstopActive = 0x20;
constexpr std::uint8_t kAmplifierDetailsUnavailable = 0x01;
constexpr std::uint8_t kBusPowerOff = 0x01;

constexpr double kCountsPerTurn = 40000;

std::int64_t SignedPosition(const std::uint8_t* b) {
    const std::int64_t raw = b[kPosition] | (std::int64_t(b[kPosition + 1]) << 8) |
                             (std::int64_t(b[kPosition + 2]) << 16) |
                             (std::int64_t(b[kPosition + 3]) << 24);
    return raw >= 0x80000000LL ? raw - 0x100000000LL : raw;
}

}  // namespace

StatusValues DecodeStatusValues(const std::uint8_t* b) {
    StatusValues values;
    values.usbErrors = b[kUsbErrors];
    values.spiErrors = b[kSpiErrors];

    if (!(b[kAmplifierFlags] & kAmplifierDetailsUnavailable)) {
        AmplifierDetails amplifier;
        amplifier.positionCounts = SignedPosition(b);
        amplifier.degrees = double(amplifier.positionCounts) / kCountsPerTurn * 360;
        amplifier.firmwareMajor = b[kFirmwareMajor];
        amplifier.firmwareMinor = b[kFirmwareMinor];
        amplifier.bootloaderMajor = b[kHardwareMajor];
        amplifier.bootloaderMinor = b[kHardwareMinor];
        amplifier.serialNumber = Unsigned16(b, kSerialNumber);
        amplifier.motorModel = Unsigned16(b, kMotorModel);
        values.amplifier = amplifier;
    }

    if (!(b[kPowerFlags] & kBusPowerOff))
        values.busVolts = Unsigned16(b, kBusVoltage) / 100.0;

    if (!(b[kEstopFlags] & kEstopMonitored))
        values.estop = Estop::Bypassed;
    else if (b[kEstopFlags] & kEstopActive)
        values.estop = Estop::Stop;
    return values;
}

}  // namespace servodiag
