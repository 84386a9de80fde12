#include "window/win32/GdiResources.h"

#include <cmath>

#include "window/win32/Utf16.h"

namespace ui::win32 {

COLORREF ResolveColor(ColorRef color) {
    if (color & kSystemColorFlag)
        return GetSysColor(static_cast<int>(color & 0xFFu));
    return static_cast<COLORREF>(color & 0xFFFFFFu);
}

GdiResources::~GdiResources() {
    for (auto& [key, font] : fonts_)
        DeleteObject(font);
    for (auto& [key, brush] : brushes_)
        DeleteObject(brush);
}

HFONT GdiResources::Font(const ui::Font& font) {
    auto key = std::make_tuple(font.face, font.points, font.bold);
    auto it = fonts_.find(key);
    if (it != fonts_.end())
        return it->second;
    // Negative height: the character height in pixels (points at the logical dpi), as a point
    // size means, not the cell height.
    int height = -static_cast<int>(std::lround(font.points * dpi_ / 72.0));
    HFONT created =
        CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                    DEFAULT_PITCH | FF_SWISS, ToUtf16(font.face).c_str());
    fonts_[key] = created;
    return created;
}

std::vector<HFONT> GdiResources::ChangeDpi(int logicalDpi) {
    dpi_ = logicalDpi;
    std::vector<HFONT> before;
    for (auto& [key, font] : fonts_)
        before.push_back(font);
    fonts_.clear();
    return before;
}

HBRUSH GdiResources::Brush(COLORREF color) {
    auto it = brushes_.find(color);
    if (it != brushes_.end())
        return it->second;
    HBRUSH created = CreateSolidBrush(color);
    brushes_[color] = created;
    return created;
}

}  // namespace ui::win32
