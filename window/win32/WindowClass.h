// The window classes of this layer, each registered once per process, on first use.
#pragma once

#include <windows.h>

namespace ui::win32 {

// Registers `name` for `proc` unless it already is, with the arrow cursor and `background`
// (nullptr: the class paints its own).
void RegisterWindowClassOnce(const wchar_t* name, WNDPROC proc, HBRUSH background);

}  // namespace ui::win32
