// The window as it opens: the controls of the layout and what the load does with them.
#include "AmpflashRig.h"

namespace ampflash_test {
namespace {

class Window : public RigTest<> {};

TEST_F(Window, OpensWithTheAmplifierAndOneButton) {
    AmpflashRig& rig = MakeRig();
    rig.Load();

    EXPECT_TRUE(rig.window.Shown());
    EXPECT_EQ(rig.form.ProgressFullWidth(), 5055);
    EXPECT_FALSE(rig.window.Control("Pic").visible);
    EXPECT_EQ(rig.window.Text("lblManuf"), " Drivanta");
    EXPECT_EQ(rig.window.Text("lblProduct"), " Drivanta v2 Servo Amplifier");
    EXPECT_EQ(rig.window.Text("lblSerialNumber"), " DV2A-010342");
    EXPECT_EQ(rig.window.Text("lblVersion"), " 2.3");

    std::vector<std::string> offered;
    for (const auto& c : rig.window.Layout().controls) {
        const ui::ControlState& state = rig.window.Control(c.name);
        if (c.kind == ui::ControlKind::Button && state.visible && state.enabled)
            offered.push_back(c.name);
    }
    EXPECT_THAT(offered, ::testing::ElementsAre("btnUpgradeFW"));
}

TEST(AmpflashLayout, TitleNamesTheDeviceItUpdates) {
    EXPECT_EQ(ampflash::AmpflashLayout().caption, "Servo Amplifier Firmware Update");
    EXPECT_EQ(ui::SimulatedTwin(ampflash::AmpflashLayout()).caption,
              "Servo Amplifier Firmware Update (simulated)");
}

TEST(AmpflashLayout, FillSitsInsideTheTrack) {
    const ui::FormLayout layout = ampflash::AmpflashLayout();
    const ui::ControlSpec* track = layout.Find("Picture1");
    const ui::ControlSpec* fill = layout.Find("Pic");
    ASSERT_NE(track, nullptr);
    ASSERT_NE(fill, nullptr);
    EXPECT_EQ(fill->left - track->left, 60);
    EXPECT_EQ(fill->top - track->top, 60);
    EXPECT_EQ(track->left + track->width - (fill->left + fill->width), 60);
    EXPECT_EQ(track->top + track->height - (fill->top + fill->height), 60);
    // The eight identity labels and the device chooser belong to the frame, which stays enabled
    // so that the four values can be selected and copied (the serial number above all).
    int inFrame = 0;
    for (const auto& c : layout.controls)
        inFrame += c.container == "Frame1";
    EXPECT_EQ(inFrame, 9);
    EXPECT_TRUE(layout.Find("Frame1")->enabled);
    for (const char* value : {"lblManuf", "lblProduct", "lblVersion", "lblSerialNumber"})
        EXPECT_TRUE(layout.Find(value)->selectable) << value;
}

}  // namespace
}  // namespace ampflash_test
