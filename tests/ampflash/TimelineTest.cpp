// When things happen in an upgrade: the six-second count, the pace of the transfer, the reset,
// the probes and the wait for the amplifier, and what the window shows meanwhile.
#include "AmpflashRig.h"

namespace ampflash_test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

class Timeline : public RigTest<> {};

// The platform calls that pace the sequence, as short words.
std::vector<std::string> Trace(const sim::SimulatedBus& bus) {
    std::vector<std::string> out;
    for (const auto& c : bus.Calls()) {
        if (c.name == "Sleep") {
            out.push_back(std::string("sleep ") + std::to_string(c.length));
        } else if (c.name == "HidD_SetFeature") {
            out.push_back(c.bytes[0] == 0x40 ? "data" : c.bytes[3] == 0xBB ? "switch" : "reset");
        } else if (c.name == "SetupDiGetClassDevsA") {
            out.push_back("find");
        } else if (c.name == "CloseHandle") {
            out.push_back("close");
        } else if (c.name == "BeginPreciseTiming" || c.name == "EndPreciseTiming") {
            out.push_back(c.name.substr(0, c.name.find('P')));
        }
    }
    return out;
}

TEST_F(Timeline, FromClickToClose) {
    AmpflashRig& rig = MakeRig();  // comes back 1,500 ms after the reset report
    rig.WriteImage(ImageBytes(2 * 40));
    rig.Load();
    rig.bus.ClearCalls();
    rig.Click();

    std::vector<std::string> expected{"Begin", "switch"};
    for (int i = 0; i < 6; ++i)
        expected.push_back("sleep 1000");
    // The overlapped handle is let go of as the watch starts; the plain one once the amplifier is
    // found back (1,500 ms after the reset), gone from under it.
    for (const char* step : {"sleep 10", "data", "sleep 4", "data", "sleep 4", "sleep 500", "reset",
                             "sleep 500", "close", "find"}) {
        expected.push_back(step);
    }
    for (int i = 0; i < 10; ++i) {
        expected.push_back("sleep 100");
        expected.push_back("find");
    }
    for (const char* step : {"close", "close", "close", "End"})
        expected.push_back(step);
    // "Update complete" stays two seconds, the device already let go of.
    expected.insert(expected.end(), 20, "sleep 100");
    EXPECT_THAT(Trace(rig.bus), ElementsAreArray(expected));
    EXPECT_TRUE(rig.window.IsUnloaded());
}

// An amplifier back before the first look is seen to have restarted by its old handle, and found
// at once: nothing is left open and nothing is waited for.
TEST_F(Timeline, AnAmplifierBackBeforeTheFirstLookIsFoundAtOnce) {
    simdevices::AmplifierOptions options;
    options.returnAfterMs = 200;
    AmpflashRig& rig = MakeRig(options);
    rig.WriteImage(ImageBytes(40));
    rig.Load();
    rig.Click();

    const auto trace = Trace(rig.bus);
    const auto reset = std::find(trace.begin(), trace.end(), "reset");
    ASSERT_NE(reset, trace.end());
    std::vector<std::string> afterReset(std::next(reset), trace.end());
    std::vector<std::string> expected{"sleep 500", "close", "find", "close",
                                      "close",     "close", "End"};
    expected.insert(expected.end(), 20, "sleep 100");  // "Update complete" stays two seconds
    EXPECT_THAT(afterReset, ElementsAreArray(expected));
    EXPECT_EQ(rig.window.Text("lblVersion"), " 2.4");
}

TEST_F(Timeline, SixSecondsCountedInDots) {
    AmpflashRig& rig = MakeRig();
    rig.WriteImage(ImageBytes(40));
    rig.Load();
    std::vector<std::string> captions;
    std::vector<std::int64_t> times;
    rig.window.OnProcessEvents = [&](int count) {
        if (count <= 5) {
            captions.push_back(rig.Caption());
            times.push_back(rig.bus.NowMs());
        }
    };
    const std::int64_t click = rig.bus.NowMs();
    rig.Click();

    EXPECT_THAT(captions,
                ElementsAre("Switching to bootloader....", "Switching to bootloader.....",
                            "Switching to bootloader......", "Switching to bootloader.......",
                            "Switching to bootloader........"));
    EXPECT_THAT(times,
                ElementsAre(click + 1000, click + 2000, click + 3000, click + 4000, click + 5000));
    // The sixth dot goes straight on to the transfer.
    const auto texts = rig.window.EventsFor("btnUpgradeFW");
    const auto sixth = std::find_if(texts.begin(), texts.end(), [](const ui::WindowEvent& e) {
        return e.value == "Switching to bootloader.........";
    });
    ASSERT_NE(sixth, texts.end());
    EXPECT_EQ(std::next(sixth)->value, "Updating firmware...");

    const auto reports = rig.Reports();
    EXPECT_GE(reports[1].timeMs - reports[0].timeMs, 6000);
}

TEST_F(Timeline, FillGrowsAfterEachReportAndIsRepainted) {
    AmpflashRig& rig = MakeRig();
    rig.WriteImage(ImageBytes(4 * 40 + 5));  // RecordCount 5
    rig.Load();
    rig.Click();

    // Shown at zero, k x 5055 / 5 after each report, emptied after the reset, full at the end.
    EXPECT_THAT(rig.FillWidths(), ElementsAre(0, 1011, 2022, 3033, 4044, 0, 5055));
    std::vector<std::string> afterFirstReport;
    const auto& events = rig.window.Events();
    auto it = std::find_if(events.begin(), events.end(), [](const ui::WindowEvent& e) {
        return e.what == "width" && e.control == "Pic" && e.value == "1011";
    });
    ASSERT_NE(it, events.end());
    for (int i = 0; i < 3; ++i, ++it)
        afterFirstReport.push_back(it->what);
    EXPECT_THAT(afterFirstReport, ElementsAre("width", "refresh", "events"));
}

// Once the amplifier is seen gone, each search refreshes the labels (blank while it is away), with
// events processed between searches; the labels show its new version when it is back.
TEST_F(Timeline, LabelsAfterEachDiscoveryAttempt) {
    AmpflashRig& rig = MakeRig();
    rig.WriteImage(ImageBytes(40));
    rig.Load();
    EXPECT_EQ(rig.window.Text("lblVersion"), " 2.3");
    rig.Click();

    std::vector<std::string> afterReset;
    bool resetting = false;
    for (const auto& e : rig.window.Events()) {
        if (e.control == "btnUpgradeFW" && e.value == "Resetting...")
            resetting = true;
        else if (resetting && e.what == "events")
            afterReset.push_back("events");
        else if (resetting && e.what == "text" && e.control == "lblVersion")
            afterReset.push_back(std::string("version") + e.value);
    }
    // Searches from 500 ms after the reset, every 100 ms, until it is back at 1,500 ms.
    std::vector<std::string> expected{"version "};
    for (int i = 0; i < 10; ++i) {
        expected.push_back("events");
        expected.push_back(i < 9 ? "version " : "version 2.4");
    }
    // Then the rounds while "Update complete" is shown.
    expected.insert(expected.end(), updater::kCompleteShownMs / 100, "events");
    EXPECT_THAT(afterReset, ElementsAreArray(expected));
    EXPECT_EQ(rig.window.Text("lblManuf"), " Drivanta");
}

}  // namespace
}  // namespace ampflash_test
