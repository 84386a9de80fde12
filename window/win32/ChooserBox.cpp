#include "window/win32/ChooserBox.h"

#include <commctrl.h>

#include <algorithm>

#include "window/win32/Dpi.h"
#include "window/win32/Utf16.h"

namespace ui::win32 {

namespace {

// The widest line in the chooser's font, with room for the list's edges, its scroll bar and a
// character's width either side.
int ListWidthFor(HWND chooser, const std::vector<std::wstring>& lines, int dpi) {
    HDC dc = GetDC(chooser);
    auto* font = reinterpret_cast<HFONT>(SendMessageW(chooser, WM_GETFONT, 0, 0));
    HGDIOBJ previous = SelectObject(dc, font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
    int widest = 0;
    for (const std::wstring& line : lines) {
        SIZE size{};
        GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(chooser, dc);
    return widest + MetricForDpi(SM_CXVSCROLL, dpi) + 2 * MetricForDpi(SM_CXEDGE, dpi) +
           2 * metrics.tmAveCharWidth;
}

}  // namespace

int ChooserWindowHeight(int closedHeight) {
    return closedHeight * (1 + kChooserListLines);
}

// The closed box is its selection field plus the edges around it; only the field can be set.
// What CB_GETITEMHEIGHT reports for the field is not always what CB_SETITEMHEIGHT takes (Wine
// adds two pixels), so the edges are measured from a field height that was set.
void FitChooserClosedHeight(HWND chooser, int closedHeight) {
    auto closed = [chooser] {
        RECT r{};
        GetWindowRect(chooser, &r);
        return static_cast<int>(r.bottom - r.top);
    };
    const auto field = static_cast<int>(SendMessageW(chooser, CB_GETITEMHEIGHT, WPARAM(-1), 0));
    if (field <= 0)
        return;
    // Owner-drawn lines are measured before the chooser has its font: the list's lines take the
    // field's height, which the font gave it.
    SendMessageW(chooser, CB_SETITEMHEIGHT, 0, field);
    SendMessageW(chooser, CB_SETITEMHEIGHT, WPARAM(-1), field);
    const int edges = closed() - field;
    if (closedHeight > edges)
        SendMessageW(chooser, CB_SETITEMHEIGHT, WPARAM(-1), closedHeight - edges);
}

void SetChooserItems(HWND chooser, const std::vector<std::string>& items, int dpi) {
    std::vector<std::wstring> lines;
    lines.reserve(items.size());
    for (const std::string& item : items)
        lines.push_back(ToUtf16(item));
    SendMessageW(chooser, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& line : lines)
        SendMessageW(chooser, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    // A line (a device's name, serial and port) may be longer than the closed box: the open list
    // is made wide enough to read it whole.
    SendMessageW(chooser, CB_SETDROPPEDWIDTH, ListWidthFor(chooser, lines, dpi), 0);
}

void SetChooserChoice(HWND chooser, int index) {
    const auto count = static_cast<int>(SendMessageW(chooser, CB_GETCOUNT, 0, 0));
    SendMessageW(chooser, CB_SETCURSEL, index >= 0 && index < count ? index : -1, 0);
}

int ChooserChoice(HWND chooser) {
    const auto index = static_cast<int>(SendMessageW(chooser, CB_GETCURSEL, 0, 0));
    return index >= 0 ? index : -1;
}

bool ChooserListOpen(HWND chooser) {
    return SendMessageW(chooser, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
}

bool DrawChooserItem(const DRAWITEMSTRUCT& item, const std::wstring& caption) {
    if (item.CtlType != ODT_COMBOBOX)
        return false;
    const bool none = static_cast<int>(item.itemID) < 0;
    const bool closedBox = (item.itemState & ODS_COMBOBOXEDIT) != 0;
    // The caption shows in the closed box only, never as a line of the list.
    const bool highlighted = (item.itemState & ODS_SELECTED) != 0 && !none;
    std::wstring text = none ? (closedBox ? caption : std::wstring()) : std::wstring();
    if (!none) {
        const auto length =
            static_cast<int>(SendMessageW(item.hwndItem, CB_GETLBTEXTLEN, item.itemID, 0));
        text.assign(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
        SendMessageW(item.hwndItem, CB_GETLBTEXT, item.itemID,
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::max(length, 0)));
    }
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    FillRect(dc, &r, GetSysColorBrush(highlighted ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const bool grey = none || (item.itemState & ODS_DISABLED) != 0;
    SetTextColor(dc, GetSysColor(grey          ? COLOR_GRAYTEXT
                                 : highlighted ? COLOR_HIGHLIGHTTEXT
                                               : COLOR_WINDOWTEXT));
    SetBkMode(dc, TRANSPARENT);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    r.left += metrics.tmAveCharWidth / 2;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0)
        DrawFocusRect(dc, &item.rcItem);
    return true;
}

}  // namespace ui::win32
