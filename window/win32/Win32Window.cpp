#include "window/win32/Win32Window.h"

#include <algorithm>
#include <utility>

#include "window/PlatformWindow.h"
#include "window/console/ConsoleWindow.h"
#include "window/win32/ChartControl.h"
#include "window/win32/ChooserBox.h"
#include "window/win32/ConfirmBox.h"
#include "window/win32/DisabledButton.h"
#include "window/win32/Dpi.h"
#include "window/win32/SystemDllSearch.h"
#include "window/win32/TitleBar.h"
#include "window/win32/Utf16.h"
#include "window/win32/WheelIcon.h"
#include "window/win32/WindowClass.h"

namespace ui {

std::unique_ptr<Window> CreatePlatformWindow(const FormLayout& layout) {
    return std::make_unique<win32::Win32Window>(layout);
}

}  // namespace ui

namespace ui::win32 {

namespace {

constexpr wchar_t kFormClassName[] = L"DrivantaForm";
// A fixed-size window that can be minimised but not resized or maximised.
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;

int ScreenLogicalDpi() {
    // Before the first window: the DLLs its controls bring come from the system directory.
    NarrowDllSearchToSystemDirectory();
    return SystemDpi();
}

}  // namespace

Win32Window::Win32Window(const FormLayout& layout)
    : layout_(layout),
      controls_(layout),
      dpi_(ScreenLogicalDpi()),
      gdi_(dpi_),
      scroller_(kFormStyle, kFormExStyle),
      title_(layout.caption) {}

Win32Window::~Win32Window() {
    if (hwnd_ != nullptr)
        DestroyWindow(hwnd_);
    if (bigIcon_ != nullptr)
        DestroyIcon(bigIcon_);
    if (smallIcon_ != nullptr)
        DestroyIcon(smallIcon_);
}

HWND Win32Window::ControlHandle(const std::string& name) const {
    const FormControl* c = controls_.Find(name);
    return c != nullptr ? c->hwnd : nullptr;
}

FormControl* Win32Window::Live(const std::string& name) {
    return unloaded_ ? nullptr : controls_.Find(name);
}

// --- lifecycle -------------------------------------------------------------------------------

// The form's width, or more where the title needs it (the updaters' forms are narrower than
// "Servo Amplifier Firmware Update (simulated)" in a title bar).
int Win32Window::ClientWidthAt(int dpi) const {
    const int form = TwipsToPixels(layout_.clientWidth, dpi);
    RECT frame{0, 0, form, 0};
    AdjustFrameForDpi(frame, kFormStyle, kFormExStyle, dpi);
    const int frameWidth = frame.right - frame.left - form;
    return std::max(form, TitleBarWidth(ToUtf16(layout_.caption), dpi) - frameWidth);
}

void Win32Window::CreateFormWindow() {
    RegisterWindowClassOnce(kFormClassName, &Win32Window::WindowProc,
                            reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    RECT frame{0, 0, ClientWidth(), TwipsToPixels(layout_.clientHeight, dpi_)};
    AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
    CreateWindowExW(kFormExStyle, kFormClassName, ToUtf16(title_).c_str(),
                    kFormStyle | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                    frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                    GetModuleHandleW(nullptr), this);
    if (hwnd_ == nullptr)
        return;
    // Opened on a monitor of another scale than the main one: laid out for the monitor's.
    if (const int monitorDpi = DpiOfWindow(hwnd_); monitorDpi != dpi_) {
        dpi_ = monitorDpi;
        for (HFONT unused : gdi_.ChangeDpi(dpi_))
            DeleteObject(unused);
    }
    SetIcons();

    contentHeight_ = TwipsToPixels(layout_.clientHeight, dpi_);
    controls_.CreateWindows(hwnd_, dpi_, gdi_);
    scroller_.Fit(hwnd_, ClientWidth(), contentHeight_, dpi_);
    accessibleNames_.Name(layout_, controls_);
    // The focus and the access keys always show, not only once the keyboard has been used.
    SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL),
                 0);
    for (const auto& c : controls_.All()) {
        if (c.spec.kind == ControlKind::Timer)
            StartOrStopTimer(c);
    }
}

