#include "window/win32/DisabledButton.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <string>

#include "window/chart/Contrast.h"
#include "window/win32/Dpi.h"
#include "window/win32/SystemDllSearch.h"

namespace ui::win32 {

namespace {

// The Qt window's disabled caption: about 7:1 on the usual face, yet plainly lighter than the
// black of an enabled one.
constexpr int kDisabledGrey = 0x59;

// The grey nearest the usual one that reads on this face: a theme's darker disabled face takes
// a slightly darker grey, a dark face a light one. Black or white always reads (4.58:1 at worst).
COLORREF CaptionColourOn(COLORREF face) {
    for (int step = 0; step <= 0xFF; ++step) {
        for (const int grey : {kDisabledGrey - step, kDisabledGrey + step}) {
            const COLORREF colour = RGB(grey, grey, grey);
            if (grey >= 0 && grey <= 0xFF && ContrastRatio(colour, face) >= kReadableContrast)
                return colour;
        }
    }
    return RGB(0, 0, 0);
}

// A high-contrast scheme's colours are the user's choice, its grey text included.
bool HighContrastOn() {
    HIGHCONTRASTW scheme{};
    scheme.cbSize = sizeof scheme;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof scheme, &scheme, 0) &&
           (scheme.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

// Draws a disabled push button's face as the system would, in the button's own visual style
// (none for a classic button), and gives the rectangle inside its border.
RECT DrawFace(HWND button, HDC dc, RECT r) {
    // Without uxtheme, every button is a classic one.
    static const bool themesAvailable = LoadSystemDll(L"uxtheme.dll");
    HTHEME theme = themesAvailable ? GetWindowTheme(button) : nullptr;
    if (theme == nullptr) {
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_INACTIVE);
        const int dpi = DpiOfWindow(button);
        InflateRect(&r, -MetricForDpi(SM_CXEDGE, dpi), -MetricForDpi(SM_CYEDGE, dpi));
        return r;
    }
    if (IsThemeBackgroundPartiallyTransparent(theme, BP_PUSHBUTTON, PBS_DISABLED))
        DrawThemeParentBackground(button, dc, &r);
    DrawThemeBackground(theme, dc, BP_PUSHBUTTON, PBS_DISABLED, &r, nullptr);
    RECT content = r;
    GetThemeBackgroundContentRect(theme, dc, BP_PUSHBUTTON, PBS_DISABLED, &r, &content);
    return content;
}

bool OwnerDrawn(HWND button) {
    return (GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
}

}  // namespace

void EnablePushButton(HWND button, bool enabled) {
    // Unchanged: no redraw (a status tick sets every button's state).
    if ((IsWindowEnabled(button) != FALSE) == enabled && OwnerDrawn(button) != enabled)
        return;
    // The style changes first and without a redraw, so that the button never draws in the other
    // state's way; then the change of state, and a redraw in case the state was already so.
    SendMessageW(button, BM_SETSTYLE, enabled ? BS_PUSHBUTTON : BS_OWNERDRAW, FALSE);
    EnableWindow(button, enabled);
    InvalidateRect(button, nullptr, TRUE);
}

bool DrawDisabledPushButton(const DRAWITEMSTRUCT& item) {
    if (item.CtlType != ODT_BUTTON || !OwnerDrawn(item.hwndItem))
        return false;
    HWND button = item.hwndItem;
    const int width = item.rcItem.right - item.rcItem.left;
    const int height = item.rcItem.bottom - item.rcItem.top;
    // Drawn aside and copied in one go: the caption changes often (the progress) without
    // flicker, and the face's colour reads back even where another window covers the button.
    HDC dc = CreateCompatibleDC(item.hDC);
    HBITMAP bitmap = CreateCompatibleBitmap(item.hDC, width, height);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = nullptr;
    if (HFONT font = reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)))
        oldFont = SelectObject(dc, font);

    RECT inside = DrawFace(button, dc, RECT{0, 0, width, height});
    const COLORREF face =
        GetPixel(dc, (inside.left + inside.right) / 2, (inside.top + inside.bottom) / 2);
    SetTextColor(dc, HighContrastOn() ? GetSysColor(COLOR_GRAYTEXT) : CaptionColourOn(face));
    SetBkMode(dc, TRANSPARENT);
    std::wstring caption(static_cast<std::size_t>(GetWindowTextLengthW(button)) + 1, L'\0');
    caption.resize(static_cast<std::size_t>(
        GetWindowTextW(button, caption.data(), static_cast<int>(caption.size()))));
    // The access key's underline shows and hides as on the system's own buttons.
    const UINT hidePrefix = (item.itemState & ODS_NOACCEL) != 0 ? DT_HIDEPREFIX : 0;
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &inside,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | hidePrefix);
    BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, width, height, dc, 0, 0, SRCCOPY);

    if (oldFont != nullptr)
        SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return true;
}

}  // namespace ui::win32
