#include <gtest/gtest.h>

#include <algorithm>

#include "WheelflashFixture.h"

namespace wheelflash_test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class UpgradeSequence : public WheelflashFixture {
  protected:
    // A controller that leaves 50 ms after the command and is back `backAfterMs` after it.
    void StartWithControllerBackAfter(std::int64_t backAfterMs,
                                      simdevices::WheelControllerOptions options = {}) {
        options.leaveAfterMs = 50;
        options.returnAfterMs = backAfterMs - 50;
        AddController(options);
        WriteImage(400);
        Load();
    }

    std::vector<sim::Call> Searches() const { return CallsAfterLoadNamed("SetupDiGetClassDevsA"); }
    std::vector<sim::Call> SetFeatures() const { return CallsAfterLoadNamed("HidD_SetFeature"); }
};

TEST_F(UpgradeSequence, CommandGoesOutOnThePlainHandleThenBothHandlesAreReleased) {
    simdevices::WheelControllerOptions options;
    options.reportLength = 41;
    StartWithControllerBackAfter(1500, options);
    const hidlink::Handle plain = form.Link().DeviceHandle;
    const hidlink::Handle overlapped = form.Link().OverlappedHandle;
    std::string captionWhileWaiting;
    bool enabledWhileWaiting = true;
    window.OnProcessPaintEvents = [&](int) {
        captionWhileWaiting = window.Text("Command4");
        enabledWhileWaiting = window.Control("Command4").enabled;
    };
    window.Click("Command4");

    const std::vector<sim::Call> calls = CallsAfterLoad();
    const auto command = std::find_if(calls.begin(), calls.end(), [](const sim::Call& c) {
        return c.name.find("ImageFile") == std::string::npos;
    });
    ASSERT_GE(calls.end() - command, 4);
    EXPECT_EQ(command[0].name, "HidD_SetFeature");
    EXPECT_EQ(command[0].handle, plain);
    EXPECT_EQ(command[0].length, 41u);
    Bytes expected = {0x08, 0xDE, 0xFA, 0xCE};
    expected.resize(41, 0x00);
    EXPECT_EQ(command[0].bytes, expected);
    // The overlapped handle let go of at once; the settle delay; the plain handle asked whether
    // the controller left, and let go of only once the controller is found back, gone from under
    // it.
    const auto name = [](const sim::Call& c) {
        return c.name + " " + std::to_string(c.name == "Sleep" ? c.length : c.handle);
    };
    EXPECT_EQ(name(command[1]), "CloseHandle " + std::to_string(overlapped));
    EXPECT_EQ(name(command[2]), "Sleep 500");
    EXPECT_EQ(name(command[3]), "HidD_GetAttributes " + std::to_string(plain));
    const auto close = std::find_if(command + 2, calls.end(),
                                    [](const sim::Call& c) { return c.name == "CloseHandle"; });
    ASSERT_NE(close, calls.end());
    EXPECT_EQ(name(*close), "CloseHandle " + std::to_string(plain));
    EXPECT_TRUE(std::any_of(command, close, [](const sim::Call& c) {
        return c.name == "SetupDiGetClassDevsA";
    })) << "found back before the old handle is let go of";
    EXPECT_EQ(captionWhileWaiting, "Please wait...");
    EXPECT_FALSE(enabledWhileWaiting);
    EXPECT_TRUE(window.IsUnloaded());
    EXPECT_TRUE(bus.HandleProblems().empty());
}

// Back between the second and third search: three searches 500 ms apart, the first 500 ms after
// the command, and no record before the third; the window is repainted after each search.
TEST_F(UpgradeSequence, ControllerBackOnTheThirdSearchGetsItsFirstRecordAfter1500Ms) {
    StartWithControllerBackAfter(1450);
    window.Click("Command4");

    const std::int64_t commandAt = SetFeatures().front().timeMs;
    const std::vector<sim::Call> searches = Searches();
    ASSERT_EQ(searches.size(), 3u);
    for (std::size_t i = 0; i < searches.size(); ++i)
        EXPECT_EQ(searches[i].timeMs - commandAt, 500 * static_cast<std::int64_t>(i + 1));
    EXPECT_GE(SetFeatures()[1].timeMs - commandAt, 1500);
    EXPECT_EQ(window.PaintEventsCount(), 3);
    EXPECT_EQ(controller->ReceivedRecords(), 10u);
}

class CommandWrite : public UpgradeSequence, public ::testing::WithParamInterface<bool> {};

// Whether or not the command write succeeds, the same release, delay and first search follow.
// After a failed write the controller never left its normal mode: it refuses the image, and the
// window says so instead of closing.
TEST_P(CommandWrite, IsFollowedByTheSameDelayAndSearch) {
    const bool fails = GetParam();
    StartWithControllerBackAfter(1500);
    if (fails)
        bus.FailNext("HidD_SetFeature");
    window.Click("Command4");

    const std::vector<sim::Call> calls = CallsAfterLoad();
    const auto command = std::find_if(
        calls.begin(), calls.end(), [](const sim::Call& c) { return c.name == "HidD_SetFeature"; });
    ASSERT_GE(calls.end() - command, 4);
    EXPECT_EQ(command[0].result, fails ? 0 : 1);
    EXPECT_EQ(command[1].name, "CloseHandle");  // the overlapped one; the plain one is watched
    EXPECT_EQ(command[2].name + " " + std::to_string(command[2].length), "Sleep 500");
    EXPECT_EQ(Searches().front().timeMs - command[0].timeMs, 500);

    EXPECT_EQ(window.IsUnloaded(), !fails);
    if (fails) {
        // A refused command is not waited on: the controller is taken as found. It stayed in
        // its normal mode, refuses the first record, and the transfer stops there.
        EXPECT_EQ(window.Control("Command2").toolTip,
                  "Controller did not restart into receiving an image: the update was not started");
        EXPECT_EQ(bus.CallsNamed("HidD_SetFeature").size(), 2u);  // the command, one record
    }
    EXPECT_TRUE(bus.HandleProblems(false).empty());
}

