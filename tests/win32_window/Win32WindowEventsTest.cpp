// How the Win32 form delivers clicks, ticks and close requests, and how it unloads.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

#include "tests/win32_window/SampleFormTest.h"
#include "window/win32/Win32Window.h"

namespace ui::test {
namespace {

using win32::Win32Window;
using Log = std::vector<std::string>;

// A click as the button itself reports it, queued for the event loop.
void PostClick(HWND button) {
    PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

// Processes events until the condition holds, or gives up after a generous while.
template <class Condition>
bool PumpUntil(Win32Window& window, Condition done) {
    for (int i = 0; i < 2000 && !done(); ++i) {
        window.ProcessEvents();
        Sleep(2);
    }
    return done();
}

// Processes events for a little while (several periods of the 10 ms test timer).
void PumpAWhile(Win32Window& window) {
    for (int i = 0; i < 30; ++i) {
        window.ProcessEvents();
        Sleep(5);
    }
}

using Win32EventsTest = SampleFormTest;

TEST_F(Win32EventsTest, ClicksReachTheHandlerOnlyFromUsableButtons) {
    struct Row {
        const char* button;
        bool delivered;
    };
    const Row table[] = {
        {"Go", true}, {"Command2", true}, {"Command1", false}, {"Command3", false}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.button);
        handlers.log.clear();
        PostClick(H(row.button));
        window.ProcessEvents();
        EXPECT_EQ(handlers.log, row.delivered ? Log{"click " + std::string(row.button)} : Log{});
    }
}

// A pick as the chooser itself reports it once its list has chosen `line`, queued for the loop.
void PostPick(HWND chooser, int line) {
    SendMessageW(chooser, CB_SETCURSEL, line, 0);
    PostMessageW(GetParent(chooser), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(chooser), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(chooser));
}

TEST_F(Win32EventsTest, OnlyTheUsersPickOfAChooserReachesTheHandlerOnce) {
    const std::vector<std::string> lines = {
        "Drivanta v2 Servo Amplifier, serial DV2A-010342, port 1-2", "Wheel", "Bench"};
    const HWND box = H("Device");
    auto up = [box] { PostMessageW(box, WM_KEYDOWN, VK_UP, 0); };
    // Keys as the user presses them one after another.
    auto press = [&](std::vector<WPARAM> keys) {
        for (const WPARAM key : keys) {
            PostMessageW(box, WM_KEYDOWN, key, 0);
            window.ProcessEvents();
        }
    };
    auto inOpenList = [&](std::vector<WPARAM> keys) {
        SetFocus(box);
        SendMessageW(box, CB_SHOWDROPDOWN, TRUE, 0);
        press(std::move(keys));
    };
    struct Row {
        const char* name;
        std::function<void()> act;  // from line 2 chosen by the program
        int choice;
        Log chosen;
    };
    const Row table[] = {
        {"program chooses", [&] { window.SetChoice("Device", 1); }, 1, {}},
        {"program chooses none", [&] { window.SetChoice("Device", -1); }, -1, {}},
        {"program chooses past the end", [&] { window.SetChoice("Device", 3); }, -1, {}},
        {"user moves up by keyboard", up, 1, {"chosen Device 1"}},
        {"user picks in the list", [&] { PostPick(box, 0); }, 0, {"chosen Device 0"}},
        {"user moves through the open list, then Escape",
         [&] {
             inOpenList({VK_UP, VK_UP, VK_ESCAPE});
         },
         2,
         {}},
        {"user moves through the open list, then Enter",
         [&] {
             inOpenList({VK_UP, VK_UP, VK_RETURN});
         },
         0,
         {"chosen Device 0"}},
        {"program refreshes its choice while the user moves through the open list",
         [&] {
             inOpenList({VK_UP, VK_UP});
             // As the device chooser does every refresh: the line it chose, set again if not
             // so. The highlighted line is not chosen yet.
             if (window.Choice("Device") != 2)
                 window.SetChoice("Device", 2);
             EXPECT_EQ(window.Text("Device"), lines[2]);
             press({VK_RETURN});
         },
         0,
         {"chosen Device 0"}},
        {"user picks the line already chosen",
         [&] { inOpenList({VK_RETURN}); },
         2,
         {"chosen Device 2"}},
        {"disabled", [&] { window.SetEnabled("Device", false), PostPick(box, 2); }, 2, {}},
        {"hidden", [&] { window.SetVisible("Device", false), PostPick(box, 2); }, 2, {}},
        {"new lines forget the user's pick",
         [&] { up(), window.ProcessEvents(), window.SetItems("Device", lines); },
         -1,
         {"chosen Device 1"}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        window.SetEnabled("Device", true);
        window.SetVisible("Device", true);
        window.SetItems("Device", lines);
        window.SetChoice("Device", 2);
        handlers.log.clear();
        row.act();
        window.ProcessEvents();
        EXPECT_EQ(window.Choice("Device"), row.choice);
        EXPECT_EQ(window.Text("Device"), row.choice < 0 ? "Choose a device" : lines[row.choice]);
        EXPECT_EQ(handlers.log, row.chosen);
    }
    // The open list is wide enough for the longest line, though the closed box is narrower.
    HDC dc = GetDC(box);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
    SIZE longest{};
    GetTextExtentPoint32A(dc, lines[0].c_str(), static_cast<int>(lines[0].size()), &longest);
    ReleaseDC(box, dc);
    RECT closed{};
    GetWindowRect(box, &closed);
    EXPECT_LT(closed.right - closed.left, longest.cx);
    EXPECT_GT(SendMessageW(box, CB_GETDROPPEDWIDTH, 0, 0), longest.cx);
}

TEST_F(Win32EventsTest, PressingTheButtonClicksIt) {
    SendMessageW(H("Go"), BM_CLICK, 0, 0);
    window.ProcessEvents();
    EXPECT_EQ(handlers.log, (Log{"load", "click Go"}));
}

TEST_F(Win32EventsTest, PaintOnlyProcessingTakesNoInput) {
    PostClick(H("Go"));
    window.ProcessPaintEvents();
    EXPECT_EQ(handlers.log, (Log{"load"}));
    window.ProcessEvents();
    EXPECT_EQ(handlers.log, (Log{"load", "click Go"}));
}

TEST_F(Win32EventsTest, TimerTicksOnlyWhileEnabledAndNeverAfterUnload) {
    PumpAWhile(window);
    EXPECT_EQ(handlers.ticks, 0) << "starts disabled";

    window.SetEnabled("Timer", true);
    EXPECT_TRUE(PumpUntil(window, [&] { return handlers.ticks >= 3; }));

    window.SetEnabled("Timer", false);
    window.ProcessEvents();
    handlers.ticks = 0;
    PumpAWhile(window);
    EXPECT_EQ(handlers.ticks, 0) << "disabled";

    window.SetEnabled("Timer", true);
    EXPECT_TRUE(PumpUntil(window, [&] { return handlers.ticks >= 1; }));
    window.Unload();
    handlers.ticks = 0;
    for (int i = 0; i < 30; ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(5);
    }
    EXPECT_EQ(handlers.ticks, 0) << "unloaded";
}

TEST_F(Win32EventsTest, DeclinedCloseLeavesTheWindowUntilTheProgramUnloadsIt) {
    handlers.agreeToClose = false;
    HWND form = window.FormHandle();
    SendMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(handlers.log, (Log{"load", "query"}));
    EXPECT_FALSE(window.IsUnloaded());
    EXPECT_TRUE(IsWindow(form));

    window.SetText("Go", "Please wait...");
    window.Unload();
    EXPECT_EQ(handlers.log, (Log{"load", "query", "unload"}));
    EXPECT_TRUE(window.IsUnloaded());
    EXPECT_FALSE(IsWindow(form));

    // Gone: later operations change nothing and harm nothing.
    window.SetText("Go", "again");
    window.SetWidth("Pic", 10);
    window.SetEnabled("Timer", true);
    window.ProcessEvents();
    window.Unload();
    EXPECT_EQ(window.Text("Go"), "Please wait...");
    EXPECT_EQ(window.Width("Pic"), 5055.0);
    EXPECT_EQ(handlers.log, (Log{"load", "query", "unload"}));
}

TEST_F(Win32EventsTest, AgreedCloseUnloadsAtOnce) {
    HWND form = window.FormHandle();
    SendMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(handlers.log, (Log{"load", "query", "unload"}));
    EXPECT_TRUE(window.IsUnloaded());
    EXPECT_FALSE(IsWindow(form));
}

// Run() with a click handler that keeps processing events while something unloads the window
// from inside: Form_Terminate must come once, after the handler has returned.
enum class UnloadBy { AgreedClose, TimerTick, HandlerItself };

class Win32NestedUnloadTest : public ::testing::TestWithParam<UnloadBy> {};

TEST_P(Win32NestedUnloadTest, TerminatesOnceAfterTheOutermostHandler) {
    Win32Window window{SampleForm()};
    LoggingHandlers handlers;
    const UnloadBy how = GetParam();
    handlers.onLoad = [&] { PostClick(window.ControlHandle("Go")); };
    handlers.onTick = [&] {
        handlers.log.push_back("tick");
        window.Unload();
    };
    handlers.onClick = [&](const std::string&) {
        if (how == UnloadBy::AgreedClose)
            PostMessageW(window.FormHandle(), WM_CLOSE, 0, 0);
        if (how == UnloadBy::TimerTick)
            window.SetEnabled("Timer", true);
        for (int i = 0; i < 2000 && !window.IsUnloaded(); ++i) {
            window.ProcessEvents();
            if (how == UnloadBy::HandlerItself && i == 3)
                window.Unload();
            Sleep(2);
        }
        window.ProcessEvents();
        handlers.log.push_back(window.IsUnloaded() ? "handler ends unloaded" : "handler ends");
    };

    ASSERT_EQ(window.Run(handlers), 0);

    Log expected{"load", "click Go"};
    if (how == UnloadBy::AgreedClose)
        expected.push_back("query");
    if (how == UnloadBy::TimerTick)
        expected.push_back("tick");
    expected.insert(expected.end(), {"unload", "handler ends unloaded", "terminate"});
    EXPECT_EQ(handlers.log, expected);
}

std::string UnloadByName(const ::testing::TestParamInfo<UnloadBy>& info) {
    switch (info.param) {
        case UnloadBy::AgreedClose:
            return "AgreedClose";
        case UnloadBy::TimerTick:
            return "TimerTick";
        case UnloadBy::HandlerItself:
            return "HandlerItself";
    }
    return "Unknown";
}

INSTANTIATE_TEST_SUITE_P(UnloadFromNestedEvents, Win32NestedUnloadTest,
                         ::testing::Values(UnloadBy::AgreedClose, UnloadBy::TimerTick,
                                           UnloadBy::HandlerItself),
                         UnloadByName);

TEST(Win32Run, UnloadDuringLoadEndsRunAtOnce) {
    Win32Window window{SampleForm()};
    LoggingHandlers handlers;
    handlers.onLoad = [&] { window.Unload(); };
    EXPECT_EQ(window.Run(handlers), 0);
    EXPECT_EQ(handlers.log, (Log{"load", "unload", "terminate"}));
}

TEST(Win32Run, ShowsTheFormAfterLoadAndRunsAgainAfterAnEarlierRun) {
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        Win32Window window{SampleForm()};
        LoggingHandlers handlers;
        bool shownAtClick = false;
        handlers.onLoad = [&] { PostClick(window.ControlHandle("Go")); };
        handlers.onClick = [&](const std::string&) {
            shownAtClick = IsWindowVisible(window.FormHandle()) != FALSE;
            PostMessageW(window.FormHandle(), WM_CLOSE, 0, 0);
        };
        EXPECT_EQ(window.Run(handlers), 0);
        EXPECT_TRUE(shownAtClick);
        EXPECT_EQ(handlers.log, (Log{"load", "click Go", "query", "unload", "terminate"}));
    }
}

}  // namespace
}  // namespace ui::test
