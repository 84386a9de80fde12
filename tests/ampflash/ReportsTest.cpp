// The bytes ampflash puts on the wire: switch, data and reset reports, as built and as sent.
#include <algorithm>

#include "AmpflashRig.h"
#include "ampflash/Reports.h"

namespace ampflash_test {
namespace {

using ::testing::ElementsAreArray;
using Bytes = std::vector<std::uint8_t>;

TEST(ReportBuilders, OverwriteOnlyTheirOwnBytes) {
    ampflash::ReportBuffer buffer;
    buffer.fill(0xA5);
    updater::ImageRecord record;
    for (std::size_t i = 0; i < record.size(); ++i)
        record[i] = static_cast<std::uint8_t>(i + 1);

    ampflash::PutDataReport(buffer, record);
    EXPECT_EQ(buffer[0], 0x40);
    EXPECT_TRUE(std::equal(record.begin(), record.end(), buffer.begin() + 1));
    EXPECT_TRUE(std::all_of(buffer.begin() + 41, buffer.end(), [](auto b) { return b == 0xA5; }));

    ampflash::PutResetReport(buffer);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 4), (Bytes{0x08, 0xDE, 0xFA, 0xDE}));
    // Record bytes 3 to 39 stay in report bytes 4 to 40.
    EXPECT_TRUE(std::equal(record.begin() + 3, record.end(), buffer.begin() + 4));

    ampflash::CommandBuffer command{};
    ampflash::PutSwitchReport(command);
    EXPECT_EQ(Bytes(command.begin(), command.begin() + 4), (Bytes{0x08, 0xDE, 0xFA, 0xBB}));
    EXPECT_TRUE(std::all_of(command.begin() + 4, command.end(), [](auto b) { return b == 0; }));
}

struct WireCase {
    std::uint16_t reportLength;
    std::size_t imageSize;
};

void PrintTo(const WireCase& c, std::ostream* os) {
    *os << "length " << c.reportLength << ", " << c.imageSize << " bytes";
}

class WireBytes : public RigTest<::testing::TestWithParam<WireCase>> {};

// Every report goes out on the handle opened at load, with the device's report length, and
// carries exactly these bytes.
TEST_P(WireBytes, SwitchDataAndResetReports) {
    const auto [length, imageSize] = GetParam();
    simdevices::AmplifierOptions options;
    options.reportLength = length;
    AmpflashRig& rig = MakeRig(options);
    const Bytes image = ImageBytes(imageSize);
    rig.WriteImage(image);
    rig.Load();
    const hidlink::Handle deviceHandle = rig.form.Link().DeviceHandle;
    rig.Click();

    const std::size_t records = imageSize / 40;
    const auto reports = rig.Reports();
    ASSERT_EQ(reports.size(), records + 2);

    Bytes expected(length, 0);
    std::copy_n(Bytes{0x08, 0xDE, 0xFA, 0xBB}.begin(), 4, expected.begin());
    EXPECT_THAT(reports.front().bytes, ElementsAreArray(expected));

    for (std::size_t k = 0; k < records; ++k) {
        std::fill(expected.begin(), expected.end(), 0);
        expected[0] = 0x40;
        std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(k * 40), 40, expected.begin() + 1);
        EXPECT_THAT(reports[k + 1].bytes, ElementsAreArray(expected)) << "record " << k + 1;
    }

    // The reset report over what the last data report left in the buffer.
    std::copy_n(Bytes{0x08, 0xDE, 0xFA, 0xDE}.begin(), 4, expected.begin());
    EXPECT_THAT(reports.back().bytes, ElementsAreArray(expected));

    for (const auto& r : reports) {
        EXPECT_EQ(r.handle, deviceHandle);
        EXPECT_EQ(r.length, length);
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, WireBytes,
                         ::testing::Values(WireCase{41, 3 * 40}, WireCase{65, 3 * 40},
                                           WireCase{65, 40}, WireCase{41, 2 * 40 + 17},
                                           WireCase{101, 2 * 40}),
                         [](const auto& info) {
                             return std::string("L") + std::to_string(info.param.reportLength) +
                                    "_" + std::to_string(info.param.imageSize) + "bytes";
                         });

class ResetReport : public RigTest<> {};

TEST_F(ResetReport, CarriesTheTailOfALastRecordOfOnes) {
    AmpflashRig& rig = MakeRig();
    Bytes image = ImageBytes(80);
    std::fill(image.begin() + 40, image.end(), 0xFF);
    rig.WriteImage(image);
    rig.Load();
    rig.Click();

    Bytes expected{0x08, 0xDE, 0xFA, 0xDE};
    expected.insert(expected.end(), 37, 0xFF);
    expected.insert(expected.end(), 65 - 41, 0x00);
    EXPECT_THAT(rig.Reports().back().bytes, ElementsAreArray(expected));
}

}  // namespace
}  // namespace ampflash_test
