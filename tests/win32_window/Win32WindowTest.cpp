// What the Win32 form looks like once loaded: size, placement, texts, colours, focus, stacking.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "tests/win32_window/SampleFormTest.h"
#include "window/chart/Contrast.h"
#include "window/win32/Win32Window.h"

namespace ui::test {
namespace {

using win32::Win32Window;

RECT RectInForm(HWND form, HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The colour the control has drawn near its left edge, half way down (inside any border, and
// left of the progress fill that sits inside the track).
COLORREF ColourDrawnIn(HWND control) {
    RECT client;
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    COLORREF c = GetPixel(dc, 2, client.bottom / 2);
    ReleaseDC(control, dc);
    return c;
}

// What a button draws inside its border (and a default button's frame): the colour most of its
// pixels have, its face, and the darkest, the caption's ink.
struct ButtonInk {
    COLORREF face;
    COLORREF darkest;
};

ButtonInk InkIn(HWND button) {
    constexpr int kInset = 4;
    RECT client;
    GetClientRect(button, &client);
    HDC dc = GetDC(button);
    std::map<COLORREF, int> counts;
    ButtonInk ink{0, RGB(255, 255, 255)};
    for (int y = kInset; y < client.bottom - kInset; ++y) {
        for (int x = kInset; x < client.right - kInset; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            if (++counts[c] > counts[ink.face])
                ink.face = c;
            if (RelativeLuminance(c) < RelativeLuminance(ink.darkest))
                ink.darkest = c;
        }
    }
    ReleaseDC(button, dc);
    return ink;
}

class Win32FormTest : public SampleFormTest {
  protected:
    int Px(double twips) const { return TwipsToPixels(twips, window.LogicalDpi()); }
};

TEST_F(Win32FormTest, ClientAreaIsTheLayoutSizeAtTheScreenDpi) {
    RECT client;
    GetClientRect(window.FormHandle(), &client);
    EXPECT_EQ(client.right, Px(8100));
    EXPECT_EQ(client.bottom, Px(9620));
    if (window.LogicalDpi() == 96) {
        EXPECT_EQ(client.right, 540);
        EXPECT_EQ(client.bottom, 641);
    }
}

struct Placement {
    const char* name;
    int left, top, width, height;  // twips from the client area's top left; height -1: 2 pixels
};

// Where the window starts, then on monitors of other scales, as WM_DPICHANGED tells it.
TEST_F(Win32FormTest, ControlsStandWhereTheLayoutPutsThemAtEveryDpi) {
    const Placement table[] = {
        {"Frame1", 60, 60, 4935, 1755},
        {"Label4", 60 + 180, 60 + 300, 1215, 285},  // inside the frame: relative to it
        {"lblManuf", 60 + 1620, 60 + 300, 3300, 285},
        {"USBerr", 6600, 200, 1035, 360},
        {"Line1", 120, 3420, 4800, -1},
        {"Pic", 180, 4060, 5055, 75},
        {"Command2", 120, 5700, 5175, 495},
        {"Device", 120, 6400, 3000, 315},  // closed; its open list reaches further down
    };
    const HWND form = window.FormHandle();
    const FormLayout layout = SampleForm();
    const double points =
        std::ranges::find(layout.controls, "Command2", &ControlSpec::name)->font.points;
    for (const int dpi : {window.LogicalDpi(), 144, 192, 96}) {
        SCOPED_TRACE(dpi);
        if (dpi != window.LogicalDpi()) {
            // As Windows does: the size asked for first, then suggested; the window takes it,
            // so that it never bounces back over a monitor's edge (a form taller than the screen
            // also moves up to the work area's top).
            SIZE size{};
            ASSERT_TRUE(
                SendMessageW(form, WM_GETDPISCALEDSIZE, dpi, reinterpret_cast<LPARAM>(&size)));
            RECT suggested{70, 50, 70 + size.cx, 50 + size.cy};
            SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&suggested));
            RECT frame;
            GetWindowRect(form, &frame);
            EXPECT_EQ(frame.left, suggested.left);
            EXPECT_EQ(frame.right, suggested.right);
            EXPECT_EQ(frame.bottom - frame.top, size.cy);
        }
        ASSERT_EQ(window.LogicalDpi(), dpi);
        RECT client;
        GetClientRect(form, &client);
        EXPECT_GE(client.right, Px(8100));  // wider only where the title needs it
        for (const auto& p : table) {
            SCOPED_TRACE(p.name);
            RECT r = RectInForm(form, H(p.name));
            EXPECT_EQ(r.left, Px(p.left));
            EXPECT_EQ(r.top, Px(p.top));
            EXPECT_EQ(r.right - r.left, Px(p.width));
            EXPECT_EQ(r.bottom - r.top, p.height < 0 ? 2 : Px(p.height));
        }
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(H("Command2"), WM_GETFONT, 0, 0)),
                   sizeof font, &font);
        EXPECT_EQ(font.lfHeight, -std::lround(points * dpi / 72.0));
    }
}

