#include "window/win32/WheelIcon.h"

#include <cmath>

namespace ui::win32 {

namespace {

COLORREF MarkerColor(const std::string& iconName) {
    if (iconName == "servodiag")
        return RGB(0, 120, 215);
    if (iconName == "ampflash")
        return RGB(230, 120, 0);
    if (iconName == "wheelflash")
        return RGB(0, 160, 70);
    return RGB(200, 0, 0);
}

// Draws the wheel into dc. For the mask every part is black (opaque) on white (transparent); for
// the image the parts get their colours on black, which the icon's XOR leaves transparent.
void DrawWheel(HDC dc, int size, bool mask, COLORREF marker) {
    const COLORREF rimColor = mask ? RGB(0, 0, 0) : RGB(45, 45, 50);
    const COLORREF spokeColor = mask ? RGB(0, 0, 0) : RGB(150, 150, 160);
    const COLORREF markerColor = mask ? RGB(0, 0, 0) : marker;
    RECT all{0, 0, size, size};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(mask ? WHITE_BRUSH : BLACK_BRUSH)));

    const int rimWidth = size / 10 + 1;
    const int c = size / 2;
    const int radius = size / 2 - rimWidth / 2 - 1;

    HPEN spokePen = CreatePen(PS_SOLID, size / 12 + 1, spokeColor);
    HGDIOBJ oldPen = SelectObject(dc, spokePen);
    for (double degrees : {180.0, 0.0, 90.0}) {  // left, right, down (y grows downwards)
        double a = degrees * 3.14159265358979 / 180.0;
        MoveToEx(dc, c, c, nullptr);
        LineTo(dc, c + static_cast<int>(std::lround(radius * std::cos(a))),
               c + static_cast<int>(std::lround(radius * std::sin(a))));
    }

    HPEN rimPen = CreatePen(PS_SOLID, rimWidth, rimColor);
    SelectObject(dc, rimPen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Ellipse(dc, c - radius, c - radius, c + radius + 1, c + radius + 1);

    HBRUSH hubBrush = CreateSolidBrush(rimColor);
    SelectObject(dc, GetStockObject(NULL_PEN));
    SelectObject(dc, hubBrush);
    const int hub = size / 10 + 1;
    Ellipse(dc, c - hub, c - hub, c + hub + 1, c + hub + 1);

    HBRUSH markerBrush = CreateSolidBrush(markerColor);
    RECT top{c - rimWidth / 2 - 1, c - radius - rimWidth / 2, c + rimWidth / 2 + 2,
             c - radius + rimWidth / 2 + 1};
    FillRect(dc, &top, markerBrush);

    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(spokePen);
    DeleteObject(rimPen);
    DeleteObject(hubBrush);
    DeleteObject(markerBrush);
}

}  // namespace

HICON CreateWheelIcon(int size, const std::string& iconName) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP color = CreateCompatibleBitmap(screen, size, size);
    HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
    ReleaseDC(nullptr, screen);

    HGDIOBJ old = SelectObject(dc, color);
    DrawWheel(dc, size, false, MarkerColor(iconName));
    SelectObject(dc, mask);
    DrawWheel(dc, size, true, 0);
    SelectObject(dc, old);
    DeleteDC(dc);

    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = mask;
    info.hbmColor = color;
    HICON icon = CreateIconIndirect(&info);
    // The icon holds copies of both bitmaps.
    DeleteObject(color);
    DeleteObject(mask);
    return icon;
}

}  // namespace ui::win32
