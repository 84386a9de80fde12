// The platform's message boxes, opened centred on the window they belong to (MessageBoxW alone
// puts them in the middle of the screen, far from a window elsewhere), and the yes-or-no question
// whose "yes" button names the action.
#pragma once

#include <windows.h>

#include <string>

namespace ui::win32 {

// MessageBoxW, centred on `owner` and kept on its monitor's work area.
int MessageBoxOnOwner(HWND owner, const std::wstring& text, const std::wstring& title, UINT type);
// Shows a question box owned by `owner` with two buttons: acceptCaption and "Cancel", Cancel the
// default and Escape's answer. Returns true only when the user chose acceptCaption.
bool AskToConfirm(HWND owner, const std::wstring& title, const std::wstring& question,
                  const std::wstring& acceptCaption);
// Answers the question open on this thread with Cancel, as Escape does.
void CancelOpenQuestion();

}  // namespace ui::win32
