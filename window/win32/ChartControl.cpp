#include "window/win32/ChartControl.h"

#include <algorithm>
#include <map>
#include <memory>

#include "window/chart/FoldMemory.h"
#include "window/win32/ChartExport.h"
#include "window/win32/ChartGdi.h"
#include "window/win32/WindowClass.h"

namespace ui::win32 {

namespace {

constexpr wchar_t kChartClassName[] = L"DrivantaChart";
constexpr wchar_t kPlotClassName[] = L"DrivantaChartPlot";
constexpr int kGap = 4;

struct ChartState {
    explicit ChartState(const ControlSpec& spec) : data(spec.chartSeries, spec.chartCapacity) {}
    ChartData data;
    ChartView view;
    ChartColumns columns;  // kept between paints: each reads only the new samples
    HFONT font = nullptr;
    std::string foldMemory;
    bool folded = false;
    int unfoldedHeight = 0;
};

// Each chart's state, from AttachChart to the container's end. Windows live on one thread.
std::map<HWND, std::unique_ptr<ChartState>>& States() {
    static std::map<HWND, std::unique_ptr<ChartState>> states;
    return states;
}

ChartState* StateOf(HWND chart) {
    const auto it = States().find(chart);
    return it != States().end() ? it->second.get() : nullptr;
}

HWND Part(HWND chart, ChartPart part) {
    return GetDlgItem(chart, part);
}

int ClientHeight(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    return r.bottom;
}

int WindowHeight(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r.bottom - r.top;
}

SIZE TextSize(HWND window, HFONT font, const std::wstring& text) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size;
}

// The row's height: a push button's, for the font the form gave the chart.
int RowHeight(HWND chart, const ChartState& state) {
    return TextSize(chart, state.font, L"Xg").cy * 7 / 4;
}

// The row from the left (the fold button alone at the right), the drawing under it.
void Arrange(HWND chart, const ChartState& state) {
    RECT client;
    GetClientRect(chart, &client);
    const int row = RowHeight(chart, state);
    int x = 0;
    for (const ChartPart part : {kChartPause, kChartSpan, kChartCopy, kChartSave}) {
        const int width = part == kChartSpan
                              ? TextSize(chart, state.font, L"10 min").cx + 40
                              : TextSize(chart, state.font, L"Sa&ve PNG\u2026").cx + 16;
        // A drop-down list's height is its open height; the closed box sizes itself to the font.
        MoveWindow(Part(chart, part), x, 0, width, part == kChartSpan ? row * 6 : row, TRUE);
        x += width + kGap;
    }
    const int foldWidth = TextSize(chart, state.font, L"S&how chart").cx + 16;
    MoveWindow(Part(chart, kChartFold), client.right - foldWidth, 0, foldWidth, row, TRUE);
    MoveWindow(Part(chart, kChartPlot), 0, row + kGap, client.right,
               std::max<int>(0, client.bottom - row - kGap), TRUE);
}

void ShowView(HWND chart, const ChartState& state) {
    SetWindowTextW(Part(chart, kChartPause), state.view.Paused() ? L"&Resume" : L"&Pause");
    InvalidateRect(Part(chart, kChartPlot), nullptr, FALSE);
}

void SetFolded(HWND chart, ChartState& state, bool folded) {
    if (folded == state.folded)
        return;
    state.folded = folded;
    for (const ChartPart part : {kChartPlot, kChartPause, kChartSpan, kChartCopy, kChartSave})
        ShowWindow(Part(chart, part), folded ? SW_HIDE : SW_SHOWNA);
    SetWindowTextW(Part(chart, kChartFold), folded ? L"S&how chart" : L"&Hide chart");
    // Folded, the fold button is all there is; the edges around the client area stay.
    const int before = WindowHeight(chart);
    const int edges = before - ClientHeight(chart);
    if (folded)
        state.unfoldedHeight = before;
    const int after = folded ? RowHeight(chart, state) + edges : state.unfoldedHeight;
    RECT r;
    GetWindowRect(chart, &r);
    SetWindowPos(chart, nullptr, 0, 0, r.right - r.left, after,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(GetParent(chart), kChartHeightChanged, 0, after - before);
}

void OnCommand(HWND chart, ChartState& state, int id, int code) {
    switch (id) {
        case kChartPause:
            state.view.TogglePause(state.data);
            break;
        case kChartSpan:
            if (code != CBN_SELCHANGE)
                return;
            state.view.ChooseSpan(static_cast<std::size_t>(
                SendMessageW(Part(chart, kChartSpan), CB_GETCURSEL, 0, 0)));
            break;
        case kChartCopy: {
            const TimeSpan shown = state.view.Visible(state.data);
            CopyTextToClipboard(chart, state.data.Csv(shown.from, shown.to));
            return;
        }
        case kChartSave: {
            RECT plot;
            GetClientRect(Part(chart, kChartPlot), &plot);
            SaveChartPngAs(chart, SIZE{plot.right, plot.bottom}, state.font, state.data,
                           state.view);
            return;
        }
        case kChartFold:
            SetFolded(chart, state, !state.folded);
            RememberFolded(state.foldMemory, state.folded);
            return;
        default:
            return;
    }
    ShowView(chart, state);
}

// Drawn into a bitmap first, then copied: a chart redrawn five times a second must not flicker.
void Paint(HWND plot, ChartState& state) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(plot, &ps);
    RECT client;
    GetClientRect(plot, &client);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    HGDIOBJ oldFont = SelectObject(memory, state.font);
    // The words at the foot too: the Win32 chart has no other place for them.
    PaintChartGdi(memory, client, state.data, state.view, state.columns, true, GetFocus() == plot);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    EndPaint(plot, &ps);
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

void CursorToPointer(HWND plot, ChartState& state, LPARAM position) {
    if (!state.view.Paused())
        return;
    state.view.PlaceCursorAcross(
        state.data, FractionAcross(plot, state.font, static_cast<short>(LOWORD(position))));
}

LRESULT CALLBACK PlotProc(HWND plot, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND chart = GetParent(plot);
    ChartState* state = StateOf(chart);
    switch (message) {
        case WM_GETDLGCODE:
            // The arrows and Space are the chart's, not the dialog manager's.
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_KEYDOWN:
            if (state != nullptr && OnKey(*state, wParam)) {
                ShowView(chart, *state);
                return 0;
            }
            break;
        case WM_LBUTTONDOWN:
            SetFocus(plot);
            [[fallthrough]];
        case WM_MOUSEMOVE:
            if (state != nullptr && state->view.Paused()) {
                CursorToPointer(plot, *state, lParam);
                ShowView(chart, *state);
            }
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(plot, nullptr, FALSE);  // the focus frame
            break;
        case WM_ERASEBKGND:
            return 1;  // the paint covers it all
        case WM_PAINT:
            if (state != nullptr) {
                Paint(plot, *state);
                return 0;
            }
            break;
    }
    return DefWindowProcW(plot, message, wParam, lParam);
}

LRESULT CALLBACK ChartProc(HWND chart, UINT message, WPARAM wParam, LPARAM lParam) {
    ChartState* state = StateOf(chart);
    switch (message) {
        case WM_COMMAND:
            if (state != nullptr)
                OnCommand(chart, *state, LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_SIZE:
            if (state != nullptr && !state->folded)
                Arrange(chart, *state);
            return 0;
        case WM_NCDESTROY:
            States().erase(chart);
            break;
    }
    return DefWindowProcW(chart, message, wParam, lParam);
}

HWND CreatePart(HWND chart, ChartPart part, const wchar_t* className, const wchar_t* text,
                DWORD style, DWORD exStyle, HFONT font) {
    HWND child = CreateWindowExW(
        exStyle, className, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 0, 0, 0, 0, chart,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(part)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

}  // namespace

const wchar_t* ChartWindowClass() {
    RegisterWindowClassOnce(kChartClassName, ChartProc,
                            reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    RegisterWindowClassOnce(kPlotClassName, PlotProc, nullptr);
    return kChartClassName;
}

void AttachChart(HWND chart, const ControlSpec& spec, HFONT font, std::string foldMemory) {
    auto owned = std::make_unique<ChartState>(spec);
    ChartState& state = *owned;
    state.font = font;
    state.foldMemory = std::move(foldMemory);
    States()[chart] = std::move(owned);
    // Created in tab order: the drawing, which Tab reaches first, then the row's buttons.
    CreatePart(chart, kChartPlot, kPlotClassName, L"", 0, WS_EX_STATICEDGE, font);
    CreatePart(chart, kChartPause, L"BUTTON", L"&Pause", BS_PUSHBUTTON, 0, font);
    HWND span =
        CreatePart(chart, kChartSpan, L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL, 0, font);
    for (const wchar_t* choice : {L"10 s", L"60 s", L"10 min"})
        SendMessageW(span, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice));
    SendMessageW(span, CB_SETCURSEL, state.view.SpanIndex(), 0);
    CreatePart(chart, kChartCopy, L"BUTTON", L"&Copy CSV", BS_PUSHBUTTON, 0, font);
    CreatePart(chart, kChartSave, L"BUTTON", L"Sa&ve PNG\u2026", BS_PUSHBUTTON, 0, font);
    CreatePart(chart, kChartFold, L"BUTTON", L"&Hide chart", BS_PUSHBUTTON, 0, font);
    Arrange(chart, state);
    SetFolded(chart, state, RecallFolded(state.foldMemory).value_or(false));
}

int RescaleChart(HWND chart, HFONT font, int unfoldedHeight) {
    ChartState* state = StateOf(chart);
    if (state == nullptr)
        return 0;
    state->font = font;
    for (const ChartPart part :
         {kChartPlot, kChartPause, kChartSpan, kChartCopy, kChartSave, kChartFold})
        SendMessageW(Part(chart, part), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    state->unfoldedHeight = unfoldedHeight;
    const int edges = WindowHeight(chart) - ClientHeight(chart);
    const int height = state->folded ? RowHeight(chart, *state) + edges : unfoldedHeight;
    RECT r;
    GetWindowRect(chart, &r);
    SetWindowPos(chart, nullptr, 0, 0, r.right - r.left, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Its size may be unchanged while its font is not: arranged here, not only on WM_SIZE.
    Arrange(chart, *state);
    return unfoldedHeight - height;
}

void AddChartSample(HWND chart, const ChartSample& sample) {
    ChartState* state = StateOf(chart);
    if (state == nullptr)
        return;
    state->data.Add(sample);
    InvalidateRect(Part(chart, kChartPlot), nullptr, FALSE);
}

const ChartView* ChartViewOf(HWND chart) {
    const ChartState* state = StateOf(chart);
    return state != nullptr ? &state->view : nullptr;
}

bool ChartFolded(HWND chart) {
    const ChartState* state = StateOf(chart);
    return state != nullptr && state->folded;
}

}  // namespace ui::win32
