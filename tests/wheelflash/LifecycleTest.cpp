#include <gtest/gtest.h>

#include <filesystem>

#include "WheelflashFixture.h"

namespace wheelflash_test {
namespace {

using Lifecycle = WheelflashFixture;

TEST_F(Lifecycle, LoadShowsTheControllerWithTheFillHiddenAtItsDesignWidth) {
    AddController();
    Load();
    EXPECT_TRUE(form.Link().DeviceDetected);
    EXPECT_EQ(form.ProgressFullWidth(), 5055);
    EXPECT_FALSE(window.Control("Pic").visible);
    EXPECT_EQ(window.Text("lblManuf"), " Drivanta");
    EXPECT_EQ(window.Text("lblVersion"), " 1.5");
    EXPECT_TRUE(window.Control("Command4").enabled);
    EXPECT_TRUE(window.Control("Command2").enabled);
}

TEST_F(Lifecycle, ClosingWhileIdleClosesBothHandlesOnce) {
    AddController();
    Load();
    EXPECT_TRUE(window.RequestClose());
    EXPECT_EQ(CallsAfterLoadNamed("CloseHandle").size(), 2u);
    EXPECT_TRUE(bus.HandleProblems().empty());
}

// Another vendor's device with the same product ID is not ours.
TEST_F(Lifecycle, ProductIdWithoutTheVendorIsNoDevice) {
    simdevices::WheelControllerOptions options;
    options.productId = 0x2233;
    sim::DeviceDescription stranger = simdevices::WheelController(options).Description();
    stranger.vendorId = 0x1D48;
    bus.AddDevice(std::make_shared<sim::SimDevice>(stranger));
    Load();
    EXPECT_FALSE(form.Link().DeviceDetected);
    EXPECT_TRUE(bus.HandleProblems().empty());
}

// Without a device the labels keep what they show and neither button does anything: no file is
// looked at (a missing image is not created), nothing is sent, no caption changes.
TEST_F(Lifecycle, WithoutADeviceBothButtonsChangeNothing) {
    Load();
    const std::size_t windowEvents = window.Events().size();
    window.Click("Command4");
    window.Click("Command2");

    EXPECT_TRUE(CallsAfterLoad().empty());
    EXPECT_FALSE(std::filesystem::exists(ImagePath()));
    ASSERT_EQ(window.Events().size(), windowEvents + 2);  // the two clicks themselves
    EXPECT_EQ(window.Text("lblManuf"), "");
    EXPECT_EQ(window.Text("Command4"), "Upgrade Firmware");
    EXPECT_EQ(window.Text("Command2"), "2. Load Firmware");
    EXPECT_TRUE(window.Control("Command4").enabled);
    EXPECT_TRUE(window.Control("Command2").enabled);
    EXPECT_FALSE(window.IsUnloaded());
}

}  // namespace
}  // namespace wheelflash_test
