// The Win32 form's title, tooltips and confirmation question, and the legibility of the values
// it displays.
#include <gtest/gtest.h>
#include <windows.h>

// After windows.h, whose types it uses.
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>

#include "tests/win32_window/SampleFormTest.h"

namespace ui::test {
namespace {

class Win32QuestionTest : public SampleFormTest {
  protected:
    std::wstring ToolTipOf(HWND control) {
        wchar_t text[256] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = window.FormHandle();
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = text;
        SendMessageW(window.ToolTipHandle(), TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
        return text;
    }
};

TEST_F(Win32QuestionTest, TitleIsSetAndReadBackAsUtf8) {
    window.SetTitle("Prüfstand \u2014 no device");
    EXPECT_EQ(WindowText(window.FormHandle()), L"Prüfstand \u2014 no device");
    EXPECT_EQ(window.Title(), "Prüfstand \u2014 no device");
}

TEST_F(Win32QuestionTest, ToolTipsAreAddedChangedAndRemovedPerControl) {
    EXPECT_EQ(window.ToolTipHandle(), nullptr) << "no tooltip window before the first tip";
    window.SetToolTip("Go", "Cannot read image file: Access is denied.");
    window.SetToolTip("Command2", "second");
    ASSERT_NE(window.ToolTipHandle(), nullptr);
    EXPECT_EQ(SendMessageW(window.ToolTipHandle(), TTM_GETTOOLCOUNT, 0, 0), 2);
    EXPECT_EQ(ToolTipOf(H("Go")), L"Cannot read image file: Access is denied.");

    window.SetToolTip("Go", "Überall");
    EXPECT_EQ(SendMessageW(window.ToolTipHandle(), TTM_GETTOOLCOUNT, 0, 0), 2) << "replaced";
    EXPECT_EQ(ToolTipOf(H("Go")), L"Überall");

    window.SetToolTip("Go", "");
    EXPECT_EQ(SendMessageW(window.ToolTipHandle(), TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_EQ(ToolTipOf(H("Command2")), L"second");
}

// The message box as the answering timer found it, and what the user then does in it.
struct SeenBox {
    std::wstring title, text, accept, cancel;
    bool cancelHasFocus = false;  // Return presses the button with the focus
    POINT centre{};
};

POINT CentreOf(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

thread_local std::function<void()> onThreadTimer;

void CALLBACK ThreadTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (onThreadTimer)
        onThreadTimer();
}

HWND OpenMessageBox() {
    HWND box = GetActiveWindow();
    wchar_t className[16] = {};
    GetClassNameW(box, className, 16);
    return std::wstring(className) == L"#32770" ? box : nullptr;
}

struct AnswerCase {
    const char* name;
    void (*answer)(HWND box);
    bool accepted;
};

void PrintTo(const AnswerCase& c, std::ostream* out) {
    *out << c.name;
}

class Win32Confirm : public Win32QuestionTest, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(Win32Confirm, AsksInAMessageBoxWithUpdateAndCancelCancelTheDefault) {
    window.SetTitle("Firmware Update");
    // Off the screen's middle, where a box that placed itself would show.
    SetWindowPos(window.FormHandle(), nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SeenBox seen;
    bool answered = false;
    onThreadTimer = [&] {
        HWND box = OpenMessageBox();
        if (box == nullptr || answered)
            return;
        answered = true;
        seen.title = WindowText(box);
        seen.accept = WindowText(GetDlgItem(box, IDOK));
        seen.cancel = WindowText(GetDlgItem(box, IDCANCEL));
        seen.cancelHasFocus = GetFocus() == GetDlgItem(box, IDCANCEL);
        seen.centre = CentreOf(box);
        GetParam().answer(box);
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, ThreadTimer);

    const bool accepted = window.Confirm("Flash 12,000 bytes into the amplifier?", "Update");

    KillTimer(nullptr, timer);
    onThreadTimer = nullptr;
    ASSERT_TRUE(answered) << "no message box was seen";
    EXPECT_EQ(accepted, GetParam().accepted);
    EXPECT_EQ(seen.title, L"Firmware Update");
    EXPECT_EQ(seen.accept, L"Update");
    EXPECT_EQ(seen.cancel, L"Cancel");
    EXPECT_TRUE(seen.cancelHasFocus);
    const POINT form = CentreOf(window.FormHandle());
    EXPECT_LE(std::abs(seen.centre.x - form.x), 1);
    EXPECT_LE(std::abs(seen.centre.y - form.y), 1);
}

void PressKey(HWND box, WPARAM key) {
    HWND focus = GetFocus();
    PostMessageW(focus != nullptr ? focus : box, WM_KEYDOWN, key, 0);
    PostMessageW(focus != nullptr ? focus : box, WM_KEYUP, key, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Win32Confirm,
    ::testing::Values(
        AnswerCase{"ReturnTakesTheDefault", [](HWND box) { PressKey(box, VK_RETURN); }, false},
        AnswerCase{"EscapeCancels", [](HWND box) { PressKey(box, VK_ESCAPE); }, false},
        AnswerCase{"UpdateClicked",
                   [](HWND box) { PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0); }, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Win32QuestionTest, NoTickRunsWhileTheQuestionIsOpen) {
    window.SetEnabled("Timer", true);  // every 10 ms
    int rounds = 0;
    onThreadTimer = [&] {
        // Several turns of the message box's loop, long enough for the form's timer to come due.
        if (++rounds == 10 && OpenMessageBox() != nullptr)
            PostMessageW(OpenMessageBox(), WM_COMMAND, IDCANCEL, 0);
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, ThreadTimer);
    const int before = handlers.ticks;

    window.Confirm("Go on?", "Update");

    KillTimer(nullptr, timer);
    onThreadTimer = nullptr;
    EXPECT_EQ(handlers.ticks, before);
    window.SetEnabled("Timer", false);
}

// A close (taskkill, the session ending) while the question is open cancels it: the window is
// unloaded once the asking handler has returned, never under it.
TEST_F(Win32QuestionTest, ACloseCancelsTheOpenQuestionAndClosesAfterIt) {
    bool closed = false;
    onThreadTimer = [&] {
        if (OpenMessageBox() == nullptr || closed)
            return;
        closed = true;
        PostMessageW(window.FormHandle(), WM_CLOSE, 0, 0);
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, ThreadTimer);

    const bool accepted = window.Confirm("Go on?", "Update");

    KillTimer(nullptr, timer);
    onThreadTimer = nullptr;
    ASSERT_TRUE(closed) << "no message box was seen";
    EXPECT_FALSE(accepted);
    EXPECT_FALSE(window.IsUnloaded()) << "unloaded under the question";
    window.ProcessEvents();
    EXPECT_TRUE(window.IsUnloaded());
}

// Contrast ratio as the accessibility guidelines define it: 1 to 21.
double Contrast(COLORREF a, COLORREF b) {
    auto luminance = [](COLORREF c) {
        auto channel = [](int v) {
            const double s = v / 255.0;
            return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(GetRValue(c)) + 0.7152 * channel(GetGValue(c)) +
               0.0722 * channel(GetBValue(c));
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A value on each background it may get (E-STOP on green and red) is enabled, read-only and
// drawn with text of at least 4.5:1 against its fill.
TEST_F(Win32QuestionTest, ValuesAreReadOnlyAndLegibleOnEveryBackground) {
    struct Row {
        const char* control;
        ColorRef back;
    };
    const Row rows[] = {{"USBerr", kSystemWindowBackground},
                        {"USBerr", kGreen},
                        {"USBerr", kRed},
                        {"lblManuf", kSystemWindowBackground}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.control);
        HWND control = H(row.control);
        EXPECT_TRUE(IsWindowEnabled(control));
        EXPECT_NE(GetWindowLongW(control, GWL_STYLE) & ES_READONLY, 0);
        window.SetBackColor(row.control, row.back);
        HDC dc = GetDC(control);
        // A read-only edit asks its parent for its colours with WM_CTLCOLORSTATIC.
        SendMessageW(window.FormHandle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(control));
        EXPECT_GE(Contrast(GetTextColor(dc), GetBkColor(dc)), 4.5);
        ReleaseDC(control, dc);
    }
}

}  // namespace
}  // namespace ui::test