TEST_F(Win32FormTest, TextsGoBothWaysAsUtf8) {
    EXPECT_EQ(WindowText(window.FormHandle()), L"Prüfstand – Drivanta");
    EXPECT_EQ(WindowText(H("Frame1")), L"Device details");
    EXPECT_EQ(WindowText(H("USBerr")), L"17");

    window.SetText("lblManuf", "Ölwerk & Söhne µ°");
    EXPECT_EQ(WindowText(H("lblManuf")), L"Ölwerk & Söhne µ°");
    EXPECT_EQ(window.Text("lblManuf"), "Ölwerk & Söhne µ°");
}

TEST_F(Win32FormTest, InitialStatesFollowTheLayout) {
    EXPECT_TRUE(IsWindowVisible(window.FormHandle()));
    EXPECT_TRUE(IsWindowEnabled(H("USBerr"))) << "read-only, not disabled";
    EXPECT_FALSE(IsWindowVisible(H("Command1")));
    EXPECT_FALSE(IsWindowEnabled(H("Command3")));
    EXPECT_TRUE(IsWindowVisible(H("Pic")));
    EXPECT_EQ(window.Width("Pic"), 5055.0);
}

TEST_F(Win32FormTest, ControlsAreFilledWithTheirBackColour) {
    struct Row {
        const char* control;
        std::optional<ColorRef> set;  // empty: as loaded
        COLORREF expected;
    };
    const Row table[] = {
        {"lblManuf", std::nullopt, GetSysColor(COLOR_WINDOW)},
        {"Pic", std::nullopt, RGB(128, 128, 255)},
        {"Pic", kRed, RGB(255, 0, 0)},
        {"Pic", kGreen, RGB(0, 255, 0)},
        {"lblManuf", kSystemColorFlag | COLOR_HIGHLIGHT, GetSysColor(COLOR_HIGHLIGHT)},
        {"Picture1", std::nullopt, GetSysColor(COLOR_BTNFACE)},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.control);
        if (row.set)
            window.SetBackColor(row.control, *row.set);
        window.Refresh(row.control);
        EXPECT_EQ(ColourDrawnIn(H(row.control)), row.expected);
    }
}

// Disabled buttons are where the programs show their progress: their captions must read as well
// as any text. Enabled ones stay the system's own push buttons.
TEST_F(Win32FormTest, ButtonCaptionsReadAgainstTheirFaceEnabledOrNot) {
    struct Row {
        const char* button;
        std::optional<bool> enable;  // empty: as loaded
        const char* text;            // nullptr: as it was
    };
    const Row table[] = {
        {"Command3", std::nullopt, nullptr},  // disabled in the layout
        {"Go", std::nullopt, nullptr},        {"Go", false, nullptr},
        {"Go", false, "Updating\u2026 45 %"}, {"Go", true, nullptr},
    };
    for (const auto& row : table) {
        if (row.enable)
            window.SetEnabled(row.button, *row.enable);
        if (row.text)
            window.SetText(row.button, row.text);
        window.ProcessEvents();
        SCOPED_TRACE(std::string(row.button) + (IsWindowEnabled(H(row.button)) ? " on " : " off ") +
                     window.Text(row.button));
        const LONG_PTR type = GetWindowLongPtrW(H(row.button), GWL_STYLE) & BS_TYPEMASK;
        if (IsWindowEnabled(H(row.button))) {
            EXPECT_TRUE(type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) << type;
        }
        const ButtonInk ink = InkIn(H(row.button));
        EXPECT_GE(ContrastRatio(ink.face, ink.darkest), kReadableContrast)
            << std::hex << ink.darkest << " on " << ink.face;
    }
}

TEST_F(Win32FormTest, SetWidthKeepsTheLeftEdgeAndRemembersTheExactWidth) {
    const RECT before = RectInForm(window.FormHandle(), H("Pic"));
    for (double twips : {2527.5, 0.0, 101.1, 5055.0}) {
        SCOPED_TRACE(twips);
        window.SetWidth("Pic", twips);
        RECT r = RectInForm(window.FormHandle(), H("Pic"));
        EXPECT_EQ(r.left, before.left);
        EXPECT_EQ(r.top, before.top);
        EXPECT_EQ(r.bottom, before.bottom);
        EXPECT_EQ(r.right - r.left, Px(twips));
        EXPECT_EQ(window.Width("Pic"), twips);
    }
}

