// The headless window's event log is bounded, and what a test reads from it stays right: the
// latest events, in order, with nothing lost before the bound is reached.
#include <gtest/gtest.h>

#include <string>

#include "window/headless/HeadlessWindow.h"

namespace {

ui::FormLayout OneLabel() {
    ui::FormLayout layout;
    layout.controls.push_back(
        ui::MakeControl("Degrees", ui::ControlKind::Label, "", 0, 0, 100, 100));
    return layout;
}

struct LogCase {
    std::size_t texts;        // SetText calls, numbered from 0
    std::size_t kept;         // events the log holds afterwards
    std::size_t firstNumber;  // the number the oldest kept event carries
};

class HeadlessLogTest : public ::testing::TestWithParam<LogCase> {};

TEST_P(HeadlessLogTest, KeepsTheLatestEventsInOrder) {
    constexpr std::size_t kLimit = ui::HeadlessWindow::kEventLogLimit;
    static_assert(kLimit % 2 == 0);
    ui::HeadlessWindow window(OneLabel());
    for (std::size_t i = 0; i < GetParam().texts; ++i)
        window.SetText("Degrees", std::to_string(i));

    const auto& events = window.Events();
    ASSERT_EQ(events.size(), GetParam().kept);
    EXPECT_EQ(events.front().value, std::to_string(GetParam().firstNumber));
    EXPECT_EQ(events.back().value, std::to_string(GetParam().texts - 1));
    for (std::size_t i = 1; i < events.size(); ++i)
        ASSERT_EQ(std::stoul(events[i].value), std::stoul(events[i - 1].value) + 1) << i;
    EXPECT_EQ(window.Text("Degrees"), std::to_string(GetParam().texts - 1));
}

constexpr std::size_t kLimit = ui::HeadlessWindow::kEventLogLimit;

INSTANTIATE_TEST_SUITE_P(Headless, HeadlessLogTest,
                         ::testing::Values(LogCase{1, 1, 0}, LogCase{kLimit, kLimit, 0},
                                           LogCase{kLimit + 1, kLimit / 2 + 1, kLimit / 2},
                                           LogCase{3 * kLimit, kLimit, 2 * kLimit}),
                         [](const auto& info) {
                             return "After" + std::to_string(info.param.texts);
                         });

// Tests read widths back from the log with stod: every width must come back exactly.
TEST(HeadlessLogTest, AWidthReadsBackAsTheSameNumber) {
    ui::HeadlessWindow window(OneLabel());
    const double widths[] = {0, 1011, 5055.0 / 3, 5055.0 * 32766 / 32767, 0.1, 1e-7, 123456789.25};
    for (double width : widths) {
        window.SetWidth("Degrees", width);
        EXPECT_EQ(std::stod(window.Events().back().value), width) << width;
    }
    EXPECT_EQ(window.Events()[1].value, "1011");
}

}  // namespace
