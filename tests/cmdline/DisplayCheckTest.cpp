// Whether a Linux program can open its window, decided before Qt would abort for want of one.
#include "window/qt/DisplayCheck.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>

namespace ui::qt {
namespace {

struct DisplayCase {
    const char* what;
    std::map<std::string, std::string> environment;
    bool available;
};

std::ostream& operator<<(std::ostream& out, const DisplayCase& c) {
    return out << c.what;
}

class DisplayCheckTest : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(DisplayCheckTest, SaysWhetherAWindowCanOpen) {
    const auto& env = GetParam().environment;
    EXPECT_EQ(DisplayAvailable([&](const char* name) -> std::optional<std::string> {
                  auto it = env.find(name);
                  if (it == env.end())
                      return std::nullopt;
                  return it->second;
              }),
              GetParam().available);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, DisplayCheckTest,
    ::testing::Values(
        DisplayCase{"nothing set", {}, false}, DisplayCase{"X", {{"DISPLAY", ":0"}}, true},
        DisplayCase{"Wayland", {{"WAYLAND_DISPLAY", "wayland-0"}}, true},
        DisplayCase{"empty DISPLAY", {{"DISPLAY", ""}}, false},
        DisplayCase{"offscreen", {{"QT_QPA_PLATFORM", "offscreen"}}, true},
        DisplayCase{"with options", {{"QT_QPA_PLATFORM", "vnc:size=800x600"}}, true},
        DisplayCase{"a list ending standalone", {{"QT_QPA_PLATFORM", "xcb;minimal"}}, true},
        DisplayCase{"xcb without X", {{"QT_QPA_PLATFORM", "xcb"}}, false},
        DisplayCase{"wayland without a compositor", {{"QT_QPA_PLATFORM", "wayland;xcb"}}, false}));

}  // namespace
}  // namespace ui::qt
