// The CRC-32 the update log and the confirmation show for an image (the common reflected
// polynomial 0xEDB88320, as zip and Ethernet use), so a technician can compare it with the value
// the device reports or the one published beside the file.
#pragma once

#include <cstdint>
#include <vector>

#include "updater/FirmwareImage.h"

namespace updater {

// Continues a CRC-32 over more bytes; start from 0.
std::uint32_t Crc32(std::uint32_t crc, const std::uint8_t* bytes, std::size_t size);
// Of the records as sent: whole records only, in order.
std::uint32_t Crc32OfRecords(const std::vector<ImageRecord>& records);

}  // namespace updater
