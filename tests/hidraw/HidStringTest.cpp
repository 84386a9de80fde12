// Device strings in the caller's buffer: UTF-16LE, at most `length` bytes, NUL when it fits.
#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <vector>

#include "hidlink/platform/linux/HidString.h"

namespace {

using hidlink::hidraw::WriteHidString;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kUntouched = 0xAA;

struct StringCase {
    const char* name;
    const char* utf8;
    std::uint32_t length;
    Bytes written;  // the bytes from 0; everything after them must be untouched
};

// Parameters print as their names in test output.
void PrintTo(const StringCase& c, std::ostream* os) {
    *os << c.name;
}

const StringCase kCases[] = {
    {"FitsWithTerminator", "Abc", 100, {0x41, 0, 0x62, 0, 0x63, 0, 0, 0}},
    {"ExactFitHasNoTerminator", "Abc", 6, {0x41, 0, 0x62, 0, 0x63, 0}},
    {"OddLengthWritesWholeUnitsOnly", "Abc", 7, {0x41, 0, 0x62, 0, 0x63, 0}},
    {"CutShort", "Abc", 3, {0x41, 0}},
    {"ZeroLength", "Abc", 0, {}},
    {"TwoByteSequence", "caf\xC3\xA9", 100, {0x63, 0, 0x61, 0, 0x66, 0, 0xE9, 0x00, 0, 0}},
    {"ThreeByteSequence", "\xE2\x82\xAC", 100, {0xAC, 0x20, 0, 0}},
    {"BeyondTheBasicPlaneIsASurrogatePair",
     "\xF0\x9F\x98\x80",
     100,
     {0x3D, 0xD8, 0x00, 0xDE, 0, 0}},
    {"StrayContinuationByte",
     "\x80"
     "A",
     100,
     {0xFD, 0xFF, 0x41, 0, 0, 0}},
    {"SequenceCutOffAtTheEnd", "A\xE2\x82", 100, {0x41, 0, 0xFD, 0xFF, 0xFD, 0xFF, 0, 0}},
    {"OverlongEncoding", "\xC0\xAF", 100, {0xFD, 0xFF, 0xFD, 0xFF, 0, 0}},
    {"EncodedSurrogate", "\xED\xA0\x80", 100, {0xFD, 0xFF, 0xFD, 0xFF, 0xFD, 0xFF, 0, 0}},
};

class HidrawHidString : public testing::TestWithParam<StringCase> {};

TEST_P(HidrawHidString, WritesUtf16LeWithinLength) {
    const StringCase& c = GetParam();
    std::array<std::uint8_t, 120> buffer;
    buffer.fill(kUntouched);
    EXPECT_EQ(WriteHidString(c.utf8, buffer.data(), c.length), 1);
    const Bytes written(buffer.begin(), buffer.begin() + c.written.size());
    EXPECT_EQ(written, c.written);
    for (std::size_t i = c.written.size(); i < buffer.size(); ++i) {
        ASSERT_EQ(buffer[i], kUntouched) << "byte " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Strings, HidrawHidString, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HidrawHidStringAbsent, EmptyStringFailsAndWritesNothing) {
    std::array<std::uint8_t, 8> buffer;
    buffer.fill(kUntouched);
    EXPECT_EQ(WriteHidString("", buffer.data(), buffer.size()), 0);
    for (std::uint8_t b : buffer)
        EXPECT_EQ(b, kUntouched);
}

}  // namespace
