// Where the window layer's DLLs come from: the system directory, never the program's folder.
//
// The programs are run from wherever their zip was unpacked, a Downloads folder among files
// nobody vetted. uxtheme and gdiplus are not KnownDLLs, so they are delay-loaded (see
// cmake/DelayLoad.cmake) and, at their first call, loaded from the system directory only.
// oleacc is not imported at all: COM loads it for CoCreateInstance(CLSID_AccPropServices) from
// the path the registry gives, which is the system directory's copy.
#pragma once

namespace ui::win32 {

// Narrows every later plain DLL load of the process to the system directory (the DLLs that
// comdlg32 or uxtheme load in turn, for instance). Called before the first window is made.
void NarrowDllSearchToSystemDirectory();

// Loads a delay-loaded DLL from the system directory ahead of its first call, which then binds
// to it. Without it (a Windows without that DLL), the first call would end the process: callers
// go without what it offers instead.
bool LoadSystemDll(const wchar_t* name);

}  // namespace ui::win32
