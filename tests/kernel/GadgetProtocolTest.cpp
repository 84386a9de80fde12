// The bytes the gadget carrier writes to FunctionFS and the way it reads usbhid's control
// requests: a wrong byte here shows in the test machine only as a device that never enumerates
// or a report that arrives shifted by one.
#include <gtest/gtest.h>

#include <ostream>

#include "FeatureDescriptor.h"
#include "GadgetProtocol.h"
#include "hidlink/platform/linux/ReportDescriptor.h"

namespace {

using kerneltest::gadget::Decode;
using kerneltest::gadget::SetupRequest;
using kerneltest::gadget::Step;

struct DecodeCase {
    const char* name;
    SetupRequest setup;
    Step step;
    std::uint8_t reportId;
};

void PrintTo(const DecodeCase& c, std::ostream* out) {
    *out << c.name;
}

class Requests : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Requests, DecodeToTheirStep) {
    const kerneltest::gadget::Decoded d = Decode(GetParam().setup);
    EXPECT_EQ(d.step, GetParam().step);
    EXPECT_EQ(d.reportId, GetParam().reportId);
}

INSTANTIATE_TEST_SUITE_P(
    Usbhid, Requests,
    ::testing::Values(
        DecodeCase{"ReportDescriptor", {0x81, 0x06, 0x2200, 0, 40}, Step::SendReportDescriptor, 0},
        DecodeCase{"HidDescriptor", {0x81, 0x06, 0x2100, 0, 9}, Step::SendHidDescriptor, 0},
        DecodeCase{"StringDescriptorOfTheInterface", {0x81, 0x06, 0x0302, 0, 255}, Step::Stall, 0},
        DecodeCase{"GetFeature17", {0xA1, 0x01, 0x0311, 0, 64}, Step::GetFeature, 17},
        DecodeCase{"GetInputReport", {0xA1, 0x01, 0x0111, 0, 64}, Step::Stall, 0},
        DecodeCase{"GetReportSentOut", {0x21, 0x01, 0x0311, 0, 64}, Step::Stall, 0},
        DecodeCase{"SetFeatureUnnumbered", {0x21, 0x09, 0x0300, 0, 63}, Step::SetFeature, 0},
        DecodeCase{"SetFeature64", {0x21, 0x09, 0x0340, 0, 65}, Step::SetFeature, 0x40},
        DecodeCase{"SetOutputReport", {0x21, 0x09, 0x0208, 0, 64}, Step::Stall, 0},
        DecodeCase{"SetIdle", {0x21, 0x0A, 0x0000, 0, 0}, Step::Acknowledge, 0},
        DecodeCase{"GetIdle", {0xA1, 0x02, 0x0000, 0, 1}, Step::Stall, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct DataCase {
    const char* name;
    std::vector<std::uint8_t> report;  // the model's terms: ID byte first
    std::uint16_t requested;
    std::vector<std::uint8_t> wire;  // the data stage
};

void PrintTo(const DataCase& c, std::ostream* out) {
    *out << c.name;
}

class GetReportData : public ::testing::TestWithParam<DataCase> {};

TEST_P(GetReportData, CarriesTheIdOnlyForNumberedReports) {
    EXPECT_EQ(kerneltest::gadget::GetReportData(GetParam().report, GetParam().requested),
              GetParam().wire);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, GetReportData,
    ::testing::Values(DataCase{"Numbered", {17, 1, 2, 3}, 64, {17, 1, 2, 3}},
                      DataCase{"NumberedCutToTheRequest", {17, 1, 2, 3}, 2, {17, 1}},
                      DataCase{"Unnumbered", {0, 1, 2, 3}, 64, {1, 2, 3}},
                      DataCase{"UnnumberedCutToTheRequest", {0, 1, 2, 3}, 1, {1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SetReportData, GetsTheIdByteBackOnlyWhereTheWireLeftItOut) {
    using kerneltest::gadget::ReportFromSetData;
    EXPECT_EQ(ReportFromSetData(0x40, {0x40, 9, 8}), (std::vector<std::uint8_t>{0x40, 9, 8}));
    EXPECT_EQ(ReportFromSetData(0x00, {9, 8}), (std::vector<std::uint8_t>{0x00, 9, 8}));
}

TEST(HidDescriptor, AnnouncesTheReportDescriptorLengthLittleEndian) {
    EXPECT_EQ(kerneltest::gadget::HidDescriptor(0x0123),
              (std::vector<std::uint8_t>{9, 0x21, 0x11, 0x01, 0, 1, 0x22, 0x23, 0x01}));
}

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

TEST(FunctionDescriptors, AreOneHidInterfaceWithOneInterruptInEndpointPerSpeed) {
    const std::vector<std::uint8_t> d = kerneltest::gadget::FunctionDescriptors(47);
    ASSERT_GE(d.size(), 20u);
    EXPECT_EQ(Le32(d, 0), 3u);        // FUNCTIONFS_DESCRIPTORS_MAGIC_V2
    EXPECT_EQ(Le32(d, 4), d.size());  // the whole block's length
    EXPECT_EQ(Le32(d, 8), 1u | 2u);   // full and high speed
    EXPECT_EQ(Le32(d, 12), 3u);
    EXPECT_EQ(Le32(d, 16), 3u);
    // Walk the descriptors by their own lengths: each must end where the next begins.
    std::vector<std::uint8_t> types;
    std::vector<std::uint8_t> intervals;
    for (std::size_t at = 20; at < d.size(); at += d[at]) {
        ASSERT_GT(d[at], 1u);
        ASSERT_LE(at + d[at], d.size());
        types.push_back(d[at + 1]);
        if (d[at + 1] == 0x21) {
            EXPECT_EQ(d[at + 7] | d[at + 8] << 8, 47);
        }
        if (d[at + 1] == 0x05) {
            EXPECT_EQ(d[at + 2], 0x81);  // endpoint 1, IN
            EXPECT_EQ(d[at + 3], 0x03);  // interrupt
            intervals.push_back(d[at + 6]);
        }
        if (d[at + 1] == 0x04) {
            EXPECT_EQ(d[at + 5], 0x03);  // HID class
        }
    }
    EXPECT_EQ(types, (std::vector<std::uint8_t>{4, 0x21, 5, 4, 0x21, 5}));
    EXPECT_EQ(intervals, (std::vector<std::uint8_t>{1, 4}));
}

TEST(NoStrings, IsAnEmptyStringsBlock) {
    const std::vector<std::uint8_t> s = kerneltest::gadget::NoStrings();
    ASSERT_EQ(s.size(), 16u);
    EXPECT_EQ(Le32(s, 0), 2u);  // FUNCTIONFS_STRINGS_MAGIC
    EXPECT_EQ(Le32(s, 4), 16u);
    EXPECT_EQ(Le32(s, 8), 0u);
    EXPECT_EQ(Le32(s, 12), 0u);
}

// The served descriptors must give the programs the model's report length, numbered or not.
struct LayoutCase {
    const char* name;
    std::vector<std::uint8_t> ids;
    std::uint16_t length;
    bool hasReportIdItem;
};

void PrintTo(const LayoutCase& c, std::ostream* out) {
    *out << c.name;
}

class Layouts : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(Layouts, DeclareTheModelsReportLength) {
    const std::vector<std::uint8_t> d =
        kerneltest::FeatureOnlyDescriptor(GetParam().ids, GetParam().length);
    const auto lengths = hidlink::hidraw::ParseReportDescriptor(d.data(), d.size());
    EXPECT_EQ(lengths.featureReportByteLength, GetParam().length);
    EXPECT_EQ(lengths.usagePage, 0xFF00);
    bool reportIdItem = false;
    for (std::size_t i = 0; i + 1 < d.size(); ++i)
        reportIdItem = reportIdItem || d[i] == 0x85;
    EXPECT_EQ(reportIdItem, GetParam().hasReportIdItem);
}

INSTANTIATE_TEST_SUITE_P(Models, Layouts,
                         ::testing::Values(LayoutCase{"Amplifier", {0x08, 0x40}, 65, true},
                                           LayoutCase{"WheelNormal", {0x08, 17}, 64, true},
                                           LayoutCase{"WheelImageMode", {0x00}, 64, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
