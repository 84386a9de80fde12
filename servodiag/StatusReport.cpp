#include "servodiag/StatusReport.h"

#include "servodiag/NumberText.h"
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

double SignedPosition(const std::uint8_t* b) {
    const double raw = b[kPosition] + b[kPosition + 1] * 256.0 + b[kPosition + 2] * 65536.0 +
                       b[kPosition + 3] * 16777216.0;
    return raw >= 2147483648.0 ? raw - 4294967296.0 : raw;
}

std::string VersionText(std::uint8_t major, std::uint8_t minor) {
    return HexText(major) + "." + HexText(minor);
}

}  // namespace

StatusView DecodeStatusReport(const std::uint8_t* b, const std::string& decimalSeparator) {
    StatusView view;
    view.USBerr = std::to_string(b[kUsbErrors]);
    view.SPIerr = std::to_string(b[kSpiErrors]);

    if (b[kAmplifierFlags] & kAmplifierDetailsUnavailable) {
        // The last angle stays on screen while the amplifier cannot be asked.
        view.amp_fw_ver = view.amp_bl_ver = view.amp_sn = view.motor_model = view.sfd_pos = "";
    } else {
        view.amp_fw_ver = VersionText(b[kFirmwareMajor], b[kFirmwareMinor]);
        view.amp_bl_ver = VersionText(b[kHardwareMajor], b[kHardwareMinor]);
        view.amp_sn = NumberText(Unsigned16(b, kSerialNumber), decimalSeparator);
        view.motor_model = NumberText(Unsigned16(b, kMotorModel), decimalSeparator);
        const double position = SignedPosition(b);
        view.sfd_pos = NumberText(position, decimalSeparator);
        view.Degrees = NumberText(position / kCountsPerTurn * 360, decimalSeparator);
    }

    if (b[kPowerFlags] & kBusPowerOff) {
        view.bus_v = "OFF";
        view.bus_vColor = ui::kRed;
    } else {
        view.bus_v = NumberText(Unsigned16(b, kBusVoltage) / 100.0, decimalSeparator);
        view.bus_vColor = ui::kWhite;
    }

    if (!(b[kEstopFlags] & kEstopMonitored)) {
        view.estop = "bypassed";  // the colour of the last known state stays
    } else if (b[kEstopFlags] & kEstopActive) {
        view.estop = "STOP";
        view.estopColor = ui::kRed;
    } else {
        view.estop = "OK";
        view.estopColor = ui::kGreen;
    }
    return view;
}

}  // namespace servodiag
