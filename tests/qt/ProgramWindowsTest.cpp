// The three programs on the Qt window: each program's own handlers, run by the real Run() on the
// simulated bus, fill real widgets of the right size; the diagnostics window's timer brings live
// values; and the window's close lets go of every handle exactly once.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <stdexcept>

#include "tests/program_windows/ProgramWindowCases.h"
#include "tests/qt/ProgramOnQt.h"
#include "window/PlatformWindow.h"
#include "window/qt/QtWindow.h"

namespace {

using program_windows::ProgramCase;
using program_windows::ProgramOnQt;
using program_windows::ShownText;

class ProgramWindowOnQt : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(ProgramWindowOnQt, ShowsItsDeviceAtTheLayoutSizeAndClosesEveryHandleOnce) {
    const ProgramCase& program = GetParam();
    ProgramOnQt rig(program);

    const int exitCode = rig.Open([&] {
        const double dpi = rig.window->LogicalDpi();
        EXPECT_EQ(rig.window->Form()->size(),
                  QSize(ui::TwipsToPixels(program.clientWidthTwips, dpi),
                        ui::TwipsToPixels(program.clientHeightTwips, dpi)));
        EXPECT_TRUE(rig.window->Form()->isVisible());
        for (const auto& [control, text] : program.afterLoad)
            EXPECT_EQ(ShownText(*rig.window, control), text) << control;
    });

    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(rig.window->IsUnloaded());
    EXPECT_EQ(rig.handlers.unloads, 1);
    EXPECT_EQ(rig.bus.OpenHandleCount(), 0);
    EXPECT_TRUE(rig.bus.HandleProblems().empty())
        << ::testing::PrintToString(rig.bus.HandleProblems());
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramWindowOnQt,
                         ::testing::ValuesIn(program_windows::ProgramCases()),
                         program_windows::CaseName);

TEST(ServodiagOnQt, TimerTicksShowTheWheelsLiveStatus) {
    ProgramOnQt rig(program_windows::ProgramCaseNamed("servodiag"));

    rig.Open([&] {
        const double dpi = rig.window->LogicalDpi();
        if (dpi == 96) {
            EXPECT_EQ(rig.window->Form()->size(), QSize(540, 953));
        }
        EXPECT_TRUE(rig.window->Form()->findChild<QWidget*>("Frame1")->isEnabled());

        // The clock moves only here, so every tick after the last step reads the same moment.
        rig.clock.Advance(program_windows::kServodiagOpenMs);
        for (int tick = 0; tick < 3; ++tick) {
            rig.clock.Advance(program_windows::kServodiagTimerMs);
            ASSERT_TRUE(rig.WaitForTick()) << "tick " << tick;
        }

        for (const auto& [control, text] : program_windows::ServodiagStatusTexts())
            EXPECT_EQ(ShownText(*rig.window, control), text) << control;
        const std::string degrees = ShownText(*rig.window, "Degrees");
        EXPECT_EQ(degrees, program_windows::ServodiagDegreesAt(rig.bus.NowMs(),
                                                               rig.window->DecimalSeparator()));
        EXPECT_TRUE(QRegularExpression("^-[0-9]+\\D[0-9]+$")
                        .match(QString::fromStdString(degrees))
                        .hasMatch())
            << degrees;
        auto* estop = rig.window->Form()->findChild<QLineEdit*>("estop");
        EXPECT_EQ(estop->palette().color(QPalette::Base), QColor(0, 255, 0));
    });

    EXPECT_GE(rig.handlers.ticks, 3);
    EXPECT_TRUE(rig.bus.HandleProblems().empty())
        << ::testing::PrintToString(rig.bus.HandleProblems());
}

TEST(AmpflashOnQt, TheProgressFillIsHiddenWithItsFullWidthKept) {
    ProgramOnQt rig(program_windows::ProgramCaseNamed("ampflash"));

    rig.Open([&] {
        EXPECT_FALSE(rig.window->Form()->findChild<QWidget*>("Pic")->isVisible());
        EXPECT_TRUE(rig.window->Form()->findChild<QWidget*>("Picture1")->isVisible());
        EXPECT_EQ(static_cast<ampflash::frmMain&>(*rig.form).ProgressFullWidth(), 5055);
    });
}

}  // namespace
