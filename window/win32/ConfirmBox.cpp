#include "window/win32/ConfirmBox.h"

#include <algorithm>

namespace ui::win32 {

namespace {

// MessageBoxW neither places its box nor names its buttons: a hook on this thread does both
// when the box is first activated, before it is first drawn. One box at a time per thread.
thread_local HWND boxOwner = nullptr;
thread_local const std::wstring* renameOkTo = nullptr;
thread_local HHOOK boxHook = nullptr;
thread_local HWND openBox = nullptr;

void CentreOnOwner(HWND box, HWND owner) {
    RECT ownerRect{};
    RECT boxRect{};
    if (owner == nullptr || !GetWindowRect(owner, &ownerRect) || !GetWindowRect(box, &boxRect))
        return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const int workLeft = work.left;
    const int workTop = work.top;
    const int width = boxRect.right - boxRect.left;
    const int height = boxRect.bottom - boxRect.top;
    const int left = (ownerRect.left + ownerRect.right - width) / 2;
    const int top = (ownerRect.top + ownerRect.bottom - height) / 2;
    // Whole on the owner's monitor even when the owner hangs over its edge.
    SetWindowPos(box, nullptr,
                 std::clamp(left, workLeft, std::max(workLeft, int(work.right) - width)),
                 std::clamp(top, workTop, std::max(workTop, int(work.bottom) - height)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK PlaceAndNameBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && openBox == nullptr) {
        HWND box = reinterpret_cast<HWND>(wParam);
        openBox = box;
        CentreOnOwner(box, boxOwner);
        if (renameOkTo != nullptr && GetDlgItem(box, IDOK) != nullptr)
            SetDlgItemTextW(box, IDOK, renameOkTo->c_str());
    }
    return CallNextHookEx(boxHook, code, wParam, lParam);
}

int HookedMessageBox(HWND owner, const std::wstring& text, const std::wstring& title, UINT type,
                     const std::wstring* okCaption) {
    boxOwner = owner;
    renameOkTo = okCaption;
    openBox = nullptr;
    boxHook = SetWindowsHookExW(WH_CBT, PlaceAndNameBox, nullptr, GetCurrentThreadId());
    const int answer = MessageBoxW(owner, text.c_str(), title.c_str(), type);
    if (boxHook != nullptr)
        UnhookWindowsHookEx(boxHook);
    boxHook = nullptr;
    renameOkTo = nullptr;
    boxOwner = nullptr;
    openBox = nullptr;
    return answer;
}

}  // namespace

int MessageBoxOnOwner(HWND owner, const std::wstring& text, const std::wstring& title, UINT type) {
    return HookedMessageBox(owner, text, title, type, nullptr);
}

bool AskToConfirm(HWND owner, const std::wstring& title, const std::wstring& question,
                  const std::wstring& acceptCaption) {
    return HookedMessageBox(owner, question, title, MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2,
                            &acceptCaption) == IDOK;
}

void CancelOpenQuestion() {
    if (openBox != nullptr)
        PostMessageW(openBox, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

}  // namespace ui::win32
