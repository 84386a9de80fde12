// Closing the window, and clicking again, while an upgrade runs; clicking without a device.
#include "AmpflashRig.h"
#include "cmdline/CommandLine.h"

namespace ampflash_test {
namespace {

struct DeferredCase {
    const char* name;
    int atEvents;  // the round of event processing in which the user closes the window
};

void PrintTo(const DeferredCase& c, std::ostream* os) {
    *os << c.name;
}

class DeferredClose : public RigTest<::testing::TestWithParam<DeferredCase>> {};

// A close asked during an update is acknowledged at once and honoured at its end: the amplifier
// gets the whole image and its reset, the window closes once it is back, and the status says
// updated.
TEST_P(DeferredClose, IsAcknowledgedAndWaitsForTheAmplifierBack) {
    AmpflashRig& rig = MakeRig();
    const auto image = ImageBytes(10 * 40);
    rig.WriteImage(image);
    rig.Load();
    const std::string title = rig.window.Title();
    bool closedAtRequest = true;
    std::string titleAfterRequest;
    rig.window.OnProcessEvents = [&](int count) {
        if (count == GetParam().atEvents) {
            closedAtRequest = rig.window.RequestClose();
            titleAfterRequest = rig.window.Title();
        }
    };
    rig.Click();

    EXPECT_FALSE(closedAtRequest);
    EXPECT_EQ(titleAfterRequest, title + updater::kClosingAfterUpdate);
    EXPECT_EQ(rig.amplifier->ReceivedImage(), image);
    EXPECT_EQ(rig.amplifier->ResetReports(), 1);
    EXPECT_EQ(rig.amplifier->CurrentMode(), simdevices::Amplifier::Mode::Application);
    EXPECT_TRUE(rig.window.IsUnloaded());
    EXPECT_EQ(rig.form.ExitStatus(), cmdline::kUpdated);
    EXPECT_EQ(rig.bus.Calls().back().name, "EndPreciseTiming");
}

INSTANTIATE_TEST_SUITE_P(When, DeferredClose,
                         ::testing::Values(DeferredCase{"CountingSeconds", 2},
                                           DeferredCase{"Sending", 5 + 4},
                                           DeferredCase{"WaitingForItsReturn", 5 + 10 + 3}),
                         [](const auto& info) { return std::string(info.param.name); });

class CloseRequest : public RigTest<> {};

// Nothing was updated: the status says so.
TEST_F(CloseRequest, WhileIdleIsNotAnUpdate) {
    AmpflashRig& rig = MakeRig();
    rig.Load();
    EXPECT_TRUE(rig.window.RequestClose());
    EXPECT_EQ(rig.form.ExitStatus(), cmdline::kCancelled);
}

// An amplifier that does not come back within the limit ends the update as failed, the window
// open; once it is back, the button runs the whole update again.
TEST_F(CloseRequest, AnAmplifierNotBackFailsAndTheButtonSearchesAgain) {
    simdevices::AmplifierOptions late;
    late.returnAfterMs = 45 * 1000;
    AmpflashRig& rig = MakeRig(late);
    const auto image = ImageBytes(3 * 40);
    rig.WriteImage(image);
    rig.Load();
    for (int click = 1; click <= 2; ++click) {
        rig.Click();
        ASSERT_FALSE(rig.window.IsUnloaded());
        EXPECT_EQ(rig.WholeCaption(), "Amplifier did not come back: unplug and replug it");
        EXPECT_EQ(rig.form.ExitStatus(), cmdline::kUpdateFailed);
        EXPECT_TRUE(rig.window.Control("btnUpgradeFW").enabled);
        EXPECT_EQ(rig.amplifier->SwitchReports(), click);
        EXPECT_EQ(rig.amplifier->ReceivedImage(), image);
        rig.bus.Sleep(30 * 1000);  // the user replugs it meanwhile
    }
}

TEST_F(CloseRequest, AfterAStoppedTransferClosesEachHandleOnce) {
    AmpflashRig& rig = MakeRig();
    rig.WriteImage(ImageBytes(3 * 40));
    rig.amplifier->RefuseRecords({2});
    rig.Load();
    rig.Click();
    ASSERT_FALSE(rig.window.IsUnloaded());
    EXPECT_TRUE(rig.window.RequestClose());  // TearDown finds no handle closed twice
}

TEST_F(CloseRequest, DeferredUntilATransferStopsThenHonoured) {
    AmpflashRig& rig = MakeRig();
    rig.WriteImage(ImageBytes(6 * 40));
    rig.amplifier->RefuseRecords({4});
    rig.Load();
    rig.window.OnProcessEvents = [&](int count) {
        if (count == 5 + 2) {
            EXPECT_FALSE(rig.window.RequestClose());
        }
    };
    rig.Click();
    EXPECT_EQ(rig.amplifier->ReceivedRecords(), 3u);
    EXPECT_EQ(rig.amplifier->ResetReports(), 0);
    EXPECT_TRUE(rig.window.IsUnloaded());
}

TEST_F(CloseRequest, WhileIdleClosesBothHandles) {
    AmpflashRig& rig = MakeRig();
    rig.Load();
    const hidlink::HidLink link = rig.form.Link();
    rig.bus.ClearCalls();
    EXPECT_TRUE(rig.window.RequestClose());
    std::vector<hidlink::Handle> closed;
    for (const auto& call : rig.bus.CallsNamed("CloseHandle"))
        closed.push_back(call.handle);
    EXPECT_THAT(closed, ::testing::ElementsAre(link.DeviceHandle, link.OverlappedHandle));
}

TEST_F(CloseRequest, SecondClickDuringTheSequenceDoesNothing) {
    AmpflashRig& rig = MakeRig();
    rig.WriteImage(ImageBytes(5 * 40));
    rig.Load();
    std::size_t reportsBefore = 0;
    std::size_t reportsAfter = 0;
    rig.window.OnProcessEvents = [&](int count) {
        if (count == 3 || count == 8) {
            reportsBefore = rig.Reports().size();
            rig.Click();                    // disabled: the window does not deliver it
            rig.form.btnUpgradeFW_Click();  // delivered anyway
            reportsAfter = rig.Reports().size();
            EXPECT_EQ(reportsAfter, reportsBefore);
        }
    };
    rig.Click();
    EXPECT_EQ(rig.amplifier->SwitchReports(), 1);
    EXPECT_EQ(rig.amplifier->ReceivedRecords(), 5u);
    EXPECT_EQ(rig.DataReports().size(), 5u);
}

TEST_F(CloseRequest, ClickWithoutADeviceSearchesAgainAndSaysNoneWasFound) {
    AmpflashRig& rig = MakeRig({}, false);
    rig.WriteImage(ImageBytes(400));
    rig.Load();
    EXPECT_EQ(rig.window.Text("lblVersion"), " ");
    EXPECT_EQ(rig.window.Text("lblManuf"), "");
    const auto eventsBefore = rig.window.Events().size();
    rig.bus.ClearCalls();
    rig.Click();

    EXPECT_EQ(rig.bus.CallsNamed("SetupDiGetClassDevsA").size(), 1u);
    EXPECT_TRUE(rig.Reports().empty());
    EXPECT_GT(rig.window.Events().size(), eventsBefore + 1);
    EXPECT_EQ(rig.Caption(), "Device not found");
    EXPECT_TRUE(rig.window.Control("btnUpgradeFW").enabled);
    EXPECT_FALSE(rig.window.IsUnloaded());
}

}  // namespace
}  // namespace ampflash_test
