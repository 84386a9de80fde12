#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "FakeDevices.h"
#include "hidlink/HidLink.h"
#include "hidlink/sim/SimulatedBus.h"

namespace {

using hidlink::HidLink;
using testing_devices::Device;

const hidlink::DeviceProfile kServodiag{hidlink::ServodiagAccepts, hidlink::NoDeviceRule::BlankAll,
                                        100};

std::vector<std::string> CallNames(const sim::SimulatedBus& bus) {
    std::vector<std::string> names;
    for (const auto& c : bus.Calls())
        names.push_back(c.name);
    return names;
}

class FindTheHidTest : public ::testing::Test {
  protected:
    // The wheel controller alone on the bus, looked for as servodiag does.
    bool FindTheWheel() {
        bus.AddDevice(Device(0x1D47, 0x1020));
        return hidlink::FindTheHid(link, bus, kServodiag);
    }
    void TearDown() override {
        hidlink::CloseDevice(link, bus);
        EXPECT_EQ(bus.HandleProblems(), std::vector<std::string>{});
    }
    sim::VirtualClock clock;
    sim::SimulatedBus bus{clock};
    HidLink link;
};

TEST_F(FindTheHidTest, NoInterfacesExaminesNothingAndStillReleasesTheList) {
    EXPECT_FALSE(hidlink::FindTheHid(link, bus, kServodiag));
    EXPECT_FALSE(link.DeviceDetected);
    EXPECT_TRUE(link.EnumerationEnded);
    EXPECT_EQ(CallNames(bus), (std::vector<std::string>{"HidD_GetHidGuid", "SetupDiGetClassDevsA",
                                                        "SetupDiEnumDeviceInterfaces",
                                                        "SetupDiDestroyDeviceInfoList"}));
    EXPECT_EQ(bus.Calls()[1].flags, 0x12u);
}

TEST_F(FindTheHidTest, FailedListMakesTheFirstEnumerationFail) {
    bus.AddDevice(Device(0x1D47, 0x1020));
    bus.FailNext("SetupDiGetClassDevsA");
    EXPECT_FALSE(hidlink::FindTheHid(link, bus, kServodiag));
    EXPECT_TRUE(bus.CallsNamed("CreateFileA").empty());
}

TEST_F(FindTheHidTest, NonMatchingDeviceIsClosedBeforeTheNextInterfaceIsExamined) {
    bus.AddDevice(Device(0x1234, 0x1020));
    ASSERT_TRUE(FindTheWheel());

    const auto names = CallNames(bus);
    const auto firstClose = std::find(names.begin(), names.end(), "CloseHandle");
    ASSERT_NE(firstClose, names.end());
    const auto secondEnum = std::find(firstClose, names.end(), "SetupDiEnumDeviceInterfaces");
    EXPECT_NE(secondEnum, names.end()) << "the close comes before the next interface";
    EXPECT_EQ(bus.Calls()[firstClose - names.begin()].handle,
              bus.CallsNamed("CreateFileA")[0].result);
    EXPECT_EQ(bus.OpenHandleCount(), 2);
}

TEST_F(FindTheHidTest, FirstMatchWinsAndASecondMatchIsNeverOpened) {
    bus.AddDevice(Device(0x1D47, 0x2233, "first"));
    bus.AddDevice(Device(0x1D47, 0x1020, "second"));
    ASSERT_TRUE(hidlink::FindTheHid(link, bus, kServodiag));
    EXPECT_NE(link.DevicePath.find("first"), std::string::npos);
    for (const auto& open : bus.CallsNamed("CreateFileA")) {
        EXPECT_EQ(open.text.find("second"), std::string::npos);
    }
    EXPECT_EQ(bus.CallsNamed("SetupDiEnumDeviceInterfaces").size(), 1u);
}

TEST_F(FindTheHidTest, OpensPlainThenOverlappedHandleInheritableWithSharedReadWrite) {
    ASSERT_TRUE(FindTheWheel());
    const auto opens = bus.CallsNamed("CreateFileA");
    ASSERT_EQ(opens.size(), 2u);
    EXPECT_EQ(opens[0].flags, 0u);
    EXPECT_EQ(opens[1].flags, hidlink::kFileFlagOverlapped);
    EXPECT_EQ(link.DeviceHandle, opens[0].result);
    EXPECT_EQ(link.OverlappedHandle, opens[1].result);
    EXPECT_EQ(link.HandleSecurity.bInheritHandle, 1);
    EXPECT_EQ(link.HandleSecurity.nLength, bus.SecurityAttributesSize());
    EXPECT_EQ(link.Capabilities.FeatureReportByteLength, 65);
    EXPECT_EQ(link.Attributes.VersionNumber, 0x0105);
    // Capabilities are read between the two opens, and the preparsed data is freed.
    const auto names = CallNames(bus);
    const auto caps = std::find(names.begin(), names.end(), "HidP_GetCaps") - names.begin();
    const auto secondOpen =
        std::find(names.rbegin(), names.rend(), "CreateFileA").base() - names.begin() - 1;
    EXPECT_LT(caps, secondOpen);
    EXPECT_EQ(bus.CallsNamed("HidD_FreePreparsedData").size(), 1u);
}

TEST_F(FindTheHidTest, DetailBufferIsRequiredSizePlusOneWithTheRecordSizeFirst) {
    ASSERT_TRUE(FindTheWheel());
    const auto details = bus.CallsNamed("SetupDiGetDeviceInterfaceDetailA");
    ASSERT_EQ(details.size(), 2u);
    EXPECT_EQ(details[0].length, 0u) << "sizing query without a buffer";
    const std::uint32_t required = static_cast<std::uint32_t>(4 + link.DevicePath.size() + 1);
    EXPECT_EQ(details[1].length, required) << "the fetch passes the required size";
    std::uint32_t cbSize = 0;
    std::memcpy(&cbSize, details[1].bytes.data(), 4);
    EXPECT_EQ(cbSize, bus.DetailDataCbSize());
    EXPECT_EQ(link.DevicePath, R"(\\?\hid#vid_1d47&pid_1020#)");
}

TEST_F(FindTheHidTest, DetailSizeTooSmallForThePathIsPassedOverWithoutWritingPastTheBuffer) {
    bus.AddDevice(Device(0x1D47, 0x1020, "a"));
    bus.AddDevice(Device(0x1D47, 0x1020, "b"));
    bus.OverrideRequiredDetailSize(2);
    ASSERT_TRUE(hidlink::FindTheHid(link, bus, kServodiag));
    EXPECT_NE(link.DevicePath.find("#b"), std::string::npos);
}

TEST_F(FindTheHidTest, InterfaceThatRefusesToOpenIsPassedOver) {
    auto locked = Device(0x1D47, 0x1020, "locked");
    locked->MutableDescription().openable = false;
    bus.AddDevice(locked);
    bus.AddDevice(Device(0x1D47, 0x1020, "open"));
    ASSERT_TRUE(hidlink::FindTheHid(link, bus, kServodiag));
    EXPECT_NE(link.DevicePath.find("open"), std::string::npos);
    EXPECT_EQ(bus.CallsNamed("HidD_GetAttributes")[0].result, 0);
    EXPECT_EQ(bus.CallsNamed("CloseHandle").size(), 0u) << "nothing to close for a failed open";
}

TEST_F(FindTheHidTest, SecondOpenThatFailsStillFindsTheDevice) {
    bus.AddDevice(Device(0x1D47, 0x1020));
    bus.FailNth("CreateFileA", 2);
    ASSERT_TRUE(hidlink::FindTheHid(link, bus, kServodiag));
    EXPECT_EQ(link.OverlappedHandle, hidlink::kInvalidHandleValue);
    EXPECT_EQ(bus.OpenHandleCount(), 1);
}

TEST_F(FindTheHidTest, FailedSearchAfterASuccessLeavesDeviceDetectedFalse) {
    auto device = Device(0x1D47, 0x1020);
    bus.AddDevice(device);
    ASSERT_TRUE(hidlink::FindTheHid(link, bus, kServodiag));
    hidlink::CloseDevice(link, bus);
    device->MutableDescription().present = false;
    EXPECT_FALSE(hidlink::FindTheHid(link, bus, kServodiag));
    EXPECT_FALSE(link.DeviceDetected);
}

TEST_F(FindTheHidTest, CloseDeviceNeverClosesAHandleTwice) {
    ASSERT_TRUE(FindTheWheel());
    hidlink::CloseDevice(link, bus);
    hidlink::CloseDevice(link, bus);
    EXPECT_EQ(bus.CallsNamed("CloseHandle").size(), 2u);
    EXPECT_TRUE(link.DeviceDetected) << "closing does not change DeviceDetected";
}

// Which interfaces are on the bus (vendor, product, whether it opens) and how the search ends.
enum class Opens { Yes, RefusedToUser, HeldElsewhere };
struct OutcomeCase {
    const char* name;
    std::vector<std::tuple<std::uint16_t, std::uint16_t, Opens>> devices;
    hidlink::SearchOutcome expected;
};

void PrintTo(const OutcomeCase& c, std::ostream* out) {
    *out << c.name;
}

class SearchOutcomeTest : public FindTheHidTest,
                          public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(SearchOutcomeTest, TellsNoDeviceFromADeviceThatRefusedThisUser) {
    int tag = 0;
    for (const auto& [vendor, product, opens] : GetParam().devices) {
        auto device = Device(vendor, product, std::to_string(tag++));
        device->MutableDescription().openable = opens == Opens::Yes;
        device->MutableDescription().heldElsewhere = opens == Opens::HeldElsewhere;
        bus.AddDevice(device);
    }
    hidlink::FindTheHid(link, bus, kServodiag);
    EXPECT_EQ(link.LastSearch, GetParam().expected);
    EXPECT_EQ(link.DeviceDetected, GetParam().expected == hidlink::SearchOutcome::Found);
}

using hidlink::SearchOutcome;
INSTANTIATE_TEST_SUITE_P(
    Buses, SearchOutcomeTest,
    ::testing::Values(
        OutcomeCase{"Empty", {}, SearchOutcome::NoDevice},
        OutcomeCase{"OnlyARefusedKeyboard",
                    {{0x1A2C, 0x2124, Opens::RefusedToUser}},
                    SearchOutcome::NoDevice},
        OutcomeCase{"ARefusedWheel",
                    {{0x1D47, 0x1020, Opens::RefusedToUser}},
                    SearchOutcome::AccessRefused},
        OutcomeCase{"ARefusedWheelOfAnotherVendor",
                    {{0x1D48, 0x1020, Opens::RefusedToUser}},
                    SearchOutcome::NoDevice},
        OutcomeCase{"ARefusedWheelThenAnOpenOne",
                    {{0x1D47, 0x1020, Opens::RefusedToUser}, {0x1D47, 0x2233, Opens::Yes}},
                    SearchOutcome::Found},
        OutcomeCase{"AHeldWheel", {{0x1D47, 0x1020, Opens::HeldElsewhere}}, SearchOutcome::InUse},
        OutcomeCase{
            "AHeldKeyboard", {{0x1A2C, 0x2124, Opens::HeldElsewhere}}, SearchOutcome::NoDevice},
        OutcomeCase{
            "AHeldWheelBesideARefusedOne",
            {{0x1D47, 0x1020, Opens::HeldElsewhere}, {0x1D47, 0x2233, Opens::RefusedToUser}},
            SearchOutcome::InUse},
        OutcomeCase{"AnOpenWheel", {{0x1D47, 0x1020, Opens::Yes}}, SearchOutcome::Found}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

// A search with a target finds that device or none: by its port, and by its serial number where
// it reports one; without a port, by its serial number or its path alone. Devices on other ports
// are never opened.
struct TargetCase {
    const char* name;
    hidlink::DeviceTarget target;
    const char* found;   // the tag of the device found, or "" for none
    const char* opened;  // with a port: the only device that may be opened, or "" for none
};

class TargetedSearchTest : public FindTheHidTest,
                           public ::testing::WithParamInterface<TargetCase> {};

TEST_P(TargetedSearchTest, FindsTheTargetAndOpensNothingElseWithAPort) {
    const auto add = [this](const char* tag, const char* port, const char16_t* serial) {
        auto device = Device(0x1D47, 0x2233, tag);
        device->MutableDescription().port = port;
        device->MutableDescription().serialNumber.reset();
        if (serial != nullptr)
            device->MutableDescription().serialNumber = serial;
        bus.AddDevice(device);
    };
    add("a", "1-1", u"S-A");
    add("b", "1-2", u"S-B");
    add("c", "1-3", nullptr);
    add("d", "", u"S-D");
    add("e", "", u"S-D");
    link.Target = GetParam().target;

    const std::string found = GetParam().found;
    ASSERT_EQ(hidlink::FindTheHid(link, bus, kServodiag), !found.empty());
    if (!found.empty()) {
        EXPECT_EQ(link.DevicePath.substr(link.DevicePath.size() - 1), found);
    }
    if (!GetParam().target.port.empty()) {
        for (const auto& open : bus.CallsNamed("CreateFileA")) {
            EXPECT_EQ(open.text.substr(open.text.size() - 1), GetParam().opened) << open.text;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Targets, TargetedSearchTest,
    ::testing::Values(TargetCase{"PortAndSerial", {"1-2", "S-B", ""}, "b", "b"},
                      TargetCase{"PortWhereNoSerialIsReported", {"1-3", "S-C", ""}, "c", "c"},
                      TargetCase{"AnotherSerialOnThePort", {"1-2", "S-X", ""}, "", "b"},
                      TargetCase{"TheSerialOnAnotherPort", {"9-9", "S-A", ""}, "", ""},
                      TargetCase{"SerialWithoutAPort", {"", "S-D", ""}, "d", ""},
                      TargetCase{"ItsOwnPathBeforeTheSameSerial",
                                 {"", "S-D", R"(\\?\hid#vid_1d47&pid_2233#e)"},
                                 "e",
                                 ""},
                      TargetCase{"PathAlone", {"", "", R"(\\?\hid#vid_1d47&pid_2233#a)"}, "a", ""},
                      TargetCase{"NothingThatTellsIt", {"", "S-Z", ""}, "", ""}),
    [](const ::testing::TestParamInfo<TargetCase>& info) { return info.param.name; });
