#include "window/win32/ToolTips.h"

#include <commctrl.h>

namespace ui::win32 {

namespace {

// The record's size as comctl32 version 5 knows it: programs without a manifest get that
// version, and it refuses the longer record of version 6.
TTTOOLINFOW ToolFor(HWND form, HWND control) {
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = form;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    return tool;
}

HWND CreateTipWindow(HWND form) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    return CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
}

}  // namespace

void ToolTips::Set(HWND form, HWND control, const std::wstring& text) {
    if (form == nullptr || control == nullptr)
        return;
    if (tip_ == nullptr) {
        if (text.empty())
            return;
        tip_ = CreateTipWindow(form);
        if (tip_ == nullptr)
            return;
        // Long texts (a platform's error message) wrap instead of running off the screen.
        SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 400);
    }
    TTTOOLINFOW tool = ToolFor(form, control);
    const bool known = SendMessageW(tip_, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool));
    tool = ToolFor(form, control);
    if (text.empty()) {
        if (known)
            SendMessageW(tip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        return;
    }
    tool.lpszText = const_cast<wchar_t*>(text.c_str());  // the tooltip keeps its own copy
    SendMessageW(tip_, known ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0,
                 reinterpret_cast<LPARAM>(&tool));
}

}  // namespace ui::win32
