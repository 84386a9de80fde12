// What the user is asked before a device is flashed, and what the log keeps of each update.
#pragma once

#include <string>

#include "updater/FirmwareImage.h"
#include "updater/UpdateLog.h"

namespace updater {

// The confirmation's question: which device (product, serial, current version) and which file
// (name, size, whole records and their CRC-32).
std::string ConfirmationQuestion(const LoggedIdentity& device, const ImageCheck& image);

// "0x" and eight upper-case hex digits.
std::string Crc32Text(std::uint32_t crc);

}  // namespace updater
