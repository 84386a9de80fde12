#include "window/win32/TitleBar.h"

#include <windows.h>

#include "window/win32/Dpi.h"

namespace ui::win32 {

int TitleBarWidth(const std::wstring& title, int dpi) {
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
    const int buttons = 3 * MetricForDpi(SM_CXSIZE, dpi);
    const int iconAndGaps = MetricForDpi(SM_CXSMICON, dpi) + 4 * MetricForDpi(SM_CXSIZEFRAME, dpi) +
                            2 * MetricForDpi(SM_CXSIZE, dpi);
    // The caption font comes at the system's DPI.
    return MulDiv(text.cx, dpi, SystemDpi()) + buttons + iconAndGaps;
}

}  // namespace ui::win32
