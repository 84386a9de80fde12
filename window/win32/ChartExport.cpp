#include "window/win32/ChartExport.h"

#include <commdlg.h>
#include <objidl.h>  // gdiplus.h needs it, and the lean windows.h leaves it out

#include <gdiplus.h>

#include <cstring>

#include "window/win32/ChartGdi.h"
#include "window/win32/ConfirmBox.h"
#include "window/win32/SystemDllSearch.h"
#include "window/win32/Utf16.h"

namespace ui::win32 {

namespace {

// GDI+'s built-in PNG encoder: a fixed identifier, the same on every version of Windows.
const CLSID kPngEncoder = {
    0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

bool WritePng(HBITMAP bitmap, const std::wstring& path) {
    // Without GDI+ the chart is not saved, and the user is told so.
    if (!LoadSystemDll(L"gdiplus.dll"))
        return false;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return false;
    bool written = false;
    {
        Gdiplus::Bitmap image(bitmap, nullptr);
        written = image.Save(path.c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
    }  // the image goes before GDI+ shuts down
    Gdiplus::GdiplusShutdown(token);
    return written;
}

}  // namespace

bool CopyTextToClipboard(HWND owner, const std::string& text) {
    const std::wstring wide = ToUtf16(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr)
        return false;
    std::memcpy(GlobalLock(memory), wide.c_str(), bytes);
    GlobalUnlock(memory);
    if (!OpenClipboard(owner)) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    const bool taken = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    if (!taken)
        GlobalFree(memory);  // the clipboard owns it only once taken
    return taken;
}

bool SaveChartPng(const std::wstring& path, SIZE size, HFONT font, const ChartData& data,
                  const ChartView& view) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size.cx, size.cy);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    HGDIOBJ oldFont = SelectObject(memory, font);
    // As the Qt chart saves it: the picture with its legend, without the words under it.
    ChartColumns columns;
    PaintChartGdi(memory, RECT{0, 0, size.cx, size.cy}, data, view, columns, false, false);
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    DeleteDC(memory);
    const bool written = WritePng(bitmap, path);
    DeleteObject(bitmap);
    return written;
}

bool SaveChartPngAs(HWND owner, SIZE size, HFONT font, const ChartData& data,
                    const ChartView& view) {
    wchar_t path[MAX_PATH] = L"chart.png";
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"PNG image (*.png)\0*.png\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = L"png";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog))
        return false;

    const bool written = SaveChartPng(path, size, font, data, view);
    if (!written) {
        MessageBoxOnOwner(owner, L"The chart could not be saved as " + std::wstring(path),
                          L"Save chart", MB_OK | MB_ICONWARNING);
    }
    return written;
}

}  // namespace ui::win32
