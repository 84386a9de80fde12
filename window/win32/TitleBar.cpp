#include "window/win32/TitleBar.h"

#include <windows.h>

namespace ui::win32 {

int TitleBarWidth(const std::wstring& title) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return 0;
    HFONT font = CreateFontIndirectW(&metrics.lfCaptionFont);
    HDC screen = GetDC(nullptr);
    HGDIOBJ before = SelectObject(screen, font);
    SIZE text{};
    GetTextExtentPoint32W(screen, title.c_str(), static_cast<int>(title.size()), &text);
    SelectObject(screen, before);
    ReleaseDC(nullptr, screen);
    DeleteObject(font);
    // Minimise, maximise and close are as wide as SM_CXSIZE each; the icon and the gaps around
    // the text about as much again.
    const int buttons = 3 * GetSystemMetrics(SM_CXSIZE);
    const int iconAndGaps = GetSystemMetrics(SM_CXSMICON) + 4 * GetSystemMetrics(SM_CXSIZEFRAME) +
                            2 * GetSystemMetrics(SM_CXSIZE);
    return text.cx + buttons + iconAndGaps;
}

}  // namespace ui::win32
