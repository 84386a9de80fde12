// A disabled push button drawn by its form. The system draws a disabled caption in its grey text
// colour, 2.2:1 against the face with Wine's colours: too faint for many readers, and the
// programs show their progress on a disabled button. While disabled, a push button is
// owner-drawn: the face as the system draws a disabled one, the caption in a dark grey that reads
// at 4.5:1 or more. Enabled, it is the system's own button again, with its hot and pressed looks.
// Screen readers still meet a push button, marked unavailable.
#pragma once

#include <windows.h>

namespace ui::win32 {

// Enables or disables the push button, switching how it is drawn.
void EnablePushButton(HWND button, bool enabled);

// Draws a disabled push button for the form's WM_DRAWITEM; false for any other item.
bool DrawDisabledPushButton(const DRAWITEMSTRUCT& item);

}  // namespace ui::win32
