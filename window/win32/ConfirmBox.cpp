#include "window/win32/ConfirmBox.h"

namespace ui::win32 {

namespace {

// MessageBoxW has no caption of its own for its buttons: a hook on this thread renames the OK
// button when the box is activated, before it is first drawn. One box at a time per thread.
thread_local const std::wstring* renameOkTo = nullptr;
thread_local HHOOK renameHook = nullptr;
thread_local HWND openBox = nullptr;

LRESULT CALLBACK RenameOkButton(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && renameOkTo != nullptr) {
        HWND box = reinterpret_cast<HWND>(wParam);
        openBox = box;
        if (GetDlgItem(box, IDOK) != nullptr)
            SetDlgItemTextW(box, IDOK, renameOkTo->c_str());
    }
    return CallNextHookEx(renameHook, code, wParam, lParam);
}

}  // namespace

bool AskToConfirm(HWND owner, const std::wstring& title, const std::wstring& question,
                  const std::wstring& acceptCaption) {
    renameOkTo = &acceptCaption;
    renameHook = SetWindowsHookExW(WH_CBT, RenameOkButton, nullptr, GetCurrentThreadId());
    const int answer = MessageBoxW(owner, question.c_str(), title.c_str(),
                                   MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
    if (renameHook != nullptr)
        UnhookWindowsHookEx(renameHook);
    renameHook = nullptr;
    renameOkTo = nullptr;
    openBox = nullptr;
    return answer == IDOK;
}

void CancelOpenQuestion() {
    if (openBox != nullptr)
        PostMessageW(openBox, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

}  // namespace ui::win32
