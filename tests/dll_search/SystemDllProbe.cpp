// Run with gdiplus.dll and oleacc.dll planted beside this .exe. First calls a delay-loaded
// GDI+ function before anything has loaded gdiplus or narrowed the process's DLL search, so that
// only the delay-load hook keeps the planted copy out; then saves a chart as PNG as the programs
// do. Then makes a window as the programs do at start (which narrows the search, and has COM load
// oleacc for the accessible names) and loads oleacc by a plain search, as any later code might.
// Exit 0 when both came from the system directory.
#include <objidl.h>  // gdiplus.h needs it, and the lean windows.h leaves it out
#include <windows.h>

#include <gdiplus.h>

#include <cstdio>
#include <string>

#include "window/win32/ChartExport.h"
#include "window/win32/Win32Window.h"

namespace {

std::wstring FolderOf(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

bool FromSystemDirectory(HMODULE module, const char* name) {
    if (module == nullptr) {
        std::printf("%s was never loaded: the probe proves nothing\n", name);
        return false;
    }
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    if (_wcsicmp(FolderOf(module).c_str(), system) != 0) {
        std::printf("%s came from outside the system directory\n", name);
        return false;
    }
    return true;
}

}  // namespace

int main() {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok)
        Gdiplus::GdiplusShutdown(token);
    if (!FromSystemDirectory(GetModuleHandleW(L"gdiplus.dll"), "gdiplus.dll"))
        return 1;

    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring png = std::wstring(temp) + L"system-dll-probe.png";
    const ui::ChartData data({}, 10);
    const ui::ChartView view;
    const bool saved = ui::win32::SaveChartPng(
        png, SIZE{40, 30}, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), data, view);
    DeleteFileW(png.c_str());

    const ui::win32::Win32Window window{ui::FormLayout{}};
    if (!FromSystemDirectory(LoadLibraryW(L"oleacc.dll"), "oleacc.dll"))
        return 1;
    std::printf("gdiplus.dll and oleacc.dll from the system directory; chart saved: %d\n",
                saved ? 1 : 0);
    return 0;
}
