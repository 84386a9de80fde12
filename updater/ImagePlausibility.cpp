#include "updater/ImagePlausibility.h"

#include <algorithm>
#include <cctype>
#include <cstddef>

#include "common/PathText.h"

namespace updater {

namespace {

// Text is at least this share of printable ASCII, tabs and line ends. Firmware is mostly
// instructions and tables, full of 0x00, 0xFF and high bytes: about a third of its bytes fall in
// that range, as of any random data.
constexpr double kTextShare = 0.95;

bool IsTextByte(std::uint8_t b) {
    return (b >= 0x20 && b <= 0x7E) || b == '\t' || b == '\n' || b == '\r';
}

bool MostlyText(const std::vector<ImageRecord>& records) {
    std::size_t text = 0;
    for (const ImageRecord& record : records)
        text += static_cast<std::size_t>(std::count_if(record.begin(), record.end(), IsTextByte));
    const std::size_t all = records.size() * kRecordSize;
    return all > 0 && static_cast<double>(text) >= kTextShare * static_cast<double>(all);
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

std::string ImplausibleImage(const ImageCheck& image, const ImageKind& other) {
    if (SameNameIgnoringCase(common::BaseName(image.path), other.imageName))
        return std::string("it is named ") + other.imageName + ", the " + other.device + "'s image";
    if (MostlyText(image.records))
        return "it is mostly text";
    return {};
}

std::string ImageWarning(const std::string& reason, const ImageKind& own) {
    return std::string("Warning: this file does not look like the ") + own.device +
           "'s image: " + reason + ".";
}

}  // namespace updater
