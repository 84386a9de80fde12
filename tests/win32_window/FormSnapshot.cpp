// Opens the sample form, fills it as a running program would, and writes what the screen shows
// of it to a 24-bit BMP file (first argument, default form.bmp), to be looked at by eye.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "tests/win32_window/TestForm.h"
#include "window/win32/Win32Window.h"

namespace {

bool WriteBmp(const char* path, HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;  // bottom-up, as BMP files store rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<size_t>(stride) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = std::fopen(path, "wb");
    if (out == nullptr)
        return false;
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&header, sizeof header, 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    ui::win32::Win32Window window{ui::test::SampleForm()};
    ui::test::LoggingHandlers handlers;
    window.Load(handlers);
    if (window.FormHandle() == nullptr)
        return 2;
    window.Show();
    window.SetText("lblManuf", "Drivanta GmbH & Co.");
    window.SetWidth("Pic", 5055 * 0.4);
    window.SetEnabled("Frame1", true);
    window.SetItems("Device", {"Drivanta v2 Servo Amplifier, serial DV2A-010342, port 1-2"});
    window.SetChoice("Device", 0);
    for (int i = 0; i < 20; ++i) {
        window.ProcessEvents();
        Sleep(20);
    }
    bool written = WriteBmp(argc > 1 ? argv[1] : "form.bmp", window.FormHandle());
    window.Unload();
    return written ? 0 : 1;
}
