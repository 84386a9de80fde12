// Works the window layer's delay-loaded DLL as a program does (a chart saved as PNG through
// GDI+) with a gdiplus.dll planted beside this .exe, then says where gdiplus came from. Exit 0
// when it was loaded, and from the system directory.
#include <windows.h>

#include <cstdio>
#include <string>

#include "window/win32/ChartExport.h"
#include "window/win32/SystemDllSearch.h"

namespace {

std::wstring FolderOf(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

}  // namespace

int main() {
    ui::win32::NarrowDllSearchToSystemDirectory();
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring png = std::wstring(temp) + L"system-dll-probe.png";
    const ui::ChartData data({}, 10);
    const ui::ChartView view;
    const bool saved = ui::win32::SaveChartPng(
        png, SIZE{40, 30}, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), data, view);
    DeleteFileW(png.c_str());

    HMODULE gdiplus = GetModuleHandleW(L"gdiplus.dll");
    if (gdiplus == nullptr) {
        std::puts("gdiplus.dll was never loaded: the probe proves nothing");
        return 2;
    }
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    if (_wcsicmp(FolderOf(gdiplus).c_str(), system) != 0) {
        std::puts("gdiplus.dll came from outside the system directory");
        return 1;
    }
    std::printf("gdiplus.dll from the system directory; chart saved: %d\n", saved ? 1 : 0);
    return 0;
}
