// Every window as a screen reader meets it: each value control is named, and named by the caption
// that stands before it on its row, which also comes before it in creation order (what Win32's
// accessibility reads); every frame is named; every button's access key is its own.
#include <gtest/gtest.h>

#include <cctype>
#include <set>

#include "ampflash/Layout.h"
#include "servodiag/Layout.h"
#include "wheelflash/Layout.h"
#include "window/Accessibility.h"
#include "window/headless/HeadlessWindow.h"

namespace {

struct LayoutCase {
    const char* program;
    ui::FormLayout (*layout)();
};

// The label to the left of `control` on its row, in its frame, or null: its caption.
const ui::ControlSpec* CaptionBeside(const ui::FormLayout& layout, const ui::ControlSpec& control) {
    const ui::ControlSpec* nearest = nullptr;
    for (const auto& c : layout.controls) {
        const bool sameRow = c.top < control.top + control.height && control.top < c.top + c.height;
        if (c.kind == ui::ControlKind::Label && !c.caption.empty() &&
            c.container == control.container && sameRow && c.left + c.width <= control.left + 60 &&
            (nearest == nullptr || c.left > nearest->left)) {
            nearest = &c;
        }
    }
    return nearest;
}

std::size_t IndexOf(const ui::FormLayout& layout, const std::string& name) {
    for (std::size_t i = 0; i < layout.controls.size(); ++i) {
        if (layout.controls[i].name == name)
            return i;
    }
    return layout.controls.size();
}

class LayoutAccessibility : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutAccessibility, EveryValueControlIsNamedByItsCaption) {
    const ui::FormLayout layout = GetParam().layout();
    const ui::HeadlessWindow window(layout);
    for (const auto& spec : layout.controls) {
        if (!ui::ShowsValue(spec) && spec.kind != ui::ControlKind::Frame)
            continue;
        const std::string& name = window.Control(spec.name).accessibleName;
        EXPECT_FALSE(name.empty()) << spec.name << " has no name";
        // A control that stands in another's place (the chooser, in the product's) is named as
        // the layout says; every other is named by the caption beside it.
        const ui::ControlSpec* caption = CaptionBeside(layout, spec);
        if (caption == nullptr || !spec.accessibleName.empty())
            continue;
        EXPECT_NE(name.find(caption->caption), std::string::npos)
            << spec.name << " is named \"" << name << "\", not by \"" << caption->caption << "\"";
        EXPECT_LT(IndexOf(layout, caption->name), IndexOf(layout, spec.name))
            << spec.name << " comes before its caption " << caption->name;
    }
}

TEST_P(LayoutAccessibility, EveryButtonHasAnAccessKeyOfItsOwnInItsCaption) {
    const ui::FormLayout layout = GetParam().layout();
    std::set<int> keys;
    for (const auto& spec : layout.controls) {
        if (spec.kind != ui::ControlKind::Button)
            continue;
        const int key = std::toupper(static_cast<unsigned char>(spec.accessKey));
        EXPECT_NE(ui::MnemonicCaption(spec.caption, spec.accessKey).find('&'), std::string::npos)
            << spec.name << ": no access key in \"" << spec.caption << "\"";
        EXPECT_TRUE(keys.insert(key).second) << spec.name << " shares its key " << char(key);
    }
}

TEST(ProgressAnnouncement, AtMostOncePerSecond) {
    ui::AnnouncementPacing pacing;
    const auto start = ui::AnnouncementPacing::Clock::now();
    EXPECT_TRUE(pacing.Due(start));
    EXPECT_FALSE(pacing.Due(start + std::chrono::milliseconds(999)));
    EXPECT_TRUE(pacing.Due(start + std::chrono::seconds(1)));
}

INSTANTIATE_TEST_SUITE_P(Programs, LayoutAccessibility,
                         ::testing::Values(LayoutCase{"servodiag", servodiag::ServodiagLayout},
                                           LayoutCase{"ampflash", ampflash::AmpflashLayout},
                                           LayoutCase{"wheelflash", wheelflash::WheelflashLayout}),
                         [](const auto& info) { return std::string(info.param.program); });

}  // namespace
