#include <gtest/gtest.h>

#include <numeric>

#include "wheelflash/Reports.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Zeros(std::size_t n) {
    return Bytes(n, 0x00);
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

updater::ImageRecord RecordStartingWith(std::uint8_t first) {
    updater::ImageRecord record;
    std::iota(record.begin(), record.end(), first);
    return record;
}

TEST(UpgradeCommandReport, IsTheCommandThenZerosToTheReportLength) {
    EXPECT_EQ(wheelflash::UpgradeCommandReport(41), Concat({0x08, 0xDE, 0xFA, 0xCE}, Zeros(37)));
    EXPECT_EQ(wheelflash::UpgradeCommandReport(64), Concat({0x08, 0xDE, 0xFA, 0xCE}, Zeros(60)));
}

struct DataReportCase {
    std::size_t length;
    std::uint8_t firstRecordByte;
};
void PrintTo(const DataReportCase& c, std::ostream* os) {
    *os << "L " << c.length << ", record from " << int{c.firstRecordByte};
}

class ImageDataReport : public ::testing::TestWithParam<DataReportCase> {};

// Byte 0 is the data report's ID whatever the record holds (0x08 would read as the upgrade
// command's ID, 0xFF as garbage); the record follows unchanged and zeros fill the rest.
TEST_P(ImageDataReport, CarriesIdZeroTheRecordAndZeros) {
    const DataReportCase c = GetParam();
    const updater::ImageRecord record = RecordStartingWith(c.firstRecordByte);
    const Bytes expected =
        Concat(Concat({0x00}, Bytes(record.begin(), record.end())), Zeros(c.length - 41));
    EXPECT_EQ(wheelflash::ImageDataReport(record, c.length), expected);
}

INSTANTIATE_TEST_SUITE_P(Lengths, ImageDataReport,
                         ::testing::Values(DataReportCase{41, 0x00}, DataReportCase{41, 0x08},
                                           DataReportCase{64, 0xFF}, DataReportCase{64, 0x08}));

// The transfer reuses one buffer: a record must replace the one before it entirely and leave
// the padding alone.
TEST(PutRecord, OverwritesTheIdAndRecordOfAReusedBuffer) {
    Bytes buffer = wheelflash::ImageDataReport(RecordStartingWith(0xA0), 64);
    buffer[0] = 0x08;
    wheelflash::PutRecord(buffer, RecordStartingWith(0x10));
    EXPECT_EQ(buffer, wheelflash::ImageDataReport(RecordStartingWith(0x10), 64));
}

}  // namespace
