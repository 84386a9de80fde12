// The image arrives whole or the window says where it stopped.
#include "AmpflashRig.h"

namespace ampflash_test {
namespace {

using ::testing::ElementsAreArray;

class WholeImage : public RigTest<::testing::TestWithParam<std::size_t>> {};

TEST_P(WholeImage, ArrivesInOrderOnceAndTheWindowCloses) {
    const std::size_t size = GetParam();
    const std::size_t records = size / 40;
    AmpflashRig& rig = MakeRig();
    const auto image = ImageBytes(size);
    rig.WriteImage(image);
    rig.Load();
    rig.Click();

    EXPECT_EQ(rig.amplifier->ReceivedImage(), Head(image, records * 40));
    EXPECT_EQ(rig.DataReports().size(), records);
    EXPECT_EQ(rig.amplifier->ResetReports(), 1);
    EXPECT_EQ(rig.amplifier->CurrentMode(), simdevices::Amplifier::Mode::Application);

    // The transfer's fill stops short of the full width: K / (K + 1) of it; emptied after the
    // reset, it is full again with "Update complete".
    const auto widths = rig.FillWidths();
    ASSERT_GE(widths.size(), 3u);
    EXPECT_EQ(widths[widths.size() - 3], static_cast<float>(5055.0 * static_cast<double>(records) /
                                                            static_cast<double>(records + 1)));
    EXPECT_EQ(widths.back(), 5055.0f);
    EXPECT_TRUE(rig.window.IsUnloaded());
}

INSTANTIATE_TEST_SUITE_P(Sizes, WholeImage,
                         ::testing::Values(40, 4000, 4010, 1310640));  // 1, 100, 100, 32,766

struct StopCase {
    const char* name;
    std::size_t records;
    std::size_t refused;  // 1-based record the amplifier refuses
    std::size_t stopsAt;
};

void PrintTo(const StopCase& c, std::ostream* os) {
    *os << c.name;
}

class StoppedTransfer : public RigTest<::testing::TestWithParam<StopCase>> {};

// Nothing more goes out after the stop: no reset report, no discovery; the fill is emptied, the
// file and both handles are closed once, and the window stays open saying where it stopped.
TEST_P(StoppedTransfer, KeepsTheWindowOpenWithTheRecord) {
    const StopCase& c = GetParam();
    AmpflashRig& rig = MakeRig();
    rig.WriteImage(ImageBytes(c.records * 40));
    rig.amplifier->RefuseRecords({c.refused});
    rig.Load();
    const hidlink::HidLink link = rig.form.Link();
    rig.bus.ClearCalls();
    rig.Click();

    EXPECT_EQ(rig.amplifier->ReceivedRecords(), c.stopsAt - 1);
    EXPECT_EQ(rig.amplifier->ResetReports(), 0);
    EXPECT_EQ(rig.DataReports().size(), c.stopsAt);
    EXPECT_TRUE(rig.bus.CallsNamed("SetupDiGetClassDevsA").empty());
    EXPECT_EQ(rig.FillWidths().back(), 0);

    std::vector<hidlink::Handle> closed;
    for (const auto& call : rig.bus.CallsNamed("CloseHandle"))
        closed.push_back(call.handle);
    EXPECT_THAT(closed, ElementsAreArray({link.DeviceHandle, link.OverlappedHandle}));
    EXPECT_THAT(rig.bus.HandleProblems(), ::testing::IsEmpty());  // file closed, timing ended

    EXPECT_FALSE(rig.window.IsUnloaded());
    EXPECT_EQ(rig.Caption(), std::string("Update failed at record ") + std::to_string(c.stopsAt) +
                                 " of " + std::to_string(c.records));
    EXPECT_TRUE(rig.window.Control("btnUpgradeFW").enabled);

    // The amplifier waits in its bootloader: the button starts again, from a new search to the
    // switch report.
    rig.bus.ClearCalls();
    rig.form.btnUpgradeFW_Click();
    const std::vector<sim::Call> calls = rig.bus.Calls();
    const auto search = std::find_if(calls.begin(), calls.end(), [](const sim::Call& call) {
        return call.name == "SetupDiGetClassDevsA";
    });
    const auto report = std::find_if(calls.begin(), calls.end(), [](const sim::Call& call) {
        return call.name == "HidD_SetFeature";
    });
    ASSERT_NE(report, calls.end());
    EXPECT_LT(search, report);
    EXPECT_EQ(report->bytes[3], 0xBB) << "not the switch report";
}

INSTANTIATE_TEST_SUITE_P(Stops, StoppedTransfer,
                         ::testing::Values(StopCase{"ThirdRefused", 10, 3, 3},
                                           StopCase{"FirstRefused", 10, 1, 1},
                                           StopCase{"LastRefused", 10, 10, 10}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ResetCase {
    const char* name;
    void (*spoil)(AmpflashRig& rig);  // makes the reset report fail
};

void PrintTo(const ResetCase& c, std::ostream* os) {
    *os << c.name;
}

class RefusedReset : public RigTest<::testing::TestWithParam<ResetCase>> {};

// The amplifier's bootloader has the amplifier's product ID: after a reset that did not go
// through, waiting for that ID would find the bootloader and close the window as if all was well.
TEST_P(RefusedReset, KeepsTheWindowOpenAndSaysSo) {
    AmpflashRig& rig = MakeRig();
    rig.WriteImage(ImageBytes(4 * 40));
    rig.Load();
    const hidlink::HidLink link = rig.form.Link();
    GetParam().spoil(rig);
    rig.bus.ClearCalls();
    rig.Click();

    EXPECT_EQ(rig.amplifier->ReceivedRecords(), 4u);
    EXPECT_EQ(rig.amplifier->ResetReports(), 0);
    EXPECT_TRUE(rig.bus.CallsNamed("SetupDiGetClassDevsA").empty());
    std::vector<hidlink::Handle> closed;
    for (const auto& call : rig.bus.CallsNamed("CloseHandle"))
        closed.push_back(call.handle);
    EXPECT_THAT(closed, ElementsAreArray({link.DeviceHandle, link.OverlappedHandle}));
    EXPECT_FALSE(rig.window.IsUnloaded());
    EXPECT_EQ(rig.WholeCaption(), "Reset not accepted: unplug and replug the amplifier");
    EXPECT_EQ(rig.Caption(), "Reset not accepted...");
}

INSTANTIATE_TEST_SUITE_P(
    Ways, RefusedReset,
    ::testing::Values(
        // The switch report, four data reports, then the reset.
        ResetCase{"Refused", [](AmpflashRig& rig) { rig.bus.FailNth("HidD_SetFeature", 6); }},
        ResetCase{"AmplifierGoneAfterTheLastRecord",
                  [](AmpflashRig& rig) {
                      rig.window.OnProcessEvents = [&rig](int) {
                          if (rig.amplifier->ReceivedRecords() == 4)
                              rig.amplifier->Unplug();
                      };
                  }}),
    [](const auto& info) { return std::string(info.param.name); });

class Transfer : public RigTest<> {};

TEST_F(Transfer, NeedsADetectedDevice) {
    AmpflashRig& rig = MakeRig({}, false);
    rig.Load();
    EXPECT_FALSE(rig.form.SendFlashData());
    EXPECT_TRUE(rig.bus.CallsNamed("OpenImageFile").empty());
}

}  // namespace
}  // namespace ampflash_test
