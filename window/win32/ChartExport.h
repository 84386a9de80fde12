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
// Draws the chart's picture at `size` into a bitmap (without the words at its foot, as every
// toolkit saves it) and writes it to `path` with GDI+'s PNG encoder.
bool SaveChartPng(const std::wstring& path, SIZE size, HFONT font, const ChartData& data,
                  const ChartView& view);
// Asks where (the usual save dialog, owned by `owner`), then saves it so; says so when it could
// not. False when the user cancelled or it failed.
bool SaveChartPngAs(HWND owner, SIZE size, HFONT font, const ChartData& data,
                    const ChartView& view);

}  // namespace ui::win32