INSTANTIATE_TEST_SUITE_P(FailsOrNot, CommandWrite, ::testing::Bool());

struct LengthCase {
    std::uint16_t before;
    std::uint16_t after;
};
void PrintTo(const LengthCase& c, std::ostream* os) {
    *os << c.before << " then " << c.after;
}

class ReturnedLength : public UpgradeSequence, public ::testing::WithParamInterface<LengthCase> {};

// The command takes the length of the device as loaded, the data reports that of the device as
// it came back.
TEST_P(ReturnedLength, DataReportsTakeTheNewLength) {
    simdevices::WheelControllerOptions options;
    options.reportLength = GetParam().before;
    options.imageModeReportLength = GetParam().after;
    StartWithControllerBackAfter(1500, options);
    window.Click("Command4");

    const std::vector<sim::Call> reports = SetFeatures();
    ASSERT_EQ(reports.size(), 11u);
    EXPECT_EQ(reports[0].length, GetParam().before);
    for (std::size_t k = 1; k < reports.size(); ++k) {
        EXPECT_EQ(reports[k].length, GetParam().after);
        EXPECT_EQ(reports[k].bytes.size(), GetParam().after);
    }
    EXPECT_EQ(controller->ReceivedRecords(), 10u);
    EXPECT_TRUE(window.IsUnloaded());
}

INSTANTIATE_TEST_SUITE_P(Lengths, ReturnedLength,
                         ::testing::Values(LengthCase{64, 41}, LengthCase{41, 64},
                                           LengthCase{64, 65}));

TEST_F(UpgradeSequence, AControllerBackWithTooShortReportsGetsNoRecord) {
    simdevices::WheelControllerOptions options;
    options.imageModeReportLength = 40;
    StartWithControllerBackAfter(1500, options);
    window.Click("Command4");

    EXPECT_EQ(SetFeatures().size(), 1u);  // the command only
    EXPECT_EQ(window.Text("Command2"), "Device report length not supported");
    EXPECT_FALSE(window.IsUnloaded());
    EXPECT_TRUE(bus.HandleProblems().empty());
}

// The returned controller's capabilities cannot be read: the length it had before must not stand
// in for the one it has now, whichever way that differs.
class UnreadableCapabilities : public UpgradeSequence,
                               public ::testing::WithParamInterface<std::uint16_t> {};

TEST_P(UnreadableCapabilities, SendNothingAndSaySo) {
    simdevices::WheelControllerOptions options;
    options.imageModeReportLength = GetParam();
    StartWithControllerBackAfter(1500, options);
    bus.FailNth("HidP_GetCaps", 1);  // the search that finds the returned controller
    window.Click("Command4");

    EXPECT_EQ(SetFeatures().size(), 1u);  // the command only
    EXPECT_TRUE(controller->ReceivedImage().empty());
    EXPECT_EQ(window.Text("Command2"), "Device report length not supported");
    EXPECT_FALSE(window.IsUnloaded());
    EXPECT_TRUE(bus.HandleProblems().empty());
}

INSTANTIATE_TEST_SUITE_P(NewLengths, UnreadableCapabilities, ::testing::Values(40, 65));

struct WaitCase {
    std::int64_t backAfterMs;
    bool transferred;
};
void PrintTo(const WaitCase& c, std::ostream* os) {
    *os << "back after " << c.backAfterMs << " ms";
}

class WaitBound : public UpgradeSequence, public ::testing::WithParamInterface<WaitCase> {};

// Sixty searches over 30 s: a controller back in time for the last one is updated; one that is
// later is given up, the window saying so and waiting to be closed.
TEST_P(WaitBound, SixtySearchesThenTheWindowSaysTheDeviceDidNotComeBack) {
    StartWithControllerBackAfter(GetParam().backAfterMs);
    window.Click("Command4");

    const std::vector<sim::Call> searches = Searches();
    ASSERT_EQ(searches.size(), 60u);
    EXPECT_EQ(searches.back().timeMs - SetFeatures().front().timeMs, 30000);
    EXPECT_EQ(window.PaintEventsCount(), 60);
    if (GetParam().transferred) {
        EXPECT_EQ(controller->ReceivedRecords(), 10u);
        EXPECT_TRUE(window.IsUnloaded());
        EXPECT_TRUE(bus.HandleProblems().empty());
        return;
    }
    EXPECT_EQ(SetFeatures().size(), 1u);
    EXPECT_EQ(window.Text("Command4"), "Device did not come back");
    // Either button starts again.
    EXPECT_TRUE(window.Control("Command4").enabled);
    EXPECT_TRUE(window.Control("Command2").enabled);
    EXPECT_FALSE(window.IsUnloaded());
    EXPECT_EQ(bus.OpenHandleCount(), 0);

    EXPECT_TRUE(window.RequestClose());
    EXPECT_TRUE(bus.HandleProblems().empty());
}

INSTANTIATE_TEST_SUITE_P(Boundary, WaitBound,
                         ::testing::Values(WaitCase{30000, true}, WaitCase{30001, false},
                                           WaitCase{600000, false}));

}  // namespace
}  // namespace wheelflash_test
