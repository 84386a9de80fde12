// The chart on Win32: reached by Tab after the button before it, paused by Space or its button,
// its cursor walked by the arrows and placed by the pointer; folded, the form shrinks.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/win32_window/TestForm.h"
#include "window/win32/ChartControl.h"
#include "window/win32/ChartExport.h"
#include "window/win32/ChartGdi.h"
#include "window/win32/Win32Window.h"

namespace ui::test {
namespace {

TEST(Win32ChartTest, TabReachesItAndKeysPauseAndMoveTheCursor) {
    FormLayout layout;
    layout.caption = "Chart";
    layout.clientWidth = 8100;
    layout.clientHeight = 4800;
    layout.controls.push_back(MakeControl("Go", ControlKind::Button, "Go", 120, 120, 1500, 495));
    ControlSpec chart = MakeControl("chtTest", ControlKind::Chart, "", 120, 720, 7860, 4000);
    chart.chartSeries = {{"Position", "°", ChartSeriesKind::Line, {}},
                         {"E-STOP pressed", "", ChartSeriesKind::Band, {}}};
    layout.controls.push_back(chart);
    // What the user folded is remembered under %APPDATA%: a folder of the test's own.
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string appData =
        std::string(folder) + "chart-test-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(appData.c_str(), nullptr);
    _putenv_s("APPDATA", appData.c_str());
    win32::Win32Window window(layout);
    LoggingHandlers handlers;
    window.Load(handlers);
    window.Show();
    for (int i = 0; i < 100; ++i)
        window.AddChartSample("chtTest", {i * 0.2, {double(i), i % 20 < 5 ? 1.0 : 0.0}, {}, 0});
    window.ProcessEvents();

    HWND chartWindow = window.ControlHandle("chtTest");
    HWND plot = GetDlgItem(chartWindow, win32::kChartPlot);
    EXPECT_EQ(GetNextDlgTabItem(window.FormHandle(), window.ControlHandle("Go"), FALSE), plot);
    const ChartView& view = *win32::ChartViewOf(chartWindow);
    EXPECT_FALSE(view.Paused());
    // Nine tenths across the time axis, in the chart's font.
    const auto font = reinterpret_cast<HFONT>(
        SendMessageW(GetDlgItem(chartWindow, win32::kChartPause), WM_GETFONT, 0, 0));
    int across = 0;
    while (win32::FractionAcross(plot, font, across) < 0.9)
        ++across;
    const LPARAM pointer = MAKELPARAM(across, 20);
    const struct {
        UINT message;  // a key to the drawing, the pointer over it, or a click on a button
        WPARAM what;
        bool paused;
        double cursor;
    } steps[] = {{WM_KEYDOWN, VK_SPACE, true, 19.8},
                 {WM_KEYDOWN, VK_LEFT, true, 19.6},
                 {WM_MOUSEMOVE, 0, true, 13.8},  // 0.9 of the 60 s shown, -40.2 s to 19.8 s
                 {WM_KEYDOWN, VK_HOME, true, 0},
                 {WM_KEYDOWN, VK_RIGHT, true, 0.2},
                 {BM_CLICK, win32::kChartPause, false, -1},
                 {BM_CLICK, win32::kChartPause, true, 19.8}};
    for (const auto& step : steps) {
        if (step.message == BM_CLICK)
            SendMessageW(GetDlgItem(chartWindow, int(step.what)), BM_CLICK, 0, 0);
        else
            SendMessageW(plot, step.message, step.what, step.message == WM_MOUSEMOVE ? pointer : 0);
        UpdateWindow(plot);  // drawn with the cursor, without fault
        EXPECT_EQ(view.Paused(), step.paused) << step.message << " " << step.what;
        EXPECT_NEAR(view.Cursor().value_or(-1), step.cursor, 0.15) << step.what;  // a sample
    }

    // Folded and unfolded again, the form comes back to its height; the next one opens folded.
    RECT before;
    GetWindowRect(window.FormHandle(), &before);
    HWND fold = GetDlgItem(chartWindow, win32::kChartFold);
    SendMessageW(fold, BM_CLICK, 0, 0);
    RECT folded;
    GetWindowRect(window.FormHandle(), &folded);
    EXPECT_LT(folded.bottom - folded.top, before.bottom - before.top - 150);
    EXPECT_FALSE(IsWindowVisible(plot));
    win32::Win32Window next(layout);
    next.Load(handlers);
    EXPECT_TRUE(win32::ChartFolded(next.ControlHandle("chtTest")));
    next.Unload();
    SendMessageW(fold, BM_CLICK, 0, 0);
    RECT unfolded;
    GetWindowRect(window.FormHandle(), &unfolded);
    EXPECT_EQ(unfolded.bottom - unfolded.top, before.bottom - before.top);
    window.Unload();
}

// Saved, the drawing is a PNG file of the drawing's size (GDI+'s encoder, found by its identifier).
TEST(Win32ChartTest, SavesThePictureAsPng) {
    ChartData data({{"Position", "°", ChartSeriesKind::Line, {}}}, 100);
    for (int i = 0; i < 100; ++i)
        data.Add({i * 0.2, {double(i % 7)}, {}, 0});
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"chart-test.png";
    ASSERT_TRUE(win32::SaveChartPng(path, SIZE{320, 200}, nullptr, data, ChartView()));
    unsigned char head[24] = {};
    FILE* file = _wfopen(path.c_str(), L"rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(fread(head, 1, sizeof head, file), sizeof head);
    fclose(file);
    DeleteFileW(path.c_str());
    EXPECT_EQ(std::string(reinterpret_cast<char*>(head + 1), 3), "PNG");
    EXPECT_EQ((head[18] << 8 | head[19]) * 1000 + (head[22] << 8 | head[23]), 320 * 1000 + 200);
}

// The GDI picture has the legend: each series' swatch, in its colour, above the plot.
TEST(Win32ChartTest, DrawsTheLegend) {
    ChartData data({{"Position", "°", ChartSeriesKind::Line, {}},
                    {"Bus voltage", "V", ChartSeriesKind::Line, {}},
                    {"SPI errors", "", ChartSeriesKind::Counter, {}},
                    {"Answer", "", ChartSeriesKind::Band, {}}},
                   0);
    for (int i = 0; i < 100; ++i)
        data.Add({i * 0.2, {double(i), 48, 0, 0}, {}, 0});
    constexpr int kWidth = 640;
    constexpr int kHeight = 320;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    ChartColumns columns;
    win32::PaintChartGdi(dc, RECT{0, 0, kWidth, kHeight}, data, ChartView(), columns, true, false);
    GdiFlush();
    ChartColumns measured;
    const int legendBottom =
        DrawChart(data, ChartView(), kWidth, kHeight, win32::MeasureOf(dc), measured, true)
            .plot.top;
    const auto* pixels = static_cast<const DWORD*>(bits);
    const auto inLegend = [&](ColorRef color) {
        const DWORD rgb = (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
        for (int i = 0; i < kWidth * legendBottom; ++i) {
            if ((pixels[i] & 0xFFFFFF) == rgb)
                return true;
        }
        return false;
    };
    for (const auto& [kind, nth] : {std::pair{ChartSeriesKind::Line, 0},
                                    {ChartSeriesKind::Line, 1},
                                    {ChartSeriesKind::Counter, 0},
                                    {ChartSeriesKind::Band, 0}})
        EXPECT_TRUE(inLegend(StyleOf(kind, std::size_t(nth)).color)) << int(kind) << " " << nth;
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

}  // namespace
}  // namespace ui::test
