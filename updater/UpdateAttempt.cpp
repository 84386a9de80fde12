#include "updater/UpdateAttempt.h"

#include <cstdio>

#include "common/PathText.h"
#include "updater/Crc32.h"

namespace updater {

std::string Crc32Text(std::uint32_t crc) {
    char text[11];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(crc));
    return text;
}

std::string ConfirmationQuestion(const LoggedIdentity& device, const ImageCheck& image) {
    std::string q = "Update the firmware of this device?\n\n";
    q += "Device: " + device.product + " (" + device.usbIds + "), serial " + device.serial;
    if (!device.port.empty())
        q += ", port " + device.port;
    q += ", version " + device.version + "\n";
    q += "Image: " + common::BaseName(image.path) + ", " + std::to_string(image.fileSize) +
         " bytes, " + std::to_string(image.records.size()) + " records, CRC-32 " +
         Crc32Text(Crc32OfRecords(image.records)) + "\n\n";
    q += "Do not unplug the device until the update is complete.";
    return q;
}

}  // namespace updater
