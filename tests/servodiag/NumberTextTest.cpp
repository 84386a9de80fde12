#include "servodiag/NumberText.h"

#include <gtest/gtest.h>

namespace servodiag {
namespace {

struct NumberCase {
    double value;
    const char* separator;
    const char* text;
};

class NumberTextTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberTextTest, ShowsTheShortestFifteenDigitForm) {
    EXPECT_EQ(NumberText(GetParam().value, GetParam().separator), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberTextTest,
    ::testing::Values(
        NumberCase{0, ".", "0"}, NumberCase{-0.0, ".", "0"}, NumberCase{24, ".", "24"},
        NumberCase{24.04, ".", "24.04"}, NumberCase{2404 / 100.0, ".", "24.04"},
        // Binary fractions that print with 17 digits round away at 15.
        NumberCase{1 / 40000.0 * 360, ".", "0.009"}, NumberCase{0.1 + 0.2, ".", "0.3"},
        NumberCase{-1 / 40000.0 * 360, ".", "-0.009"},
        NumberCase{12345 / 40000.0 * 360, ".", "111.105"},
        NumberCase{-2147483648.0 / 40000 * 360, ".", "-19327352.832"},
        NumberCase{-2147483648.0, ".", "-2147483648"}, NumberCase{65535, ".", "65535"},
        NumberCase{999999999999999, ".", "999999999999999"}, NumberCase{0.0001, ".", "0.0001"},
        NumberCase{24.04, ",", "24,04"}, NumberCase{-0.009, ",", "-0,009"},
        NumberCase{1000, ",", "1000"}));

TEST(HexTextTest, HasNoLeadingZerosOrPrefix) {
    EXPECT_EQ(HexText(0), "0");
    EXPECT_EQ(HexText(10), "A");
    EXPECT_EQ(HexText(16), "10");
    EXPECT_EQ(HexText(255), "FF");
}

}  // namespace
}  // namespace servodiag
