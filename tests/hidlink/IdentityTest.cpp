#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <ostream>
#include <string>

#include "FakeDevices.h"
#include "hidlink/DeviceIdentity.h"
#include "hidlink/HidLink.h"
#include "hidlink/UsbIdsInPath.h"
#include "hidlink/sim/SimulatedBus.h"
#include "window/headless/HeadlessWindow.h"

namespace {

using hidlink::HiddAttributes;

// --- identity rules -------------------------------------------------------------------------

struct RuleCase {
    std::uint16_t vendor;
    std::uint16_t product;
    bool servodiag;
    bool ampflash;
    bool wheelflash;
};

void PrintTo(const RuleCase& c, std::ostream* os) {
    *os << std::hex << c.vendor << ':' << c.product;
}

class IdentityRuleTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(IdentityRuleTest, EachProgramAcceptsItsOwnDevices) {
    const RuleCase& c = GetParam();
    HiddAttributes a;
    a.VendorID = c.vendor;
    a.ProductID = c.product;
    EXPECT_EQ(hidlink::ServodiagAccepts(a), c.servodiag);
    EXPECT_EQ(hidlink::AmpflashAccepts(a), c.ampflash);
    EXPECT_EQ(hidlink::WheelflashAccepts(a), c.wheelflash);
}

INSTANTIATE_TEST_SUITE_P(Table, IdentityRuleTest,
                         ::testing::Values(RuleCase{0x1D47, 0x1020, true, false, false},
                                           RuleCase{0x1D47, 0x2233, true, true, true},
                                           RuleCase{0x1D47, 0x2232, true, false, false},
                                           RuleCase{0x1D47, 0xB02E, false, false, true},
                                           RuleCase{0x1234, 0x2233, false, true, false},
                                           RuleCase{0x1234, 0x1020, false, false, false},
                                           RuleCase{0x1234, 0xB02E, false, false, false},
                                           RuleCase{0x0000, 0x0000, false, false, false}),
                         [](const auto& info) {
                             char name[32];
                             std::snprintf(name, sizeof name, "vid%04X_pid%04X", info.param.vendor,
                                           info.param.product);
                             return std::string(name);
                         });

// --- DecodeHidString ------------------------------------------------------------------------

struct DecodeCase {
    std::vector<std::uint8_t> bytes;
    std::string text;  // UTF-8
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class DecodeHidStringTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeHidStringTest, TakesTheLowByteAsAnAnsiCode) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus{clock};
    std::array<std::uint8_t, hidlink::kStringBufferSize> buffer{};
    std::copy(GetParam().bytes.begin(), GetParam().bytes.end(), buffer.begin());
    EXPECT_EQ(hidlink::DecodeHidString(buffer.data(), bus), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DecodeHidStringTest,
    ::testing::Values(DecodeCase{{0x41, 0, 0x62, 0, 0x63, 0, 0, 0}, "Abc"},
                      DecodeCase{{0x41, 0, 0x00, 0x01, 0x42, 0}, "A"},  // 0x0100 ends the text
                      DecodeCase{{0xE9, 0x00}, "\xC3\xA9"},             // é
                      DecodeCase{{0xAC, 0x20}, "\xC2\xAC"},      // U+20AC gives code 0xAC: ¬
                      DecodeCase{{0x80, 0x00}, "\xE2\x82\xAC"},  // code 0x80 is the euro sign
                      DecodeCase{{}, ""}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(DecodeHidString, FiftyCharactersWithoutTerminatorStopAtByteHundred) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus{clock};
    std::array<std::uint8_t, hidlink::kStringBufferSize> buffer{};
    for (int i = 0; i < 100; i += 2)
        buffer[i] = 'x';
    EXPECT_EQ(hidlink::DecodeHidString(buffer.data(), bus), std::string(50, 'x'));
}

// --- FormatVersion --------------------------------------------------------------------------

struct VersionCase {
    std::uint16_t version;
    const char* caption;
};

void PrintTo(const VersionCase& c, std::ostream* os) {
    *os << '"' << c.caption << '"';
}

class FormatVersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(FormatVersionTest, HighByteDecimalLowByteHex) {
    EXPECT_EQ(hidlink::FormatVersion(GetParam().version), GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormatVersionTest,
    ::testing::Values(VersionCase{0x0100, " 1.0"}, VersionCase{0x0105, " 1.5"},
                      VersionCase{0x010A, " 1.A"}, VersionCase{0x0210, " 2.10"},
                      VersionCase{0x00FF, " 0.FF"}, VersionCase{0x0000, " 0.0"},
                      VersionCase{0x8001, " -128.1"}, VersionCase{0xFF00, " -1.0"},
                      VersionCase{0xFFFF, " -1.FF"}),
    [](const auto& info) {
        char name[16];
        std::snprintf(name, sizeof name, "v%04X", info.param.version);
        return std::string(name);
    });

// --- RefreshDeviceInfo ----------------------------------------------------------------------

ui::FormLayout IdentityLayout() {
    ui::FormLayout layout;
    for (const char* name : {"lblManuf", "lblProduct", "lblSerialNumber", "lblVersion"}) {
        ui::ControlSpec c;
        c.name = name;
        c.caption = "old";
        layout.controls.push_back(c);
    }
    return layout;
}

class RefreshDeviceInfoTest : public ::testing::Test {
  protected:
    void Find(const hidlink::DeviceProfile& profile) {
        hidlink::FindTheHid(link, bus, profile);
        bus.ClearCalls();
    }
    // Find, then the device's strings read into the window, as the programs do once it is found.
    void FindAndRefresh(const hidlink::DeviceProfile& profile) {
        Find(profile);
        hidlink::RefreshDeviceInfo(link, bus, profile, window);
    }
    void TearDown() override {
        hidlink::CloseDevice(link, bus);
        EXPECT_EQ(bus.HandleProblems(), std::vector<std::string>{});
    }
    std::vector<std::string> Texts() const {
        return {window.Text("lblManuf"), window.Text("lblProduct"), window.Text("lblSerialNumber"),
                window.Text("lblVersion")};
    }

    sim::VirtualClock clock;
    sim::SimulatedBus bus{clock};
    hidlink::HidLink link;
    ui::HeadlessWindow window{IdentityLayout()};
};

std::string RuleName(hidlink::NoDeviceRule rule) {
    switch (rule) {
        case hidlink::NoDeviceRule::BlankAll:
            return "BlankAll";
        case hidlink::NoDeviceRule::BlankVersionSpace:
            return "BlankVersionSpace";
        case hidlink::NoDeviceRule::LeaveUntouched:
            return "LeaveUntouched";
    }
    return "";
}

struct NoDeviceCase {
    hidlink::NoDeviceRule rule;
    std::vector<std::string> texts;
};

void PrintTo(const NoDeviceCase& c, std::ostream* os) {
    *os << RuleName(c.rule);
}

class NoDeviceRuleTest : public RefreshDeviceInfoTest,
                         public ::testing::WithParamInterface<NoDeviceCase> {};

TEST_P(NoDeviceRuleTest, LabelsFollowTheProgramsRule) {
    const hidlink::DeviceProfile profile{hidlink::ServodiagAccepts, GetParam().rule, 100};
    FindAndRefresh(profile);
    EXPECT_EQ(Texts(), GetParam().texts);
    EXPECT_TRUE(bus.Calls().empty()) << "no string read and no pause without a device";
}

INSTANTIATE_TEST_SUITE_P(
    Table, NoDeviceRuleTest,
    ::testing::Values(NoDeviceCase{hidlink::NoDeviceRule::BlankAll, {"", "", "", ""}},
                      NoDeviceCase{hidlink::NoDeviceRule::BlankVersionSpace, {"", "", "", " "}},
                      NoDeviceCase{hidlink::NoDeviceRule::LeaveUntouched,
                                   {"old", "old", "old", "old"}}),
    [](const auto& info) { return RuleName(info.param.rule); });

TEST_F(RefreshDeviceInfoTest, ReadsThreeStringsOnTheOverlappedHandleWithPauses) {
    const hidlink::DeviceProfile profile{hidlink::ServodiagAccepts, hidlink::NoDeviceRule::BlankAll,
                                         100};
    auto device = testing_devices::Device(0x1D47, 0x1020);
    device->MutableDescription().manufacturer = u"Drivanta GmbH";
    device->MutableDescription().product = u"Wheel";
    bus.AddDevice(device);
    FindAndRefresh(profile);

    EXPECT_EQ(Texts(), (std::vector<std::string>{" Drivanta GmbH", " Wheel", " S1", " 1.5"}));
    std::vector<std::string> names;
    for (const auto& c : bus.Calls()) {
        names.push_back(c.name == "Sleep" ? "Sleep " + std::to_string(c.length) : c.name);
        if (c.name.rfind("HidD_Get", 0) == 0) {
            EXPECT_EQ(c.handle, link.OverlappedHandle);
            EXPECT_EQ(c.length, 100u);
        }
    }
    EXPECT_EQ(names, (std::vector<std::string>{"HidD_GetManufacturerString", "Sleep 100",
                                               "HidD_GetProductString", "Sleep 100",
                                               "HidD_GetSerialNumberString", "Sleep 100"}));
}

TEST_F(RefreshDeviceInfoTest, ShorterSecondStringDoesNotShowTheFirstOnesTail) {
    const hidlink::DeviceProfile profile{hidlink::WheelflashAccepts,
                                         hidlink::NoDeviceRule::LeaveUntouched, 0};
    auto device = testing_devices::Device(0x1D47, 0xB02E);
    device->MutableDescription().manufacturer = u"Manufacturer";
    device->MutableDescription().product = u"Pro";
    bus.AddDevice(device);
    FindAndRefresh(profile);
    EXPECT_EQ(window.Text("lblProduct"), " Pro");
    EXPECT_TRUE(bus.CallsNamed("Sleep").empty()) << "only servodiag pauses";
}

// A string that cannot be read is shown as not read, never as what an earlier device left on the
// label; the version is this device's whatever the strings do.
TEST_F(RefreshDeviceInfoTest, AStringNotReadBlanksItsLabelAndIsKeptAsNotRead) {
    const hidlink::DeviceProfile profile{hidlink::AmpflashAccepts,
                                         hidlink::NoDeviceRule::BlankVersionSpace, 0};
    auto device = testing_devices::Device(0x1D47, 0x2233);
    device->MutableDescription().serialNumber.reset();
    bus.AddDevice(device);
    Find(profile);
    bus.FailNext("HidD_GetManufacturerString");
    hidlink::RefreshDeviceInfo(link, bus, profile, window);
    const std::string version = hidlink::FormatVersion(device->Description().versionNumber);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"", " Thing", "", version}));
    EXPECT_FALSE(link.Strings.manufacturer);
    EXPECT_EQ(link.Strings.product, "Thing");
    EXPECT_FALSE(link.Strings.serial);
    EXPECT_EQ(link.LastResult, 0);
}

// A device Windows will not open is known by the IDs in its path.
TEST(UsbIdsInPathTest, ReadsBothIdsOrNothing) {
    const struct {
        const char* path;
        int vendor;  // -1: nothing
        int product;
    } cases[] = {
        {R"(\\?\hid#vid_1d47&pid_1020#7&2a1b&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})",
         0x1D47, 0x1020},
        {R"(\\?\HID#VID_1D47&PID_2233&MI_00#8&1&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})",
         0x1D47, 0x2233},
        {R"(\\?\hid#vid_1d47#x)", -1, 0},           // no product
        {R"(\\?\hid#vid_1d4g&pid_1020#x)", -1, 0},  // not hex
        {R"(\\?\hid#vid_1d47&pid_10)", -1, 0},      // cut short
        {"/dev/hidraw3", -1, 0},
    };
    for (const auto& c : cases) {
        const auto ids = hidlink::UsbIdsInPath(c.path);
        ASSERT_EQ(ids.has_value(), c.vendor >= 0) << c.path;
        if (ids) {
            EXPECT_EQ(ids->VendorID, c.vendor) << c.path;
            EXPECT_EQ(ids->ProductID, c.product) << c.path;
        }
    }
}

}  // namespace
