#include "window/win32/Dpi.h"

namespace ui::win32 {

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

struct DpiFunctions {
    GetDpiForWindowFunction getDpiForWindow = nullptr;
    GetSystemMetricsForDpiFunction getSystemMetricsForDpi = nullptr;
    AdjustWindowRectExForDpiFunction adjustWindowRectExForDpi = nullptr;
};

template <typename Function>
void Resolve(HMODULE module, const char* name, Function& function) {
    // GetProcAddress returns a generic function pointer; the real type is the one declared here.
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const DpiFunctions& Functions() {
    static const DpiFunctions functions = [] {
        DpiFunctions f;
        // user32 is loaded already (the program imports it): nothing is searched for.
        const HMODULE user32 = GetModuleHandleW(L"user32.dll");
        if (user32 != nullptr) {
            Resolve(user32, "GetDpiForWindow", f.getDpiForWindow);
            Resolve(user32, "GetSystemMetricsForDpi", f.getSystemMetricsForDpi);
            Resolve(user32, "AdjustWindowRectExForDpi", f.adjustWindowRectExForDpi);
        }
        return f;
    }();
    return functions;
}

}  // namespace

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int DpiOfWindow(HWND window) {
    const UINT dpi =
        Functions().getDpiForWindow != nullptr ? Functions().getDpiForWindow(window) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : SystemDpi();
}

int MetricForDpi(int index, int dpi) {
    if (Functions().getSystemMetricsForDpi != nullptr)
        return Functions().getSystemMetricsForDpi(index, static_cast<UINT>(dpi));
    return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

void AdjustFrameForDpi(RECT& frame, DWORD style, DWORD exStyle, int dpi) {
    if (Functions().adjustWindowRectExForDpi != nullptr &&
        Functions().adjustWindowRectExForDpi(&frame, style, FALSE, exStyle,
                                             static_cast<UINT>(dpi))) {
        return;
    }
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
}

}  // namespace ui::win32
