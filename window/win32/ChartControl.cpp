#include "window/win32/ChartControl.h"

#include <map>
#include <memory>

#include "window/win32/ChartGdi.h"

namespace ui::win32 {

namespace {

constexpr wchar_t kChartClassName[] = L"DrivantaChart";

struct ChartState {
    explicit ChartState(const ControlSpec& spec) : data(spec.chartSeries, spec.chartCapacity) {}
    ChartData data;
    ChartView view;
};

// Each chart window's state, from AttachChart to the window's end. Windows live on one thread.
std::map<HWND, std::unique_ptr<ChartState>>& States() {
    static std::map<HWND, std::unique_ptr<ChartState>> states;
    return states;
}

ChartState* StateOf(HWND chart) {
    const auto it = States().find(chart);
    return it != States().end() ? it->second.get() : nullptr;
}

// Drawn into a bitmap first, then copied: a chart redrawn five times a second must not flicker.
void Paint(HWND chart, ChartState& state) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(chart, &ps);
    RECT client;
    GetClientRect(chart, &client);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    HGDIOBJ oldFont =
        SelectObject(memory, reinterpret_cast<HFONT>(SendMessageW(chart, WM_GETFONT, 0, 0)));
    PaintChartGdi(memory, client, state.data, state.view, GetFocus() == chart);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    EndPaint(chart, &ps);
}

bool OnKey(ChartState& state, WPARAM key) {
    static const std::map<WPARAM, ChartKey> keys{{VK_SPACE, ChartKey::PauseOrResume},
                                                 {VK_LEFT, ChartKey::Back},
                                                 {VK_RIGHT, ChartKey::On},
                                                 {VK_HOME, ChartKey::First},
                                                 {VK_END, ChartKey::Last}};
    const auto found = keys.find(key);
    if (found == keys.end())
        return false;
    state.view.Press(state.data, found->second, GetKeyState(VK_SHIFT) < 0);
    return true;
}

LRESULT CALLBACK ChartProc(HWND chart, UINT message, WPARAM wParam, LPARAM lParam) {
    ChartState* state = StateOf(chart);
    switch (message) {
        case WM_GETDLGCODE:
            // The arrows and Space are the chart's, not the dialog manager's.
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_KEYDOWN:
            if (state != nullptr && OnKey(*state, wParam)) {
                InvalidateRect(chart, nullptr, FALSE);
                return 0;
            }
            break;
        case WM_LBUTTONDOWN:
            SetFocus(chart);
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(chart, nullptr, FALSE);  // the focus frame
            break;
        case WM_ERASEBKGND:
            return 1;  // the paint covers it all
        case WM_PAINT:
            if (state != nullptr) {
                Paint(chart, *state);
                return 0;
            }
            break;
        case WM_NCDESTROY:
            States().erase(chart);
            break;
    }
    return DefWindowProcW(chart, message, wParam, lParam);
}

}  // namespace

const wchar_t* ChartWindowClass() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExW(instance, kChartClassName, &existing)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = ChartProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kChartClassName;
        RegisterClassExW(&wc);
    }
    return kChartClassName;
}

void AttachChart(HWND chart, const ControlSpec& spec) {
    States()[chart] = std::make_unique<ChartState>(spec);
}

void AddChartSample(HWND chart, const ChartSample& sample) {
    ChartState* state = StateOf(chart);
    if (state == nullptr)
        return;
    state->data.Add(sample);
    InvalidateRect(chart, nullptr, FALSE);
}

const ChartView* ChartViewOf(HWND chart) {
    const ChartState* state = StateOf(chart);
    return state != nullptr ? &state->view : nullptr;
}

}  // namespace ui::win32
