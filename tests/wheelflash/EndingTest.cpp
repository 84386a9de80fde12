// How an update ends in the window: one consistent end on both buttons, readable over the full
// bar; nothing clicked meanwhile starts anything; a close asked during the update is acknowledged
// at once and honoured at its end; the title names the device.
#include <gtest/gtest.h>

#include "WheelflashFixture.h"
#include "cmdline/CommandLine.h"
#include "wheelflash/Layout.h"

namespace wheelflash_test {
namespace {

struct EndingCase {
    const char* name;
    const char* button;
    bool clickDuringComplete;  // both buttons clicked while "Update complete" is shown
    int closeAtEvents;         // the round of event processing that asks to close; 0: none
};

void PrintTo(const EndingCase& c, std::ostream* os) {
    *os << c.name;
}

class Ending : public WheelflashFixture, public ::testing::WithParamInterface<EndingCase> {};

TEST_P(Ending, IsOneEndAndStartsNothing) {
    const EndingCase& c = GetParam();
    simdevices::WheelControllerOptions options;
    options.startsInImageMode = std::string(c.button) == "Command2";
    AddController(options);
    Load();
    const std::vector<std::uint8_t> image = WriteImage(5 * 40);
    const std::string title = window.Title();
    std::string command4AtComplete;
    bool command2EnabledAtComplete = false;
    double fillAtComplete = 0;
    window.OnProcessEvents = [&](int count) {
        if (count == c.closeAtEvents) {
            EXPECT_FALSE(window.RequestClose());
            EXPECT_EQ(window.Title(), title + updater::kClosingAfterUpdate);
        }
        if (window.Text("Command2").rfind("Update complete", 0) == 0 &&
            command4AtComplete.empty()) {
            command4AtComplete = window.Text("Command4");
            command2EnabledAtComplete = window.Control("Command2").enabled;
            fillAtComplete = window.Width("Pic");
            if (c.clickDuringComplete) {
                window.Click("Command2");
                window.Click("Command4");
            }
        }
    };
    window.Click(c.button);

    EXPECT_TRUE(window.IsUnloaded());
    EXPECT_EQ(controller->ReceivedImage(), image);  // once: no nested second transfer
    EXPECT_EQ(form.ExitStatus(), cmdline::kUpdated);
    if (c.closeAtEvents == 0) {
        EXPECT_EQ(command4AtComplete, "Upgrade Firmware");
        EXPECT_TRUE(command2EnabledAtComplete);  // drawn in the readable, enabled text
        EXPECT_EQ(fillAtComplete, form.ProgressFullWidth());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ends, Ending,
    ::testing::Values(EndingCase{"LoadFirmware", "Command2", false, 0},
                      EndingCase{"UpgradeFirmware", "Command4", false, 0},
                      EndingCase{"ClicksDuringCompleteByLoadFirmware", "Command2", true, 0},
                      EndingCase{"ClicksDuringCompleteByUpgradeFirmware", "Command4", true, 0},
                      EndingCase{"CloseDuringTheTransfer", "Command2", false, 2},
                      EndingCase{"CloseDuringTheTransferOfAnUpgrade", "Command4", false, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Titles, NameTheDeviceTheyUpdate) {
    EXPECT_EQ(wheelflash::WheelflashLayout().caption, "Wheel Controller Firmware Update");
    EXPECT_EQ(ui::SimulatedTwin(wheelflash::WheelflashLayout()).caption,
              "Wheel Controller Firmware Update (simulated)");
}

}  // namespace
}  // namespace wheelflash_test
