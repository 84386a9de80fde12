// The status report (ID 17): what the device tells about itself every 200 ms, turned into the
// texts and colours of the status column and the position label.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "window/FormLayout.h"

namespace servodiag {

inline constexpr std::uint8_t kStatusReportId = 17;
inline constexpr std::size_t kStatusBufferSize = 101;

// For each control, the text it is to show; empty optionals leave the control as it is.
// Members are named after the controls.
struct StatusView {
    std::optional<std::string> USBerr;
    std::optional<std::string> SPIerr;
    std::optional<std::string> amp_fw_ver;
    std::optional<std::string> amp_bl_ver;
    std::optional<std::string> amp_sn;
    std::optional<std::string> motor_model;
    std::optional<std::string> sfd_pos;
    std::optional<std::string> Degrees;
    std::optional<std::string> bus_v;
    std::optional<ui::ColorRef> bus_vColor;
    std::optional<std::string> estop;
    std::optional<ui::ColorRef> estopColor;
};

// Decodes the first kStatusBufferSize bytes of a status report.
StatusView DecodeStatusReport(const std::uint8_t* buffer101, const std::string& decimalSeparator);

}  // namespace servodiag
