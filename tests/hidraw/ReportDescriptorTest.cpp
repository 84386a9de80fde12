// Windows' report lengths worked out from descriptors written out byte by byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <vector>

#include "hidlink/platform/linux/ReportDescriptor.h"

namespace {

using hidlink::hidraw::ParseReportDescriptor;
using hidlink::hidraw::ReportLengths;
using Bytes = std::vector<std::uint8_t>;

struct DescriptorCase {
    const char* name;
    Bytes descriptor;
    std::uint16_t feature;
    std::uint16_t input = 0;
    std::uint16_t output = 0;
};

// Parameters print as their names in test output.
void PrintTo(const DescriptorCase& c, std::ostream* os) {
    *os << c.name;
}

// Item bytes used below: 06 lo hi Usage Page (2 bytes), 05 Usage Page, 09 Usage, A1 01
// Collection (Application), C0 End Collection, 75 Report Size, 95 Report Count, 85 Report ID,
// A4 Push, B4 Pop, 81 Input, 91 Output, B1 Feature, FE long item.
const DescriptorCase kCases[] = {
    {"NumberedReportsLongestWins",
     {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,                    //
      0x85, 0x08, 0x75, 0x08, 0x95, 0x3F, 0x09, 0x01, 0xB1, 0x02,  // ID 8: 63 bytes
      0x85, 0x11, 0x95, 0x64, 0x09, 0x01, 0xB1, 0x02,              // ID 17: 100 bytes
      0x85, 0x40, 0x95, 0x28, 0x09, 0x01, 0xB1, 0x02,              // ID 0x40: 40 bytes
      0xC0},
     101},
    {"UnnumberedReportsStillCountTheIdByte",
     {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x27, 0xB1, 0x02, 0xC0},
     40},
    {"ItemsOfOneReportAddUp",
     {0xA1, 0x01, 0x85, 0x01, 0x75, 0x08, 0x95, 0x04, 0xB1, 0x02, 0xB1, 0x02,  // ID 1: 8 bytes
      0x85, 0x02, 0x95, 0x06, 0xB1, 0x02, 0xC0},                               // ID 2: 6 bytes
     9},
    {"BitsRoundUpToWholeBytes",
     {0xA1, 0x01, 0x85, 0x01, 0x75, 0x03, 0x95, 0x05, 0xB1, 0x02, 0xC0},  // 15 bits
     3},
    {"BitFieldsAndPaddingShareBytes",
     {0xA1, 0x01, 0x75, 0x01, 0x95, 0x03, 0xB1, 0x02, 0x75, 0x05, 0x95, 0x01, 0xB1, 0x03, 0xC0},
     2},
    {"NoFeatureReport",
     {0xA1, 0x01, 0x75, 0x08, 0x95, 0x08, 0x81, 0x02, 0x95, 0x02, 0x91, 0x02, 0xC0},
     0,
     9,
     3},
    {"PopRestoresReportIdSizeAndCount",
     {0xA1, 0x01, 0x85, 0x01, 0x75, 0x08, 0x95, 0x02,  // ID 1, 2 x 8 bits
      0xA4, 0x85, 0x02, 0x95, 0x03, 0xB1, 0x02,        // push; ID 2: 3 bytes
      0xB4, 0xB1, 0x02, 0xB1, 0x02, 0xC0},             // pop; ID 1: 2 + 2 bytes
     5},
    {"PopWithoutPushIsIgnored", {0xA1, 0x01, 0x75, 0x08, 0x95, 0x04, 0xB4, 0xB1, 0x02, 0xC0}, 5},
    {"LongItemIsSkippedWhole",
     {0xA1, 0x01, 0x75, 0x08, 0x95, 0x04,  //
      0xFE, 0x02, 0x10, 0x95, 0x20,        // long item whose data look like Report Count 32
      0xB1, 0x02, 0xC0},
     5},
    {"TwoByteCountIsLittleEndian",
     {0xA1, 0x01, 0x75, 0x08, 0x96, 0x00, 0x01, 0xB1, 0x02, 0xC0},  // 256 bytes
     257},
    {"TruncatedLastItemIsIgnored", {0xA1, 0x01, 0x75, 0x08, 0x95, 0x04, 0xB1, 0x02, 0x96, 0x10}, 5},
    {"TruncatedLongItemIsIgnored", {0x75, 0x08, 0x95, 0x04, 0xB1, 0x02, 0xFE, 0x05, 0x10, 0x01}, 5},
    {"Empty", {}, 0},
};

class HidrawReportDescriptor : public testing::TestWithParam<DescriptorCase> {};

TEST_P(HidrawReportDescriptor, GivesWindowsReportLengths) {
    const DescriptorCase& c = GetParam();
    // An exact-size heap copy, so that a read past the end trips the address sanitizer.
    const auto copy = std::make_unique<std::uint8_t[]>(c.descriptor.size());
    std::copy(c.descriptor.begin(), c.descriptor.end(), copy.get());
    const ReportLengths lengths = ParseReportDescriptor(copy.get(), c.descriptor.size());
    EXPECT_EQ(lengths.featureReportByteLength, c.feature);
    EXPECT_EQ(lengths.inputReportByteLength, c.input);
    EXPECT_EQ(lengths.outputReportByteLength, c.output);
}

INSTANTIATE_TEST_SUITE_P(Descriptors, HidrawReportDescriptor, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct UsageCase {
    const char* name;
    Bytes descriptor;
    std::uint16_t usagePage;
    std::uint16_t usage;
};

// Parameters print as their names in test output.
void PrintTo(const UsageCase& c, std::ostream* os) {
    *os << c.name;
}

const UsageCase kUsageCases[] = {
    {"VendorPage", {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0xC0}, 0xFF00, 0x01},
    {"ExtendedUsageCarriesItsPage",
     {0x05, 0x01, 0x0B, 0x01, 0x00, 0x0C, 0x00, 0xA1, 0x01, 0xC0},
     0x0C,
     0x01},
    {"InnerCollectionsDoNotCount",
     {0x05, 0x01, 0x09, 0x04, 0xA1, 0x01, 0x05, 0x09, 0x09, 0x01, 0xA1,
      0x00, 0xC0, 0xC0, 0x06, 0x00, 0xFF, 0x09, 0x02, 0xA1, 0x01, 0xC0},
     0x01,
     0x04},
    {"UsageOfAnEarlierMainItemIsSpent",
     {0x05, 0x01, 0x09, 0x30, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0xA1, 0x01, 0xC0},
     0x01,
     0x00},
};

class HidrawTopCollection : public testing::TestWithParam<UsageCase> {};

TEST_P(HidrawTopCollection, GivesUsagePageAndUsage) {
    const UsageCase& c = GetParam();
    const ReportLengths lengths = ParseReportDescriptor(c.descriptor.data(), c.descriptor.size());
    EXPECT_EQ(lengths.usagePage, c.usagePage);
    EXPECT_EQ(lengths.usage, c.usage);
}

INSTANTIATE_TEST_SUITE_P(Descriptors, HidrawTopCollection, testing::ValuesIn(kUsageCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
