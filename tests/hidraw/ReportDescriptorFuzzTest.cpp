// Random and cut-off descriptors: the parser reads nothing past the size it is given. Each
// descriptor is parsed from an exact-size heap block, so that under the address sanitizer a read
// past its end fails the test; it is parsed again followed by other bytes, which must not change
// the result on any build.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "hidlink/platform/linux/ReportDescriptor.h"

namespace {

using hidlink::hidraw::ParseReportDescriptor;
using hidlink::hidraw::ReportLengths;

bool operator==(const ReportLengths& a, const ReportLengths& b) {
    return a.usagePage == b.usagePage && a.usage == b.usage &&
           a.inputReportByteLength == b.inputReportByteLength &&
           a.outputReportByteLength == b.outputReportByteLength &&
           a.featureReportByteLength == b.featureReportByteLength;
}

ReportLengths ParseExactCopy(const std::vector<std::uint8_t>& bytes) {
    const auto copy = std::make_unique<std::uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), copy.get());
    return ParseReportDescriptor(copy.get(), bytes.size());
}

ReportLengths ParseWithTail(const std::vector<std::uint8_t>& bytes, std::uint8_t tail) {
    std::vector<std::uint8_t> padded = bytes;
    padded.resize(bytes.size() + 8, tail);
    return ParseReportDescriptor(padded.data(), bytes.size());
}

void ExpectReadsOnlyItsInput(const std::vector<std::uint8_t>& bytes) {
    const ReportLengths exact = ParseExactCopy(bytes);
    // Report Count and Feature items, or long items, if the parser went on past the end.
    for (std::uint8_t tail : {0x95, 0xB1, 0xFE}) {
        EXPECT_TRUE(exact == ParseWithTail(bytes, tail)) << "tail " << int(tail);
    }
}

TEST(HidrawReportDescriptorFuzz, RandomDescriptors) {
    // Prefixes that matter to the parser, so that random input reaches every branch.
    const std::uint8_t kPrefixes[] = {0x05, 0x06, 0x09, 0x0B, 0x75, 0x85, 0x95, 0x96, 0x97,
                                      0xA4, 0xB4, 0x81, 0x91, 0xB1, 0xA1, 0xC0, 0xFE};
    std::mt19937 random(20260101);
    std::uniform_int_distribution<int> length(0, 48);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<std::size_t> prefix(0, std::size(kPrefixes) - 1);
    for (int i = 0; i < 3000; ++i) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length(random)));
        for (auto& b : bytes) {
            b = byte(random) < 96 ? kPrefixes[prefix(random)]
                                  : static_cast<std::uint8_t>(byte(random));
        }
        ExpectReadsOnlyItsInput(bytes);
    }
}

TEST(HidrawReportDescriptorFuzz, EveryCutOfARealDescriptor) {
    const std::vector<std::uint8_t> descriptor = {
        0x06, 0x00, 0xFF, 0x0B, 0x01, 0x00, 0x00, 0xFF, 0xA1, 0x01, 0x85, 0x08, 0x75, 0x08,
        0x96, 0x3F, 0x00, 0xA4, 0x09, 0x01, 0xB1, 0x02, 0xB4, 0xFE, 0x04, 0x01, 0x95, 0x40,
        0xB1, 0x02, 0x85, 0x11, 0x97, 0x64, 0x00, 0x00, 0x00, 0xB1, 0x02, 0xC0};
    for (std::size_t cut = 0; cut <= descriptor.size(); ++cut) {
        ExpectReadsOnlyItsInput({descriptor.begin(), descriptor.begin() + cut});
    }
}

}  // namespace