TEST_F(Win32FormTest, HidingAFrameHidesWhatItHolds) {
    window.SetVisible("Frame1", false);
    EXPECT_FALSE(IsWindowVisible(H("Label4")));
    window.SetVisible("Label4", true);  // still inside a hidden frame
    EXPECT_FALSE(IsWindowVisible(H("Label4")));
    window.SetVisible("Frame1", true);
    EXPECT_TRUE(IsWindowVisible(H("Label4")));
    EXPECT_TRUE(IsWindowVisible(H("lblManuf")));
}

TEST_F(Win32FormTest, FocusStartsOnTheFirstButtonThatCanTakeIt) {
    EXPECT_EQ(GetFocus(), H("Go"));
    EXPECT_EQ(GetNextDlgTabItem(window.FormHandle(), H("Go"), FALSE), H("Command2"));
}

// Tab goes as the eye reads the form: a chooser above the buttons comes before them, wherever
// the layout lists it.
TEST(Win32TabOrderTest, TabGoesByRowsThenFromTheLeft) {
    FormLayout layout;
    layout.caption = "Tab";
    layout.clientWidth = 6000;
    layout.clientHeight = 3000;
    layout.controls = {MakeControl("Right", ControlKind::Button, "Right", 3000, 1500, 1500, 495),
                       MakeControl("Left", ControlKind::Button, "Left", 120, 1500, 1500, 495),
                       MakeControl("Device", ControlKind::Chooser, "Choose", 120, 600, 3000, 315)};
    Win32Window window(layout);
    LoggingHandlers handlers;
    window.Load(handlers);
    window.Show();
    HWND reached = window.ControlHandle("Device");
    for (const char* next : {"Left", "Right", "Device"}) {
        reached = GetNextDlgTabItem(window.FormHandle(), reached, FALSE);
        EXPECT_EQ(reached, window.ControlHandle(next)) << next;
    }
    window.Unload();
}

TEST_F(Win32FormTest, LaterControlsDrawAboveEarlierOnesAndFramesBeneathTheirContents) {
    struct Row {
        const char* atCentreOf;
        const char* expectedOnTop;
    };
    const Row table[] = {{"Pic", "Pic"}, {"Label4", "Label4"}, {"lblManuf", "lblManuf"}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.atCentreOf);
        RECT r = RectInForm(window.FormHandle(), H(row.atCentreOf));
        POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        EXPECT_EQ(ChildWindowFromPointEx(window.FormHandle(), centre, CWP_ALL),
                  H(row.expectedOnTop));
    }
}

TEST_F(Win32FormTest, CarriesItsOwnIcon) {
    auto icon = reinterpret_cast<HICON>(SendMessageW(window.FormHandle(), WM_GETICON, ICON_BIG, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bm{};
    GetObjectW(info.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, GetSystemMetrics(SM_CXICON));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

// A form taller than the screen's work area scrolls, and Tab brings the control it reaches into
// view; one that fits has no bar and is exactly its layout.
TEST(Win32FormScrollTest, TallFormsScrollAndTabBringsControlsIntoView) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const int workHeight = monitor.rcWork.bottom - monitor.rcWork.top;
    for (const int height : {4800, 15 * (workHeight + 200)}) {  // twips: fits, then not at 96 dpi
        SCOPED_TRACE(height);
        FormLayout layout;
        layout.caption = "Tall";
        layout.clientWidth = 4000;
        layout.clientHeight = height;
        layout.controls = {
            MakeControl("Top", ControlKind::Button, "Top", 120, 120, 1500, 495),
            MakeControl("Foot", ControlKind::Button, "Foot", 120, height - 700, 1500, 495)};
        Win32Window window(layout);
        LoggingHandlers handlers;
        window.Load(handlers);
        window.Show();
        HWND form = window.FormHandle();
        RECT frame, client;
        GetWindowRect(form, &frame);
        GetClientRect(form, &client);
        const bool scrolls = (GetWindowLongPtrW(form, GWL_STYLE) & WS_VSCROLL) != 0;
        EXPECT_EQ(scrolls, height > 4800);
        EXPECT_LE(frame.bottom - frame.top, workHeight);
        if (!scrolls) {
            EXPECT_EQ(client.bottom, TwipsToPixels(height, window.LogicalDpi()));
        }
        for (const char* next : {"Foot", "Top"}) {
            PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
            window.ProcessEvents();
            ASSERT_EQ(GetFocus(), window.ControlHandle(next));
            const RECT r = RectInForm(form, GetFocus());
            EXPECT_TRUE(r.top >= 0 && r.bottom <= client.bottom) << next << " " << r.top;
        }
        window.Unload();
    }
}

}  // namespace
}  // namespace ui::test
