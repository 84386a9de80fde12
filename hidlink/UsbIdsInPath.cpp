#include "hidlink/UsbIdsInPath.h"

#include <algorithm>
#include <cctype>

namespace hidlink {

namespace {

std::optional<std::uint16_t> HexAfter(const std::string& lowerPath, const std::string& key) {
    const std::size_t at = lowerPath.find(key);
    if (at == std::string::npos || at + key.size() + 4 > lowerPath.size())
        return std::nullopt;
    const std::string digits = lowerPath.substr(at + key.size(), 4);
    if (!std::all_of(digits.begin(), digits.end(),
                     [](unsigned char c) { return std::isxdigit(c) != 0; }))
        return std::nullopt;
    return static_cast<std::uint16_t>(std::stoul(digits, nullptr, 16));
}

}  // namespace

std::optional<HiddAttributes> UsbIdsInPath(const std::string& devicePath) {
    std::string lower = devicePath;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto vendor = HexAfter(lower, "vid_");
    const auto product = HexAfter(lower, "pid_");
    if (!vendor || !product)
        return std::nullopt;
    HiddAttributes ids;
    ids.VendorID = *vendor;
    ids.ProductID = *product;
    return ids;
}

}  // namespace hidlink