void Win32Window::SetIcons() {
    HICON big = CreateWheelIcon(MetricForDpi(SM_CXICON, dpi_), layout_.iconName);
    HICON small = CreateWheelIcon(MetricForDpi(SM_CXSMICON, dpi_), layout_.iconName);
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    // The window no longer uses the icons it had.
    if (bigIcon_ != nullptr)
        DestroyIcon(bigIcon_);
    if (smallIcon_ != nullptr)
        DestroyIcon(smallIcon_);
    bigIcon_ = big;
    smallIcon_ = small;
}

// The window moved to a monitor of another scale (or the scale changed): every size in pixels
// is worked out again from the layout's twips, the fonts are made again for the new DPI, and the
// window keeps the place Windows suggests for it.
void Win32Window::OnDpiChanged(int dpi, const RECT& suggested) {
    const std::vector<HFONT> oldFonts = gdi_.ChangeDpi(dpi);
    dpi_ = dpi;
    contentHeight_ = TwipsToPixels(layout_.clientHeight, dpi_);
    for (auto& c : controls_.All()) {
        if (c.hwnd == nullptr)
            continue;
        HFONT font = gdi_.Font(c.spec.font);
        SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        const RECT r = controls_.PixelRect(c, dpi_);
        MoveWindow(c.hwnd, r.left, r.top - scroller_.Offset(), r.right - r.left, r.bottom - r.top,
                   FALSE);
        if (c.spec.kind == ControlKind::Chooser) {
            FitChooserClosedHeight(c.hwnd, TwipsToPixels(c.spec.height, dpi_));
            SetChooserItems(c.hwnd, c.items, dpi_);
            SetChooserChoice(c.hwnd, c.committedChoice);
        } else if (c.spec.kind == ControlKind::Chart) {
            contentHeight_ -= RescaleChart(c.hwnd, font, r.bottom - r.top);
        }
    }
    for (HFONT unused : oldFonts)
        DeleteObject(unused);
    SetIcons();
    // The suggested rectangle has the size SizeAtDpi gave: taken whole, the window stays on the
    // monitor Windows chose, where a size of its own could take it back over the edge.
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    scroller_.Fit(hwnd_, ClientWidth(), contentHeight_, dpi_);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The window's size at `dpi`, asked before WM_DPICHANGED so that the rectangle it suggests is
// the one the window takes. A form taller than the screen is cut to the height of the monitor it
// is on now: the next one's is not known yet.
bool Win32Window::SizeAtDpi(int dpi, SIZE& size) const {
    if (dpi <= 0 || dpi_ <= 0)
        return false;
    // A folded chart's saving scales with the DPI; the rest is the layout's.
    const int folded = TwipsToPixels(layout_.clientHeight, dpi_) - contentHeight_;
    size = scroller_.FittedSize(
        hwnd_, ClientWidthAt(dpi),
        TwipsToPixels(layout_.clientHeight, dpi) - MulDiv(folded, dpi, dpi_), dpi);
    return true;
}

void Win32Window::Load(FormHandlers& handlers) {
    handlers_ = &handlers;
    CreateFormWindow();
    handlers.Form_Load();
}

int Win32Window::Run(FormHandlers& handlers) {
    looping_ = true;
    Load(handlers);
    // A form is shown once loaded, whether or not Form_Load showed it.
    if (!unloaded_ && hwnd_ != nullptr && !IsWindowVisible(hwnd_))
        Show();
    if (hwnd_ == nullptr && !unloaded_) {
        // No window could be created (no desktop): nothing can ever close it, so end here.
        Unload();
    }
    MSG msg;
    int exitCode = 0;
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0)
        DispatchOne(msg);
    if (got == 0)
        exitCode = static_cast<int>(msg.wParam);
    looping_ = false;
    // The loop ends only on the WM_QUIT of Unload, taken here at the outermost level, so every
    // handler has returned by now.
    handlers.Form_Terminate();
    return exitCode;
}

