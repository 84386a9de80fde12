// The two kinds of feature report the wheel controller is sent: the upgrade command, which the
// controller takes in its normal mode, and the image data reports, which it takes after it has
// come back in its image-receiving mode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "updater/FirmwareImage.h"

namespace wheelflash {

inline constexpr std::uint8_t kUpgradeCommandReportId = 0x08;
inline constexpr std::uint8_t kImageDataReportId = 0x00;
// A data report carries its ID byte and one whole record.
inline constexpr int kMinReportLength = 1 + static_cast<int>(updater::kRecordSize);

// 08 DE FA CE, then zeros up to `length` bytes.
std::vector<std::uint8_t> UpgradeCommandReport(std::size_t length);

// Writes the report ID and the record into bytes 0 to 40 of a data report buffer of at least
// kMinReportLength bytes; the bytes after them are left as they are (zero in a fresh buffer).
void PutRecord(std::vector<std::uint8_t>& report, const updater::ImageRecord& record);

// The `length`-byte data report that carries `record`; never shorter than kMinReportLength.
std::vector<std::uint8_t> ImageDataReport(const updater::ImageRecord& record, std::size_t length);

}  // namespace wheelflash
