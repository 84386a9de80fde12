#include "window/win32/ChartGdi.h"

#include <string>
#include <variant>
#include <vector>

#include "window/win32/Utf16.h"

namespace ui::win32 {

namespace {

// A GDI object selected for the drawing that follows, and put back and deleted after it.
class Selected {
  public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), object_(object), old_(SelectObject(dc, object)) {}
    ~Selected() {
        SelectObject(dc_, old_);
        DeleteObject(object_);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

  private:
    HDC dc_;
    HGDIOBJ object_;
    HGDIOBJ old_;
};

// A one-pixel pen, dashed and dotted as Qt's are (GDI's own dash is longer than a legend's key).
HPEN Pen(LineStyle style, ColorRef color) {
    static constexpr DWORD kDash[] = {4, 2};
    static constexpr DWORD kDot[] = {1, 2};
    if (style == LineStyle::Solid)
        return CreatePen(PS_SOLID, 1, color);
    const LOGBRUSH brush{BS_SOLID, color, 0};
    const DWORD* pattern = style == LineStyle::Dashed ? kDash : kDot;
    return ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, &brush, 2, pattern);
}

HBRUSH Brush(const RectPrimitive& rect) {
    switch (rect.fill) {
        case Fill::Solid:
            return CreateSolidBrush(rect.color);
        case Fill::Diagonal:
            return CreateHatchBrush(HS_BDIAGONAL, rect.color);
        case Fill::DiagonalCrossed:
            return CreateHatchBrush(HS_DIAGCROSS, rect.color);
        case Fill::Crossed:
            return CreateHatchBrush(HS_CROSS, rect.color);
    }
    return CreateSolidBrush(rect.color);
}

struct Drawer {
    HDC dc;

    void operator()(const PolylinePrimitive& line) const {
        Selected pen(dc, Pen(line.style, line.color));
        std::vector<POINT> points;
        points.reserve(line.points.size());
        for (int offset = 0; offset < line.width; ++offset) {
            points.clear();
            for (const PixelPoint& p : line.points)
                points.push_back({p.x, p.y + offset});
            // GDI leaves out a solid line's last pixel, as Qt draws it: the last point is drawn
            // on its own. A dashed or dotted one ends without it on both.
            Polyline(dc, points.data(), int(points.size()));
            if (line.style == LineStyle::Solid || points.size() == 1)
                SetPixel(dc, points.back().x, points.back().y, line.color);
        }
    }
    void operator()(const RectPrimitive& rect) const {
        HBRUSH brush = Brush(rect);
        const RECT r{rect.rect.left, rect.rect.top, rect.rect.right, rect.rect.bottom};
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    void operator()(const MarkPrimitive& mark) const {
        const int x = mark.at.x;
        const int y = mark.at.y;
        const int size = mark.size;
        if (mark.shape == MarkShape::Cross) {
            // Square ends, as Qt's pen has: GDI's own pen ends round.
            const LOGBRUSH brush{BS_SOLID, mark.color, 0};
            Selected pen(dc, ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_SQUARE, 2, &brush, 0,
                                          nullptr));
            MoveToEx(dc, x - size, y - size, nullptr);
            LineTo(dc, x + size, y + size);
            MoveToEx(dc, x - size, y + size, nullptr);
            LineTo(dc, x + size, y - size);
            return;
        }
        Selected pen(dc, CreatePen(PS_SOLID, 1, mark.color));
        Selected brush(dc, CreateSolidBrush(mark.color));
        const POINT triangle[] = {{x, y - size}, {x + size, y + size}, {x - size, y + size}};
        Polygon(dc, triangle, 3);
    }
    void operator()(const TextPrimitive& text) const {
        static constexpr UINT kAlign[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
        const UINT layout = text.wrapped ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER;
        RECT box{text.box.left, text.box.top, text.box.right, text.box.bottom};
        SetTextColor(dc, text.color);
        const std::wstring wide = ToUtf16(text.text);
        DrawTextW(dc, wide.c_str(), int(wide.size()), &box,
                  kAlign[int(text.align)] | layout | DT_NOPREFIX);
    }
};

}  // namespace

TextMeasure MeasureOf(HDC dc) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return {[dc](const std::string& text) {
                const std::wstring wide = ToUtf16(text);
                SIZE size{};
                GetTextExtentPoint32W(dc, wide.c_str(), int(wide.size()), &size);
                return int(size.cx);
            },
            int(metrics.tmHeight)};
}

void DrawPicture(HDC dc, const ChartPicture& picture) {
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    const Drawer drawer{dc};
    for (const ChartPrimitive& primitive : picture.primitives)
        std::visit(drawer, primitive);
}

double FractionAcross(HWND plot, HFONT font, int x) {
    RECT client;
    GetClientRect(plot, &client);
    HDC dc = GetDC(plot);
    HGDIOBJ old = SelectObject(dc, font);  // none: the device context's own, as when painted
    const double fraction = ui::FractionAcross(client.right, MeasureOf(dc), x);
    SelectObject(dc, old);
    ReleaseDC(plot, dc);
    return fraction;
}

void PaintChartGdi(HDC dc, const RECT& area, const ChartData& data, const ChartView& view,
                   ChartColumns& columns, bool readout, bool focused) {
    const POINT origin{area.left, area.top};
    POINT before{};
    SetViewportOrgEx(dc, origin.x, origin.y, &before);
    DrawPicture(dc, DrawChart(data, view, area.right - area.left, area.bottom - area.top,
                              MeasureOf(dc), columns, readout));
    SetViewportOrgEx(dc, before.x, before.y, nullptr);
    if (focused) {
        RECT frame = area;
        InflateRect(&frame, -1, -1);
        DrawFocusRect(dc, &frame);
    }
}

}  // namespace ui::win32
