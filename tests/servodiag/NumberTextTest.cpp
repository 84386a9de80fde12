#include "servodiag/NumberText.h"

#include <gtest/gtest.h>

#include <ostream>

namespace servodiag {
namespace {

struct NumberCase {
    double value;
    const char* separator;
    const char* text;
};

// Names the case in the test list by what it expects.
void PrintTo(const NumberCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class NumberTextTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberTextTest, ShowsTheShortestFifteenDigitForm) {
    EXPECT_EQ(NumberText(GetParam().value, GetParam().separator), GetParam().text);
}

// The status decoding tables cover the report's own values; these are the edges of the form.
INSTANTIATE_TEST_SUITE_P(
    Cases, NumberTextTest,
    ::testing::Values(NumberCase{0, ".", "0"}, NumberCase{-0.0, ".", "0"},
                      // Binary fractions that print with 17 digits round away at 15.
                      NumberCase{0.1 + 0.2, ".", "0.3"},
                      NumberCase{123456.78901234567, ".", "123456.789012346"},
                      NumberCase{-2147483648.0, ".", "-2147483648"},
                      NumberCase{999999999999999, ".", "999999999999999"},
                      NumberCase{0.0001, ".", "0.0001"}, NumberCase{1000, ",", "1000"}));

}  // namespace
}  // namespace servodiag
