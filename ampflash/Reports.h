// The reports ampflash sends to the servo amplifier, built over the caller's buffer. The data
// and reset reports share one buffer for a whole transfer and overwrite only their own bytes:
// the amplifier's bootloader receives whatever the buffer still holds beyond them.
#pragma once

#include <array>
#include <cstdint>

#include "updater/FirmwareImage.h"

namespace ampflash {

// The buffer that carries the switch report; zeroed for every click.
using CommandBuffer = std::array<std::uint8_t, 1001>;
// The buffer that carries the data and reset reports of one transfer.
using ReportBuffer = std::array<std::uint8_t, 101>;

inline constexpr std::uint8_t kDataReportId = 0x40;
inline constexpr std::uint16_t kAmplifierProductId = 0x2233;

// A report must carry the ID and a whole record, and fit the report buffer.
inline constexpr int kMinReportLength = 1 + static_cast<int>(updater::kRecordSize);
inline constexpr int kMaxReportLength = static_cast<int>(std::tuple_size_v<ReportBuffer>);

// 08 DE FA BB in bytes 0 to 3: the application firmware hands over to its bootloader.
void PutSwitchReport(CommandBuffer& buffer);
// 0x40 in byte 0, the record in bytes 1 to 40; the rest of the buffer is left as it is.
void PutDataReport(ReportBuffer& buffer, const updater::ImageRecord& record);
// 08 DE FA DE in bytes 0 to 3: the bootloader restarts the amplifier. The rest of the buffer is
// left as it is (bytes 4 to 40 still hold the last record's bytes 3 to 39).
void PutResetReport(ReportBuffer& buffer);

}  // namespace ampflash