void Win32Window::Unload() {
    if (unloaded_ || unloading_)
        return;
    unloading_ = true;
    if (handlers_ != nullptr)
        handlers_->Form_Unload();
    unloaded_ = true;
    for (const auto& c : controls_.All()) {
        if (c.spec.kind == ControlKind::Timer && hwnd_ != nullptr)
            KillTimer(hwnd_, c.commandId);
    }
    if (hwnd_ != nullptr)
        DestroyWindow(hwnd_);
    if (looping_)
        PostQuitMessage(0);
}

void Win32Window::Show() {
    if (unloaded_ || hwnd_ == nullptr)
        return;
    ShowWindow(hwnd_, SW_SHOW);
    FocusFirstButton();
    UpdateWindow(hwnd_);
}

void Win32Window::FocusFirstButton() {
    for (const auto& c : controls_.All()) {
        if (c.spec.kind == ControlKind::Button && c.hwnd != nullptr && IsWindowVisible(c.hwnd) &&
            IsWindowEnabled(c.hwnd)) {
            SetFocus(c.hwnd);
            return;
        }
    }
}

// --- control operations ----------------------------------------------------------------------

void Win32Window::SetText(const std::string& control, const std::string& text) {
    FormControl* c = Live(control);
    if (c == nullptr || ShowsText(*c, text))
        return;
    c->text = text;
    if (c->hwnd == nullptr)
        return;
    if (c->spec.kind == ControlKind::Chooser) {
        InvalidateRect(c->hwnd, nullptr, TRUE);  // the caption, drawn while nothing is chosen
    } else {
        SetWindowTextW(c->hwnd, WindowText(c->spec, text).c_str());
    }
    c->changedSinceRefresh = true;
    AccessibleNames::TextChanged(*c);
}

// Setting the same text again would only redraw the control: a status tick sets every field.
// An edit box is compared with what it shows, which the user may have typed over.
bool Win32Window::ShowsText(const FormControl& c, const std::string& text) {
    if (c.text != text)
        return false;
    if (c.spec.kind != ControlKind::TextField || c.hwnd == nullptr)
        return true;
    const std::wstring wanted = ToUtf16(text);
    // Room for one character more than wanted, so that a longer text cannot pass for it.
    std::wstring shown(wanted.size() + 2, L'\0');
    const int length = GetWindowTextW(c.hwnd, shown.data(), static_cast<int>(shown.size()));
    return static_cast<std::size_t>(length) == wanted.size() &&
           shown.compare(0, wanted.size(), wanted) == 0;
}

// A chooser reads as the line chosen; with none, as its caption. Never the line highlighted in
// the open list, which is not chosen until the user picks it.
std::string Win32Window::Text(const std::string& control) const {
    const FormControl* c = controls_.Find(control);
    if (c == nullptr)
        return {};
    if (c->spec.kind == ControlKind::Chooser && c->hwnd != nullptr) {
        const int choice = c->committedChoice;
        if (choice >= 0 && choice < static_cast<int>(c->items.size()))
            return c->items[static_cast<std::size_t>(choice)];
    }
    return c->text;
}

void Win32Window::SetEnabled(const std::string& control, bool enabled) {
    FormControl* c = Live(control);
    if (c == nullptr)
        return;
    c->enabled = enabled;
    if (c->spec.kind == ControlKind::Timer) {
        StartOrStopTimer(*c);
    } else if (c->spec.kind == ControlKind::Button && c->hwnd != nullptr) {
        EnablePushButton(c->hwnd, enabled);
    } else if (c->hwnd != nullptr) {
        EnableWindow(c->hwnd, enabled);
    }
}

void Win32Window::StartOrStopTimer(const FormControl& timer) {
    if (hwnd_ == nullptr)
        return;
    // As with the classic timer control, an interval of 0 never ticks.
    if (timer.enabled && timer.spec.intervalMs > 0) {
        SetTimer(hwnd_, timer.commandId, static_cast<UINT>(timer.spec.intervalMs), nullptr);
    } else {
        KillTimer(hwnd_, timer.commandId);
    }
}

