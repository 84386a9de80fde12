#include "window/win32/SystemDllSearch.h"

#include <windows.h>
// windows.h first: delayimp.h uses its types.
#include <delayimp.h>

namespace ui::win32 {

namespace {

// The delay-load helper asks this hook before its own plain LoadLibraryA, whatever the order
// in which the program's parts start: the DLL comes from the system directory or not at all.
FARPROC WINAPI LoadDelayedDllFromSystemDirectory(unsigned notification, PDelayLoadInfo info) {
    if (notification != dliNotePreLoadLibrary)
        return nullptr;
    // An HMODULE handed back as the hook's generic result, as the delay-load interface has it.
    return reinterpret_cast<FARPROC>(
        LoadLibraryExA(info->szDll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

}  // namespace

void NarrowDllSearchToSystemDirectory() {
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

bool LoadSystemDll(const wchar_t* name) {
    // Kept loaded for the process's life, as a delay-loaded DLL is.
    return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32) != nullptr;
}

}  // namespace ui::win32

// The helper's hook variable (declared by delayimp.h); defining it here keeps the toolchain's
// empty one out of the link.
PfnDliHook __pfnDliNotifyHook2 = ui::win32::LoadDelayedDllFromSystemDirectory;
