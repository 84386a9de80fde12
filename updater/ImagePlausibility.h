// Whether a file can be this updater's image at all. The records stay opaque: only what plainly
// names a file as something else is looked at — mostly text, or the other updater's image name —
// so that a README or the other device's image is named before anything is sent.
#pragma once

#include <string>
#include <vector>

#include "updater/FirmwareImage.h"

namespace updater {

// A device and the name its image is shipped under.
struct ImageKind {
    const char* device;     // "amplifier"
    const char* imageName;  // "servoamp-Orla-RevA.bin"
};

inline constexpr ImageKind kAmplifierImage{"amplifier", "servoamp-Orla-RevA.bin"};
inline constexpr ImageKind kControllerImage{"wheel controller", "wheelflash.bin"};

// Why the checked image cannot be this updater's ("it is mostly text", "it is named wheelflash.bin,
// the wheel controller's image"), or "" when nothing says so.
std::string ImplausibleImage(const ImageCheck& image, const ImageKind& other);

// The warning added to the question for such a file.
std::string ImageWarning(const std::string& reason, const ImageKind& own);

}  // namespace updater
