// Stands in for a DLL left beside the program: loaded at all, it leaves a marker file named after
// itself (uxtheme.dll leaves uxtheme.dll.loaded) in its own folder.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    wchar_t path[MAX_PATH + 8];
    const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return TRUE;
    lstrcatW(path, L".loaded");
    HANDLE marker = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (marker != INVALID_HANDLE_VALUE)
        CloseHandle(marker);
    return TRUE;
}
