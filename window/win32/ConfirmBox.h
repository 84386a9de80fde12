// The platform's message box asking a yes-or-no question whose "yes" button names the action.
#pragma once

#include <windows.h>

#include <string>

namespace ui::win32 {

// Shows a question box owned by `owner` with two buttons: acceptCaption and "Cancel", Cancel the
// default and Escape's answer. Returns true only when the user chose acceptCaption.
bool AskToConfirm(HWND owner, const std::wstring& title, const std::wstring& question,
                  const std::wstring& acceptCaption);
// Answers the question open on this thread with Cancel, as Escape does.
void CancelOpenQuestion();

}  // namespace ui::win32
