#include "servodiag/StatusReport.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

namespace servodiag {
namespace {

using Bytes = std::vector<std::pair<int, std::uint8_t>>;
using TextOf = std::optional<std::string> StatusView::*;

StatusView Decode(const Bytes& bytes, const std::string& separator = ".") {
    std::array<std::uint8_t, kStatusBufferSize> buffer{};
    buffer[0] = kStatusReportId;
    for (const auto& [index, value] : bytes)
        buffer[std::size_t(index)] = value;
    return DecodeStatusReport(buffer.data(), separator);
}

struct FieldCase {
    const char* what;
    Bytes bytes;
    TextOf field;
    const char* text;
};

std::ostream& operator<<(std::ostream& out, const FieldCase& c) {
    return out << c.what;
}

class StatusFieldTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(StatusFieldTest, ShowsTheFieldAsText) {
    const StatusView view = Decode(GetParam().bytes);
    EXPECT_EQ(view.*GetParam().field, std::optional<std::string>(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Position, StatusFieldTest,
    ::testing::Values(
        FieldCase{"all ones is -1",
                  {{5, 0xFF}, {6, 0xFF}, {7, 0xFF}, {8, 0xFF}},
                  &StatusView::sfd_pos,
                  "-1"},
        FieldCase{"all ones in degrees",
                  {{5, 0xFF}, {6, 0xFF}, {7, 0xFF}, {8, 0xFF}},
                  &StatusView::Degrees,
                  "-0.009"},
        FieldCase{"lowest", {{8, 0x80}}, &StatusView::sfd_pos, "-2147483648"},
        FieldCase{"lowest in degrees", {{8, 0x80}}, &StatusView::Degrees, "-19327352.832"},
        FieldCase{"one above lowest", {{5, 0x01}, {8, 0x80}}, &StatusView::sfd_pos, "-2147483647"},
        FieldCase{"highest",
                  {{5, 0xFF}, {6, 0xFF}, {7, 0xFF}, {8, 0x7F}},
                  &StatusView::sfd_pos,
                  "2147483647"},
        FieldCase{"a quarter turn", {{5, 0x10}, {6, 0x27}}, &StatusView::Degrees, "90"},
        FieldCase{"a full turn", {{5, 0x40}, {6, 0x9C}}, &StatusView::Degrees, "360"},
        FieldCase{"one count", {{5, 0x01}}, &StatusView::Degrees, "0.009"},
        FieldCase{"12345 counts", {{5, 0x39}, {6, 0x30}}, &StatusView::Degrees, "111.105"},
        FieldCase{"third byte", {{7, 0x01}}, &StatusView::sfd_pos, "65536"}));

INSTANTIATE_TEST_SUITE_P(
    Amplifier, StatusFieldTest,
    ::testing::Values(
        FieldCase{"firmware 1.A", {{25, 0x0A}, {26, 0x01}}, &StatusView::amp_fw_ver, "1.A"},
        FieldCase{"firmware 2.10", {{25, 0x10}, {26, 0x02}}, &StatusView::amp_fw_ver, "2.10"},
        FieldCase{"firmware 0.0", {}, &StatusView::amp_fw_ver, "0.0"},
        FieldCase{"hardware F.FF", {{21, 0xFF}, {22, 0x0F}}, &StatusView::amp_bl_ver, "F.FF"},
        FieldCase{"serial", {{23, 0x39}, {24, 0x30}}, &StatusView::amp_sn, "12345"},
        FieldCase{"highest serial", {{23, 0xFF}, {24, 0xFF}}, &StatusView::amp_sn, "65535"},
        FieldCase{"motor model", {{39, 0x7A}, {40, 0x17}}, &StatusView::motor_model, "6010"},
        FieldCase{"USB errors", {{47, 0xFF}}, &StatusView::USBerr, "255"},
        FieldCase{"SPI errors", {{48, 0x07}}, &StatusView::SPIerr, "7"}));

struct ColouredCase {
    const char* what;
    Bytes bytes;
    const char* text;
    std::optional<ui::ColorRef> color;
};

std::ostream& operator<<(std::ostream& out, const ColouredCase& c) {
    return out << c.what;
}

class BusVoltageTest : public ::testing::TestWithParam<ColouredCase> {};

TEST_P(BusVoltageTest, ShowsVoltsOrOff) {
    const StatusView view = Decode(GetParam().bytes);
    EXPECT_EQ(view.bus_v, std::optional<std::string>(GetParam().text));
    EXPECT_EQ(view.bus_vColor, GetParam().color);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BusVoltageTest,
    ::testing::Values(
        ColouredCase{"hundredths", {{27, 0x64}, {28, 0x09}}, "24.04", ui::kWhite},
        ColouredCase{"whole volts", {{27, 0x60}, {28, 0x09}}, "24", ui::kWhite},
        ColouredCase{"power off", {{27, 0x64}, {28, 0x09}, {49, 0x01}}, "OFF", ui::kRed},
        ColouredCase{"power off, no reading", {{49, 0x01}}, "OFF", ui::kRed},
        ColouredCase{
            "power off, full reading", {{27, 0xFF}, {28, 0xFF}, {49, 0xFF}}, "OFF", ui::kRed},
        ColouredCase{
            "other power flags", {{27, 0xFF}, {28, 0xFF}, {49, 0xFE}}, "655.35", ui::kWhite}));

class EstopTest : public ::testing::TestWithParam<ColouredCase> {};

TEST_P(EstopTest, ShowsTheInputState) {
    const StatusView view = Decode(GetParam().bytes);
    EXPECT_EQ(view.estop, std::optional<std::string>(GetParam().text));
    EXPECT_EQ(view.estopColor, GetParam().color);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EstopTest,
    ::testing::Values(ColouredCase{"monitored, released", {{45, 0x80}}, "OK", ui::kGreen},
                      ColouredCase{"monitored, pressed", {{45, 0xA0}}, "STOP", ui::kRed},
                      ColouredCase{"pressed, not monitored", {{45, 0x20}}, "bypassed", {}},
                      ColouredCase{"not monitored", {{45, 0x00}}, "bypassed", {}},
                      ColouredCase{"other bits, released", {{45, 0xDF}}, "OK", ui::kGreen},
                      ColouredCase{"other bits, not monitored", {{45, 0x7F}}, "bypassed", {}}));

TEST(StatusReportTest, AmplifierDetailsUnavailableEmptiesItsFieldsAndKeepsTheAngle) {
    const StatusView view = Decode({{5, 0x10},
                                    {6, 0x27},
                                    {25, 0x0A},
                                    {26, 0x01},
                                    {46, 0x01},
                                    {47, 3},
                                    {48, 4},
                                    {27, 0x60},
                                    {28, 0x09},
                                    {45, 0x80}});
    for (TextOf field : {&StatusView::amp_fw_ver, &StatusView::amp_bl_ver, &StatusView::amp_sn,
                         &StatusView::motor_model, &StatusView::sfd_pos}) {
        EXPECT_EQ(view.*field, std::optional<std::string>(""));
    }
    EXPECT_EQ(view.Degrees, std::nullopt);
    EXPECT_EQ(view.USBerr, std::optional<std::string>("3"));
    EXPECT_EQ(view.SPIerr, std::optional<std::string>("4"));
    EXPECT_EQ(view.bus_v, std::optional<std::string>("24"));
    EXPECT_EQ(view.estop, std::optional<std::string>("OK"));
}

TEST(StatusReportTest, OtherAmplifierFlagsLeaveTheDetailsShown) {
    const StatusView view = Decode({{5, 0x10}, {6, 0x27}, {46, 0xFE}});
    EXPECT_EQ(view.sfd_pos, std::optional<std::string>("10000"));
    EXPECT_EQ(view.Degrees, std::optional<std::string>("90"));
}

TEST(StatusReportTest, UsesTheUsersDecimalSeparator) {
    const StatusView view =
        Decode({{5, 0xFF}, {6, 0xFF}, {7, 0xFF}, {8, 0xFF}, {27, 0x64}, {28, 0x09}}, ",");
    EXPECT_EQ(view.sfd_pos, std::optional<std::string>("-1"));
    EXPECT_EQ(view.Degrees, std::optional<std::string>("-0,009"));
    EXPECT_EQ(view.bus_v, std::optional<std::string>("24,04"));
}

}  // namespace
}  // namespace servodiag
