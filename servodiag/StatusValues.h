// The status report (ID 17) decoded into numbers: what the window's texts are made from, and what
// the status recorder writes.
#pragma once

#include <cstdint>
#include <optional>

namespace servodiag {

enum class Estop { Ok, Stop, Bypassed };

struct AmplifierDetails {
    std::int64_t positionCounts = 0;
    double degrees = 0;
    std::uint8_t firmwareMajor = 0;
    std::uint8_t firmwareMinor = 0;
    std::uint8_t bootloaderMajor = 0;
    std::uint8_t bootloaderMinor = 0;
    int serialNumber = 0;
    int motorModel = 0;
};

struct StatusValues {
    int usbErrors = 0;
    int spiErrors = 0;
    std::optional<AmplifierDetails> amplifier;  // absent while the amplifier cannot be asked
    std::optional<double> busVolts;             // absent while the bus is off
    Estop estop = Estop::Ok;
};

// Decodes the first kStatusBufferSize bytes of a status report.
StatusValues DecodeStatusValues(const std::uint8_t* buffer101);

}  // namespace servodiag