void Win32Window::SetVisible(const std::string& control, bool visible) {
    FormControl* c = Live(control);
    if (c == nullptr)
        return;
    c->visible = visible;
    c->changedSinceRefresh = true;
    controls_.ApplyVisibility(*c);
}

void Win32Window::SetWidth(const std::string& control, double twips) {
    FormControl* c = Live(control);
    if (c == nullptr)
        return;
    const RECT before = controls_.PixelRect(*c, dpi_);
    c->width = twips;
    const RECT r = controls_.PixelRect(*c, dpi_);
    if (c->hwnd == nullptr || EqualRect(&before, &r))
        return;
    MoveWindow(c->hwnd, r.left, r.top - scroller_.Offset(), r.right - r.left, r.bottom - r.top,
               TRUE);
    c->changedSinceRefresh = true;
    accessibleNames_.WidthChanged(*c);
}

double Win32Window::Width(const std::string& control) const {
    const FormControl* c = controls_.Find(control);
    return c != nullptr ? c->width : 0.0;
}

void Win32Window::SetBackColor(const std::string& control, ColorRef color) {
    FormControl* c = Live(control);
    if (c == nullptr || c->backColor == color)
        return;
    c->backColor = color;
    if (c->hwnd != nullptr) {
        InvalidateRect(c->hwnd, nullptr, TRUE);
        c->changedSinceRefresh = true;
    }
}

void Win32Window::Refresh(const std::string& control) {
    FormControl* c = Live(control);
    if (c == nullptr || c->hwnd == nullptr || !c->changedSinceRefresh)
        return;
    RedrawWindow(c->hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    c->changedSinceRefresh = false;
}

void Win32Window::SetTitle(const std::string& title) {
    if (unloaded_)
        return;
    title_ = title;
    if (hwnd_ != nullptr)
        SetWindowTextW(hwnd_, ToUtf16(title).c_str());
}

void Win32Window::SetToolTip(const std::string& control, const std::string& text) {
    FormControl* c = Live(control);
    if (c == nullptr)
        return;
    toolTips_.Set(hwnd_, c->hwnd, ToUtf16(text));
}

// The message box's own loop still delivers this window's WM_TIMER: OnTimer passes them over, so
// nothing changes behind the question.
bool Win32Window::Confirm(const std::string& question, const std::string& acceptCaption) {
    if (unloaded_)
        return false;
    asking_ = true;
    const bool accepted =
        AskToConfirm(hwnd_, ToUtf16(title_), ToUtf16(question), ToUtf16(acceptCaption));
    asking_ = false;
    if (std::exchange(closeAskedDuringQuestion_, false)) {
        // Asked again once the handler that asked has returned, having started nothing.
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        return false;
    }
    return accepted;
}

void Win32Window::SetItems(const std::string& control, const std::vector<std::string>& items) {
    FormControl* c = Live(control);
    if (c == nullptr || c->hwnd == nullptr || c->spec.kind != ControlKind::Chooser)
        return;
    SetChooserItems(c->hwnd, items, dpi_);
    c->items = items;
    c->committedChoice = -1;
    ShowChosenLineWhole(*c);
    c->changedSinceRefresh = true;
}

// The closed box may be narrower than its line (two wheels alike up to their serials): the line
// chosen is whole in the box's tooltip.
void Win32Window::ShowChosenLineWhole(const FormControl& chooser) {
    const int choice = ChooserChoice(chooser.hwnd);
    const bool listed = choice >= 0 && choice < static_cast<int>(chooser.items.size());
    toolTips_.Set(
        hwnd_, chooser.hwnd,
        listed ? ToUtf16(chooser.items[static_cast<std::size_t>(choice)]) : std::wstring());
}

// CB_SETCURSEL sends no CBN_SELCHANGE: the program's own choice never reaches Chosen.
void Win32Window::SetChoice(const std::string& control, int index) {
    FormControl* c = Live(control);
    if (c == nullptr || c->hwnd == nullptr || c->spec.kind != ControlKind::Chooser)
        return;
    SetChooserChoice(c->hwnd, index);
    c->committedChoice = ChooserChoice(c->hwnd);
    ShowChosenLineWhole(*c);
    c->changedSinceRefresh = true;
}

// The line chosen, not CB_GETCURSEL: while the list is open that is the line highlighted, and a
// program comparing it with its own choice would set the choice again and throw away the user's
// moves through the list.
int Win32Window::Choice(const std::string& control) const {
    const FormControl* c = controls_.Find(control);
    if (c == nullptr || c->hwnd == nullptr || c->spec.kind != ControlKind::Chooser)
        return -1;
    return c->committedChoice;
}

std::string Win32Window::DecimalSeparator() const {
    wchar_t buffer[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8) == 0)
        return ".";
    return ToUtf8(buffer);
}

