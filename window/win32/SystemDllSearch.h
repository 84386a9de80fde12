// Where the window layer's DLLs come from: the system directory, never the program's folder.
//
// The programs are run from wherever their zip was unpacked, a Downloads folder among files
// nobody vetted. uxtheme, gdiplus and oleacc are not KnownDLLs, so they are delay-loaded (see
// cmake/DelayLoad.cmake) and, at their first call, loaded from the system directory only.
#pragma once

namespace ui::win32 {

// Narrows every later plain DLL load of the process to the system directory (the DLLs that
// comdlg32 or uxtheme load in turn, for instance). Called before the first window is made.
void NarrowDllSearchToSystemDirectory();

}  // namespace ui::win32
