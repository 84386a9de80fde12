// What every toolkit relies on in the diagnostics layout: names it can look up, children that
// fit their frame, and the controls the program never shows.
#include "servodiag/Layout.h"

#include <gtest/gtest.h>

#include <set>

namespace servodiag {
namespace {

TEST(LayoutTest, NamesAreUniqueAndFramesComeBeforeTheirChildren) {
    const ui::FormLayout layout = ServodiagLayout();
    std::set<std::string> names;
    for (const ui::ControlSpec& c : layout.controls) {
        EXPECT_TRUE(names.insert(c.name).second) << c.name << " twice";
        if (!c.container.empty()) {
            EXPECT_TRUE(names.count(c.container)) << c.name;
        }
    }
}

TEST(LayoutTest, EveryControlFitsItsContainer) {
    const ui::FormLayout layout = ServodiagLayout();
    for (const ui::ControlSpec& c : layout.controls) {
        if (c.kind == ui::ControlKind::Timer)
            continue;
        const ui::ControlSpec* frame = layout.Find(c.container);
        const int width = frame ? frame->width : layout.clientWidth;
        const int height = frame ? frame->height : layout.clientHeight;
        EXPECT_LE(c.left + c.width, width) << c.name;
        EXPECT_LE(c.top + c.height, height) << c.name;
    }
}

TEST(LayoutTest, HiddenAndDisabledControls) {
    const ui::FormLayout layout = ServodiagLayout();
    for (const char* hidden : {"Label30", "bus_v", "Label31", "sfd_pos", "Command1", "Go"}) {
        EXPECT_FALSE(layout.Find(hidden)->visible) << hidden;
    }
    EXPECT_FALSE(layout.Find("Go")->enabled);
    EXPECT_FALSE(layout.Find("Frame1")->enabled);
    const ui::ControlSpec* timer = layout.Find("Timer");
    EXPECT_EQ(timer->kind, ui::ControlKind::Timer);
    EXPECT_EQ(timer->intervalMs, 200);
    EXPECT_FALSE(timer->enabled);
    for (const ui::ControlSpec& c : layout.controls) {
        if (c.kind == ui::ControlKind::TextField) {
            EXPECT_TRUE(c.enabled) << c.name << ": read-only, not disabled";
            EXPECT_EQ(c.caption, "") << c.name << ": no word that reads as a value";
        }
    }
}

}  // namespace
}  // namespace servodiag
