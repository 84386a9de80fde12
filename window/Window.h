// The window operations the programs use, and only those. Program logic holds a Window& and a
// FormHandlers implementation; a toolkit (Qt, Win32, the terminal or the headless recorder)
// realises both.
//
// Event model, as in the classic single-threaded forms: Run() calls Form_Load, then delivers
// clicks, timer ticks and close requests one at a time. A handler may call ProcessEvents(), which
// delivers whatever is pending (nested) before it returns. A close request asks
// Form_QueryUnload(); when it agrees, Form_Unload runs and the window goes away. After Unload()
// (by the program or an agreed close request) the window is gone: every further operation is a
// harmless no-op and IsUnloaded() is true, so a handler that processed events can tell.
#pragma once

#include <string>
#include <vector>

#include "window/FormLayout.h"
#include "window/chart/ChartData.h"

namespace ui {

class FormHandlers {
  public:
    virtual ~FormHandlers() = default;
    virtual void Form_Load() = 0;
    virtual void Click(const std::string& control) = 0;
    virtual void Timer_Timer() {}
    // The user picked line `index` (from 0) of a Chooser.
    virtual void Chosen(const std::string& /*control*/, int /*index*/) {}
    // The user asked to close the window. Return false to defer: the program then unloads the
    // window itself when it is ready.
    virtual bool Form_QueryUnload() { return true; }
    virtual void Form_Unload() = 0;
    // After the window is gone, before Run() returns.
    virtual void Form_Terminate() {}
    // The status the process exits with once the window is gone: how the program's work ended.
    virtual int ExitStatus() const { return 0; }
};

class Window {
  public:
    virtual ~Window() = default;

    // Realises the layout, runs Form_Load and the event loop until the window is unloaded, then
    // Form_Terminate. Returns the process exit code.
    virtual int Run(FormHandlers& handlers) = 0;

    virtual void Show() = 0;
    virtual void SetText(const std::string& control, const std::string& text) = 0;
    virtual std::string Text(const std::string& control) const = 0;
    virtual void SetEnabled(const std::string& control, bool enabled) = 0;  // "Timer" too
    virtual void SetVisible(const std::string& control, bool visible) = 0;
    virtual void SetWidth(const std::string& control, double twips) = 0;
    virtual double Width(const std::string& control) const = 0;
    virtual void SetBackColor(const std::string& control, ColorRef color) = 0;
    // Repaint one control now, without waiting for the event loop.
    virtual void Refresh(const std::string& control) = 0;
    // Deliver pending window events (input, paint, timers) once, then return.
    virtual void ProcessEvents() = 0;
    // Deliver paint only: the window stays drawn but takes no input.
    virtual void ProcessPaintEvents() = 0;
    // Unload the window: runs Form_Unload, then the window closes and Run() returns.
    virtual void Unload() = 0;
    virtual bool IsUnloaded() const = 0;

    // The text in the window's title bar.
    virtual void SetTitle(const std::string& title) = 0;
    virtual std::string Title() const = 0;
    // The window is drawn on standard error (a terminal's): what it shows needs no line of its own
    // there.
    virtual bool ShowsOnStandardError() const { return false; }
    // The text shown while the pointer rests on the control; empty removes it. Where a caption
    // has to be shortened to fit, the whole text goes here.
    virtual void SetToolTip(const std::string& control, const std::string& text) = 0;
    // Asks the user a question in the platform's own message box, titled with the window's
    // title, with two buttons: acceptCaption and "Cancel", Cancel the default (Return and Escape
    // answer Cancel). Returns true only when the user chose acceptCaption. Events of the window
    // wait while the question is open.
    virtual bool Confirm(const std::string& question, const std::string& acceptCaption) = 0;

    // A Chooser's lines, replacing those it had; nothing is chosen afterwards, and its caption
    // shows. The program's own changes never reach FormHandlers::Chosen.
    virtual void SetItems(const std::string& control, const std::vector<std::string>& items) = 0;
    // Chooses line `index`, or none with -1.
    virtual void SetChoice(const std::string& control, int index) = 0;
    // The line chosen, or -1.
    virtual int Choice(const std::string& control) const = 0;

    // One more sample for a Chart, its values in the order of the chart's series. A toolkit that
    // leaves charts out (the terminal) ignores it.
    virtual void AddChartSample(const std::string& /*control*/, const ChartSample& /*sample*/) {}

    // The user's decimal separator (regional settings), used to show numbers.
    virtual std::string DecimalSeparator() const = 0;
};

}  // namespace ui
