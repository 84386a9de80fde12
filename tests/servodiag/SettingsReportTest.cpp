#include "servodiag/SettingsReport.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <utility>
#include <vector>

namespace servodiag {
namespace {

using Bytes = std::vector<std::pair<int, std::uint8_t>>;

SettingsView Decode(const Bytes& bytes) {
    std::array<std::uint8_t, kSettingsDecodedBytes> buffer{};
    buffer[0] = kSettingsReportId;
    for (const auto& [index, value] : bytes)
        buffer[std::size_t(index)] = value;
    return DecodeSettingsReport(buffer.data());
}

struct SettingCase {
    const char* what;
    Bytes bytes;
    std::string SettingsView::*field;
    const char* text;
};

std::ostream& operator<<(std::ostream& out, const SettingCase& c) {
    return out << c.what;
}

class SettingFieldTest : public ::testing::TestWithParam<SettingCase> {};

TEST_P(SettingFieldTest, ShowsTheSettingAsText) {
    EXPECT_EQ(Decode(GetParam().bytes).*GetParam().field, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    CentreOffset, SettingFieldTest,
    ::testing::Values(
        SettingCase{"-1", {{17, 0xFF}, {18, 0xFF}}, &SettingsView::Homing, "-1"},
        SettingCase{"lowest", {{17, 0x00}, {18, 0x80}}, &SettingsView::Homing, "-32768"},
        SettingCase{"highest", {{17, 0xFF}, {18, 0x7F}}, &SettingsView::Homing, "32767"},
        SettingCase{"low byte first", {{17, 0x01}}, &SettingsView::Homing, "1"}));

INSTANTIATE_TEST_SUITE_P(
    Unsigned16, SettingFieldTest,
    ::testing::Values(
        SettingCase{"stops", {{15, 0xFF}, {16, 0xFF}}, &SettingsView::Slimit, "65535"},
        SettingCase{
            "input filter", {{26, 0x10}, {27, 0x27}}, &SettingsView::InputFilter, "10000"}));

INSTANTIATE_TEST_SUITE_P(
    Percent, SettingFieldTest,
    ::testing::Values(SettingCase{"full scale", {{14, 255}}, &SettingsView::DampingScale, "100"},
                      SettingCase{
                          "128 rounds down", {{14, 128}}, &SettingsView::DampingScale, "50"},
                      SettingCase{"127 rounds up", {{14, 127}}, &SettingsView::DampingScale, "50"},
                      SettingCase{"exactly a fifth", {{14, 51}}, &SettingsView::DampingScale, "20"},
                      SettingCase{"one step", {{14, 1}}, &SettingsView::DampingScale, "0"},
                      SettingCase{"nothing", {{14, 0}}, &SettingsView::DampingScale, "0"},
                      SettingCase{"all effects", {{22, 128}}, &SettingsView::OverallScale, "50"}));

INSTANTIATE_TEST_SUITE_P(
    Spring, SettingFieldTest,
    ::testing::Values(SettingCase{"strongest", {{28, 127}}, &SettingsView::Spring, "127"},
                      SettingCase{"128 is none", {{28, 128}}, &SettingsView::Spring, "0"},
                      SettingCase{"255 is none", {{28, 255}}, &SettingsView::Spring, "0"}));

// Every byte from 14 to 28 different, so that a field read from its neighbour's byte shows.
TEST(SettingsReportTest, EachFieldComesFromItsOwnBytes) {
    Bytes bytes;
    for (int i = 14; i <= 28; ++i)
        bytes.emplace_back(i, std::uint8_t(i));
    const SettingsView view = Decode(bytes);
    EXPECT_EQ(view.DampingScale, "5");  // 14
    EXPECT_EQ(view.Slimit, std::to_string(16 * 256 + 15));
    EXPECT_EQ(view.Homing, std::to_string(18 * 256 + 17));
    EXPECT_EQ(view.Stiff, "19");
    EXPECT_EQ(view.Damp, "20");
    EXPECT_EQ(view.TDamp, "21");
    EXPECT_EQ(view.OverallScale, "9");  // 22
    EXPECT_EQ(view.TInertia, "23");
    EXPECT_EQ(view.TFriction, "24");
    EXPECT_EQ(view.MotorFilter, "25");
    EXPECT_EQ(view.InputFilter, std::to_string(27 * 256 + 26));
    EXPECT_EQ(view.Spring, "28");
}

}  // namespace
}  // namespace servodiag
