// The three programs on the Win32 window: each program's own handlers, loaded on the simulated
// bus, fill real USER32 controls of the right size; the diagnostics window's WM_TIMER brings live
// values; and the window's close lets go of every handle exactly once.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "tests/program_windows/ProgramWindowCases.h"
#include "window/win32/Win32Window.h"

namespace {

using program_windows::CountingHandlers;
using program_windows::ProgramCase;
using ui::win32::Win32Window;

// Without a button's access-key mark: "&Upgrade Firmware" shows "Upgrade Firmware".
std::string ShownText(const Win32Window& window, const char* control) {
    wchar_t wide[256] = {};
    GetWindowTextW(window.ControlHandle(control), wide, 256);
    std::wstring shown;
    for (const wchar_t* c = wide; *c != 0; ++c) {
        if (*c == L'&' && c[1] != 0)
            ++c;
        shown += *c;
    }
    char utf8[512] = {};
    WideCharToMultiByte(CP_UTF8, 0, shown.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
    return utf8;
}

// One program in its window on the simulated bus, loaded without Run's loop.
struct ProgramOnWin32 {
    explicit ProgramOnWin32(const ProgramCase& program)
        : window(program.layout()), form(program.makeForm(window, bus)), handlers(*form) {
        program.attachDevices(bus);
    }

    void Load() {
        window.Load(handlers);
        window.ProcessEvents();
    }

    // Lets the window's own timer deliver one more tick.
    bool WaitForTick() {
        const int before = handlers.ticks;
        for (int i = 0; i < 2000 && handlers.ticks == before; ++i) {
            window.ProcessEvents();
            Sleep(2);
        }
        return handlers.ticks > before;
    }

    // The user's close, as the title bar's button sends it.
    void Close() { SendMessageW(window.FormHandle(), WM_CLOSE, 0, 0); }

    sim::VirtualClock clock;
    sim::SimulatedBus bus{clock};
    Win32Window window;
    std::unique_ptr<ui::FormHandlers> form;
    CountingHandlers handlers;
};

class ProgramWindowOnWin32 : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(ProgramWindowOnWin32, ShowsItsDeviceAtTheLayoutSizeAndClosesEveryHandleOnce) {
    const ProgramCase& program = GetParam();
    ProgramOnWin32 rig(program);
    rig.Load();
    ASSERT_NE(rig.window.FormHandle(), nullptr) << "no desktop: run under xvfb-run";

    RECT client;
    GetClientRect(rig.window.FormHandle(), &client);
    EXPECT_EQ(client.right, ui::TwipsToPixels(program.clientWidthTwips, rig.window.LogicalDpi()));
    EXPECT_EQ(client.bottom, ui::TwipsToPixels(program.clientHeightTwips, rig.window.LogicalDpi()));
    EXPECT_TRUE(IsWindowVisible(rig.window.FormHandle()));
    for (const auto& [control, text] : program.afterLoad)
        EXPECT_EQ(ShownText(rig.window, control), text) << control;

    rig.Close();
    EXPECT_TRUE(rig.window.IsUnloaded());
    EXPECT_EQ(rig.handlers.unloads, 1);
    EXPECT_EQ(rig.bus.OpenHandleCount(), 0);
    EXPECT_TRUE(rig.bus.HandleProblems().empty())
        << ::testing::PrintToString(rig.bus.HandleProblems());
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramWindowOnWin32,
                         ::testing::ValuesIn(program_windows::ProgramCases()),
                         program_windows::CaseName);

TEST(ServodiagOnWin32, TimerTicksShowTheWheelsLiveStatus) {
    ProgramOnWin32 rig(program_windows::ProgramCaseNamed("servodiag"));
    rig.Load();
    ASSERT_NE(rig.window.FormHandle(), nullptr) << "no desktop: run under xvfb-run";
    if (rig.window.LogicalDpi() == 96) {
        RECT client;
        GetClientRect(rig.window.FormHandle(), &client);
        EXPECT_EQ(client.right, 540);
        EXPECT_EQ(client.bottom, 953);  // the chart below the original 665
    }
    EXPECT_TRUE(IsWindowEnabled(rig.window.ControlHandle("Frame1")));

    // The clock moves only here, so every tick after the last step reads the same moment.
    rig.clock.Advance(program_windows::kServodiagOpenMs);
    for (int tick = 0; tick < 3; ++tick) {
        rig.clock.Advance(program_windows::kServodiagTimerMs);
        ASSERT_TRUE(rig.WaitForTick()) << "tick " << tick;
    }

    for (const auto& [control, text] : program_windows::ServodiagStatusTexts())
        EXPECT_EQ(ShownText(rig.window, control), text) << control;
    const std::string degrees = ShownText(rig.window, "Degrees");
    EXPECT_EQ(degrees,
              program_windows::ServodiagDegreesAt(rig.bus.NowMs(), rig.window.DecimalSeparator()));
    EXPECT_EQ(degrees.front(), '-') << degrees;
    EXPECT_NE(degrees.find(rig.window.DecimalSeparator()), std::string::npos) << degrees;

    rig.Close();
    EXPECT_EQ(rig.handlers.unloads, 1);
    EXPECT_TRUE(rig.bus.HandleProblems().empty())
        << ::testing::PrintToString(rig.bus.HandleProblems());
}

TEST(AmpflashOnWin32, TheProgressFillIsHiddenWithItsFullWidthKept) {
    ProgramOnWin32 rig(program_windows::ProgramCaseNamed("ampflash"));
    rig.Load();
    ASSERT_NE(rig.window.FormHandle(), nullptr) << "no desktop: run under xvfb-run";

    EXPECT_FALSE(IsWindowVisible(rig.window.ControlHandle("Pic")));
    EXPECT_TRUE(IsWindowVisible(rig.window.ControlHandle("Picture1")));
    EXPECT_EQ(static_cast<ampflash::frmMain&>(*rig.form).ProgressFullWidth(), 5055);
    rig.Close();
}

}  // namespace
