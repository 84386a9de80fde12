#include "window/win32/ChooserBox.h"

#include <commctrl.h>

#include <algorithm>

#include "window/win32/Utf16.h"

namespace ui::win32 {

namespace {

// The widest line in the chooser's font, with room for the list's edges, its scroll bar and a
// character's width either side.
int ListWidthFor(HWND chooser, const std::vector<std::wstring>& lines) {
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
    return widest + GetSystemMetrics(SM_CXVSCROLL) + 2 * GetSystemMetrics(SM_CXEDGE) +
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
    SendMessageW(chooser, CB_SETITEMHEIGHT, WPARAM(-1), field);
    const int edges = closed() - field;
    if (closedHeight > edges)
        SendMessageW(chooser, CB_SETITEMHEIGHT, WPARAM(-1), closedHeight - edges);
}

void SetChooserItems(HWND chooser, const std::vector<std::string>& items) {
    std::vector<std::wstring> lines;
    lines.reserve(items.size());
    for (const std::string& item : items)
        lines.push_back(ToUtf16(item));
    SendMessageW(chooser, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& line : lines)
        SendMessageW(chooser, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    // A line (a device's name, serial and port) may be longer than the closed box: the open list
    // is made wide enough to read it whole.
    SendMessageW(chooser, CB_SETDROPPEDWIDTH, ListWidthFor(chooser, lines), 0);
}

void SetChooserChoice(HWND chooser, int index) {
    const auto count = static_cast<int>(SendMessageW(chooser, CB_GETCOUNT, 0, 0));
    SendMessageW(chooser, CB_SETCURSEL, index >= 0 && index < count ? index : -1, 0);
}

int ChooserChoice(HWND chooser) {
    const auto index = static_cast<int>(SendMessageW(chooser, CB_GETCURSEL, 0, 0));
    return index >= 0 ? index : -1;
}

std::string ChooserLine(HWND chooser, int index) {
    const auto length = static_cast<int>(SendMessageW(chooser, CB_GETLBTEXTLEN, index, 0));
    if (length <= 0)
        return {};
    std::wstring line(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(chooser, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(line.data()));
    line.resize(static_cast<size_t>(length));
    return ToUtf8(line);
}

void ShowChooserCaption(HWND chooser, const std::string& caption) {
    const std::wstring text = ToUtf16(caption);
    SendMessageW(chooser, CB_SETCUEBANNER, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace ui::win32
