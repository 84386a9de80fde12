// The window layer on plain Win32: one top-level window of fixed size whose client area is the
// layout's (scrolled where the screen is shorter), with a USER32 child control per layout control
// and SetTimer for timers. Only this folder includes windows.h; the programs see ui::Window.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "window/Window.h"
#include "window/win32/AccessibleNames.h"
#include "window/win32/FormControls.h"
#include "window/win32/FormScroller.h"
#include "window/win32/GdiResources.h"
#include "window/win32/ToolTips.h"

namespace ui::win32 {

class Win32Window : public Window {
  public:
    explicit Win32Window(const FormLayout& layout);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    // Creates the window and runs Form_Load, without an event loop: Run() is Load() followed by
    // the loop. Tests call Load() and pump with ProcessEvents().
    void Load(FormHandlers& handlers);

    HWND FormHandle() const { return hwnd_; }
    HWND ControlHandle(const std::string& name) const;
    HWND ToolTipHandle() const { return toolTips_.Handle(); }
    int LogicalDpi() const { return dpi_; }

    int Run(FormHandlers& handlers) override;
    void Show() override;
    void SetText(const std::string& control, const std::string& text) override;
    std::string Text(const std::string& control) const override;
    void SetEnabled(const std::string& control, bool enabled) override;
    void SetVisible(const std::string& control, bool visible) override;
    void SetWidth(const std::string& control, double twips) override;
    double Width(const std::string& control) const override;
    void SetBackColor(const std::string& control, ColorRef color) override;
    void Refresh(const std::string& control) override;
    void ProcessEvents() override;
    void ProcessPaintEvents() override;
    void Unload() override;
    bool IsUnloaded() const override { return unloaded_; }
    void SetTitle(const std::string& title) override;
    std::string Title() const override { return title_; }
    void SetToolTip(const std::string& control, const std::string& text) override;
    bool Confirm(const std::string& question, const std::string& acceptCaption) override;
    void SetItems(const std::string& control, const std::vector<std::string>& items) override;
    void SetChoice(const std::string& control, int index) override;
    int Choice(const std::string& control) const override;
    void AddChartSample(const std::string& control, const ChartSample& sample) override;
    std::string DecimalSeparator() const override;

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateFormWindow();
    void SetIcons();
    void OnDpiChanged(int dpi, const RECT& suggested);
    bool SizeAtDpi(int dpi, SIZE& size) const;
    void OnCommand(int id, int code, HWND control);
    void OnChooserCommand(FormControl& chooser, int code);
    // The control of a WM_COMMAND, if the user may work it: enabled and shown.
    FormControl* CommandSource(int id, int code, HWND control);
    void ShowChosenLineWhole(const FormControl& chooser);
    int ClientWidth() const { return ClientWidthAt(dpi_); }
    int ClientWidthAt(int dpi) const;
    void OnTimer();
    void OnClose();
    LRESULT OnControlColor(HDC dc, HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    void StartOrStopTimer(const FormControl& timer);
    static bool ShowsText(const FormControl& c, const std::string& text);
    void FocusFirstButton();
    void DispatchOne(MSG& msg);
    // A live control by name: nullptr once unloaded or when the layout has no such control.
    FormControl* Live(const std::string& name);

    FormLayout layout_;
    FormControls controls_;
    int dpi_;
    GdiResources gdi_;
    FormScroller scroller_;
    int contentHeight_ = 0;  // the form's client height in pixels, less a folded chart
    HWND lastFocus_ = nullptr;
    ToolTips toolTips_;
    AccessibleNames accessibleNames_;
    std::string title_;
    FormHandlers* handlers_ = nullptr;
    HWND hwnd_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HWND focusBeforeDeactivation_ = nullptr;
    bool looping_ = false;  // Run's loop is there to take the WM_QUIT that Unload posts
    bool unloading_ = false;
    bool unloaded_ = false;
    bool inTick_ = false;
    bool asking_ = false;                    // a Confirm question is open: the timers wait
    bool closeAskedDuringQuestion_ = false;  // a close came while the question was open
};

}  // namespace ui::win32
