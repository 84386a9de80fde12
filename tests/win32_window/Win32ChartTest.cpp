// The chart on Win32: reached by Tab after the button before it, paused by Space, its cursor
// walked by the arrows.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/win32_window/TestForm.h"
#include "window/win32/ChartControl.h"
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
    chart.chartSeries = {{"Position", "°", ChartSeriesKind::Line},
                         {"E-STOP pressed", "", ChartSeriesKind::Band}};
    layout.controls.push_back(chart);
    win32::Win32Window window(layout);
    LoggingHandlers handlers;
    window.Load(handlers);
    window.Show();
    for (int i = 0; i < 100; ++i)
        window.AddChartSample("chtTest", {i * 0.2, {double(i), i % 20 < 5 ? 1.0 : 0.0}});
    window.ProcessEvents();

    HWND chartWindow = window.ControlHandle("chtTest");
    EXPECT_EQ(GetNextDlgTabItem(window.FormHandle(), window.ControlHandle("Go"), FALSE),
              chartWindow);
    const ChartView& view = *win32::ChartViewOf(chartWindow);
    EXPECT_FALSE(view.Paused());
    const struct {
        WPARAM key;
        bool paused;
        double cursor;
    } steps[] = {{VK_SPACE, true, 19.8},
                 {VK_LEFT, true, 19.6},
                 {VK_HOME, true, 0},
                 {VK_RIGHT, true, 0.2},
                 {VK_SPACE, false, -1}};
    for (const auto& step : steps) {
        SendMessageW(chartWindow, WM_KEYDOWN, step.key, 0);
        UpdateWindow(chartWindow);  // drawn with the cursor, without fault
        EXPECT_EQ(view.Paused(), step.paused) << step.key;
        EXPECT_NEAR(view.Cursor().value_or(-1), step.cursor, 1e-9) << step.key;
    }
    window.Unload();
}

}  // namespace
}  // namespace ui::test