// --- event processing ------------------------------------------------------------------------

void Win32Window::DispatchOne(MSG& msg) {
    // IsDialogMessage gives the form dialog keys: Tab between buttons, Space and Enter to press.
    if (hwnd_ == nullptr || !IsDialogMessageW(hwnd_, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // Tab may have moved the focus below the part of a scrolled form in view.
    HWND focus = GetFocus();
    if (focus != lastFocus_ && hwnd_ != nullptr && IsChild(hwnd_, focus))
        scroller_.Reveal(hwnd_, focus);
    lastFocus_ = focus;
}

void Win32Window::ProcessEvents() {
    MSG msg;
    while (!unloaded_ && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Belongs to the outermost loop: leave it there.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        DispatchOne(msg);
    }
}

void Win32Window::ProcessPaintEvents() {
    MSG msg;
    while (!unloaded_ && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) {
        // Peeking may also return a WM_QUIT, which is not ours to take.
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        DispatchMessageW(&msg);
    }
}

void Win32Window::AddChartSample(const std::string& control, const ChartSample& sample) {
    FormControl* c = Live(control);
    if (c != nullptr && c->hwnd != nullptr && c->spec.kind == ControlKind::Chart)
        win32::AddChartSample(c->hwnd, sample);
}

LRESULT CALLBACK Win32Window::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT Win32Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = hwnd_;
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_TIMER:
            OnTimer();
            return 0;
        case kChartHeightChanged:
            // The chart stands at the form's foot: the form takes its change of height, no other
            // control moves, and the window fits the new height to the screen.
            contentHeight_ += static_cast<int>(lParam);
            scroller_.Fit(hwnd, ClientWidth(), contentHeight_, dpi_);
            return 0;
        case WM_GETDPISCALEDSIZE:
            return SizeAtDpi(static_cast<int>(wParam), *reinterpret_cast<SIZE*>(lParam)) ? TRUE
                                                                                         : FALSE;
        case WM_DPICHANGED:
            if (HIWORD(wParam) > 0)
                OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_VSCROLL:
            scroller_.OnScrollBar(hwnd, wParam);
            return 0;
        case WM_MOUSEWHEEL:
            scroller_.OnWheel(hwnd, wParam);
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_QUERYENDSESSION:
            // An update is never a reason to hold the session: it is logged when the end comes.
            return TRUE;
        case WM_ENDSESSION:
            // Windows may end the process any time after this returns: the attempt is logged
            // first.
            if (wParam != FALSE)
                ProcessEnding("the session ended");
            return 0;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            const FormControl* chooser = controls_.FindByWindow(item.hwndItem);
            if (DrawDisabledPushButton(item) ||
                (chooser != nullptr && DrawChooserItem(item, ToUtf16(chooser->text))))
                return TRUE;
            break;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
            return OnControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                  message, wParam, lParam);
        case WM_ACTIVATE:
            // Give the focus back to the button that had it, as a dialog does.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                // The form is the parent and the focused window the child, as IsChild takes them.
                // NOLINTNEXTLINE(readability-suspicious-call-argument)
                focusBeforeDeactivation_ = IsChild(hwnd, focus) ? focus : nullptr;
            } else if (focusBeforeDeactivation_ != nullptr &&
                       IsChild(hwnd, focusBeforeDeactivation_)) {
                SetFocus(focusBeforeDeactivation_);
                return 0;
            }
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            controls_.ForgetWindows();
            toolTips_.Forget();
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A chooser's notifications come from the user only; the program's CB_SETCURSEL sends none.
// A line is chosen when the choice is made: picked in the open list (with the mouse or Enter,
// CBN_SELENDOK, even the line already chosen, as a pick is in the Qt window), or moved to with
// the arrow keys on the closed box. Moving through the open list chooses nothing, and Escape or a
// click elsewhere (CBN_SELENDCANCEL) puts back the line chosen before.
void Win32Window::OnChooserCommand(FormControl& chooser, int code) {
    const int choice = ChooserChoice(chooser.hwnd);
    bool chosen = false;
    if (code == CBN_SELENDCANCEL) {
        SetChooserChoice(chooser.hwnd, chooser.committedChoice);
    } else if (code == CBN_SELENDOK) {
        chosen =
            choice >= 0 && (ChooserListOpen(chooser.hwnd) || choice != chooser.committedChoice);
    } else if (code == CBN_SELCHANGE) {
        chosen = choice >= 0 && !ChooserListOpen(chooser.hwnd) && choice != chooser.committedChoice;
    } else {
        return;
    }
    ShowChosenLineWhole(chooser);
    if (chosen) {
        chooser.committedChoice = choice;
        handlers_->Chosen(chooser.spec.name, choice);
    }
}

