#include "window/win32/FormScroller.h"

#include <algorithm>

#include "window/win32/Dpi.h"

namespace ui::win32 {

namespace {

constexpr int kLine = 20;  // pixels a click on the bar's arrow or a wheel notch's third moves

// The height of the part of the form in view.
int Visible(HWND form) {
    RECT client;
    GetClientRect(form, &client);
    return client.bottom;
}

}  // namespace

FormScroller::Fitted FormScroller::FitOnMonitor(HWND form, int width, int height, int dpi) const {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(form, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT work = monitor.rcWork;
    RECT frame{0, 0, width, height};
    AdjustFrameForDpi(frame, style_, exStyle_, dpi);
    const int frameHeight = frame.bottom - frame.top;
    const bool scrolls = frameHeight > work.bottom - work.top;
    const int outerWidth =
        frame.right - frame.left + (scrolls ? MetricForDpi(SM_CXVSCROLL, dpi) : 0);
    const int outerHeight = std::min<int>(frameHeight, work.bottom - work.top);
    return {SIZE{outerWidth, outerHeight}, scrolls, work};
}

SIZE FormScroller::FittedSize(HWND form, int width, int height, int dpi) const {
    return FitOnMonitor(form, width, height, dpi).size;
}

void FormScroller::Fit(HWND form, int width, int height, int dpi) {
    content_ = height;
    const Fitted fitted = FitOnMonitor(form, width, height, dpi);
    DWORD style = static_cast<DWORD>(GetWindowLongPtrW(form, GWL_STYLE));
    style = fitted.scrolls ? style | WS_VSCROLL : style & ~DWORD(WS_VSCROLL);
    SetWindowLongPtrW(form, GWL_STYLE, static_cast<LONG_PTR>(style));
    RECT now;
    GetWindowRect(form, &now);
    // Cut to the work area, the window also starts at its top, so that all of it is on screen.
    const int top = fitted.scrolls ? fitted.work.top : now.top;
    SetWindowPos(form, nullptr, now.left, top, fitted.size.cx, fitted.size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

    SCROLLINFO bar{};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_RANGE | SIF_PAGE;
    bar.nMax = content_ - 1;
    bar.nPage = static_cast<UINT>(Visible(form));
    SetScrollInfo(form, SB_VERT, &bar, fitted.scrolls);
    ScrollTo(form, fitted.scrolls ? offset_ : 0);
}

void FormScroller::ScrollTo(HWND form, int offset) {
    offset = std::clamp(offset, 0, std::max(0, content_ - Visible(form)));
    if (offset != offset_) {
        ScrollWindowEx(form, 0, offset_ - offset, nullptr, nullptr, nullptr, nullptr,
                       SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
        offset_ = offset;
    }
    SetScrollPos(form, SB_VERT, offset_, TRUE);
}

void FormScroller::OnScrollBar(HWND form, WPARAM request) {
    const int page = Visible(form);
    switch (LOWORD(request)) {
        case SB_LINEUP:
            ScrollTo(form, offset_ - kLine);
            break;
        case SB_LINEDOWN:
            ScrollTo(form, offset_ + kLine);
            break;
        case SB_PAGEUP:
            ScrollTo(form, offset_ - page);
            break;
        case SB_PAGEDOWN:
            ScrollTo(form, offset_ + page);
            break;
        case SB_TOP:
            ScrollTo(form, 0);
            break;
        case SB_BOTTOM:
            ScrollTo(form, content_);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO bar{};
            bar.cbSize = sizeof bar;
            bar.fMask = SIF_TRACKPOS;
            GetScrollInfo(form, SB_VERT, &bar);
            ScrollTo(form, bar.nTrackPos);
            break;
        }
        default:
            break;
    }
}

void FormScroller::OnWheel(HWND form, WPARAM wheel) {
    ScrollTo(form, offset_ - GET_WHEEL_DELTA_WPARAM(wheel) * 3 * kLine / WHEEL_DELTA);
}

void FormScroller::Reveal(HWND form, HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&r), 2);
    const int visible = Visible(form);
    if (r.top < 0)
        ScrollTo(form, offset_ + r.top - kLine / 2);
    else if (r.bottom > visible)
        ScrollTo(form, offset_ + r.bottom - visible + kLine / 2);
}

}  // namespace ui::win32
