// How the diagnostics window writes numbers.
#pragma once

#include <cstdint>
#include <string>

namespace servodiag {

// Decimal text rounded to 15 significant digits, without trailing fractional zeros or a
// trailing separator, "-" before negatives, in fixed notation below 1e15 in magnitude; the
// separator is the user's.
std::string NumberText(double x, const std::string& decimalSeparator);

// A byte in upper-case hexadecimal without leading zeros: 0, A, 10, FF.
std::string HexText(std::uint8_t b);

}  // namespace servodiag