void Win32Window::OnCommand(int id, int code, HWND control) {
    if (unloaded_ || handlers_ == nullptr)
        return;
    FormControl* c = CommandSource(id, code, control);
    if (c == nullptr)
        return;
    if (c->spec.kind == ControlKind::Button && code == BN_CLICKED) {
        handlers_->Click(c->spec.name);
    } else if (c->spec.kind == ControlKind::Chooser) {
        OnChooserCommand(*c, code);
    }
}

FormControl* Win32Window::CommandSource(int id, int code, HWND control) {
    FormControl* c = controls_.FindByWindow(control);
    // Enter in a dialog-style window arrives as IDOK: it presses the focused button.
    if (c == nullptr && id == IDOK && code == BN_CLICKED)
        c = controls_.FindByWindow(GetFocus());
    if (c == nullptr || !IsWindowEnabled(c->hwnd) || !IsWindowVisible(c->hwnd))
        return nullptr;
    return c;
}

void Win32Window::OnTimer() {
    // Never after unload, and never inside a tick that is processing events itself.
    if (unloaded_ || inTick_ || asking_ || handlers_ == nullptr)
        return;
    inTick_ = true;
    handlers_->Timer_Timer();
    inTick_ = false;
}

void Win32Window::OnClose() {
    if (unloaded_ || handlers_ == nullptr)
        return;
    // A close while the question is open cancels it: unloading now would leave the asking
    // handler to act on a device already let go of.
    if (asking_) {
        closeAskedDuringQuestion_ = true;
        CancelOpenQuestion();
        return;
    }
    // Declined: the program unloads the window itself once it is ready.
    if (handlers_->Form_QueryUnload())
        Unload();
}

LRESULT Win32Window::OnControlColor(HDC dc, HWND control, UINT message, WPARAM wParam,
                                    LPARAM lParam) {
    FormControl* c = controls_.FindByWindow(control);
    // A chooser keeps the system's colours: its closed box draws like a button's face.
    if (c == nullptr || c->spec.kind == ControlKind::Line || c->spec.kind == ControlKind::Button ||
        c->spec.kind == ControlKind::Chooser) {
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
    COLORREF back = ResolveColor(FormControls::BackColorOf(*c));
    SetBkColor(dc, back);
    SetTextColor(dc, ResolveColor(c->spec.foreColor.value_or(kSystemWindowText)));
    return reinterpret_cast<LRESULT>(gdi_.Brush(back));
}

}  // namespace ui::win32
