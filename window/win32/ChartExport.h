// What the chart's buttons hand to the rest of the system: the data shown as CSV on the
// clipboard, and the drawing as a PNG file.
#pragma once

#include <windows.h>

#include <string>

#include "window/chart/ChartData.h"
#include "window/chart/ChartView.h"

namespace ui::win32 {

// Unicode text, so that the degree sign survives the trip to a spreadsheet. False when another
// program holds the clipboard.
bool CopyTextToClipboard(HWND owner, const std::string& text);
// Asks where (the usual save dialog, owned by `owner`), then draws the chart at `size` into a
// bitmap and writes it with GDI+'s PNG encoder. False when the user cancelled or it failed.
bool SaveChartPngAs(HWND owner, SIZE size, HFONT font, const ChartData& data,
                    const ChartView& view);

}  // namespace ui::win32
