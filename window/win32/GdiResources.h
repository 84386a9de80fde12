// The fonts and brushes a window's controls share, created on first use and deleted with the
// window, and the mapping of layout colours (COLORREF or flagged system colour) to GDI colours.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "window/FormLayout.h"

namespace ui::win32 {

// A layout colour as GDI draws it: plain COLORREF as is, kSystemColorFlag | n as GetSysColor(n).
COLORREF ResolveColor(ColorRef color);

class GdiResources {
  public:
    explicit GdiResources(int logicalDpi) : dpi_(logicalDpi) {}
    ~GdiResources();
    GdiResources(const GdiResources&) = delete;
    GdiResources& operator=(const GdiResources&) = delete;

    HFONT Font(const ui::Font& font);
    // Fonts from now on are for `logicalDpi`. The fonts handed out before are returned, for the
    // caller to delete once no control uses them.
    std::vector<HFONT> ChangeDpi(int logicalDpi);
    HBRUSH Brush(COLORREF color);

  private:
    int dpi_;
    std::map<std::tuple<std::string, double, bool>, HFONT> fonts_;
    std::map<COLORREF, HBRUSH> brushes_;
};

}  // namespace ui::win32
