#include "servodiag/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace servodiag {

namespace {

constexpr int kSignificantDigits = 15;
constexpr int kLargestFixedExponent = 14;  // fixed notation below 1e15

}  // namespace

std::string NumberText(double x, const std::string& decimalSeparator) {
    // -0 and 0 both print as 0.
    if (x == 0)
        return "0";

    // to_chars ignores the C locale, which a toolkit may have switched to the user's.
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(x),
                                         std::chars_format::scientific, kSignificantDigits - 1);
    const std::string_view scientific(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t e = scientific.find('e');

    std::string digits;  // the significant digits, trailing zeros dropped
    for (char c : scientific.substr(0, e)) {
        if (c != '.')
            digits += c;
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const auto exponent =
        static_cast<int>(std::strtol(std::string(scientific.substr(e + 1)).c_str(), nullptr, 10));

    std::string text = x < 0 ? "-" : "";
    if (exponent > kLargestFixedExponent) {
        text += digits.substr(0, 1);
        if (digits.size() > 1)
            text += decimalSeparator + digits.substr(1);
        return text + "E+" + std::to_string(exponent);
    }
    if (exponent < 0) {
        return text + "0" + decimalSeparator + std::string(std::size_t(-exponent - 1), '0') +
               digits;
    }
    const std::size_t wholeDigits = std::size_t(exponent) + 1;
    if (digits.size() <= wholeDigits)
        return text + digits + std::string(wholeDigits - digits.size(), '0');
    return text + digits.substr(0, wholeDigits) + decimalSeparator + digits.substr(wholeDigits);
}

std::string HexText(std::uint8_t b) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    if (b >= 16)
        text += kHex[b / 16];
    text += kHex[b % 16];
    return text;
}

}  // namespace servodiag
