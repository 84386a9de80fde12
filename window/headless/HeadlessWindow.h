// The window realised without a screen, for tests: it keeps every control's state and records
// every change, repaint and round of event processing, so tests can assert what the window shows
// and when. Tests drive it step by step: Load(), Click(), Tick(), RequestClose(); and they can
// act in the middle of a handler through OnProcessEvents, which runs at every ProcessEvents().
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "window/Window.h"
#include "window/chart/ChartView.h"

namespace ui {

struct ControlState {
    ControlSpec spec;
    std::string text;
    std::string toolTip;
    bool enabled = true;
    bool visible = true;
    double width = 0;
    std::optional<ColorRef> backColor;
    std::vector<std::string> items;  // a Chooser's lines
    int choice = -1;
    std::string accessibleName;  // what a screen reader calls it (window/Accessibility.h)
    // A Chart's samples and what of them it shows; empty for every other kind.
    std::optional<ChartData> chart;
    ChartView chartView;
};

struct WindowEvent {
    std::string what;  // "text", "enabled", "visible", "width", "backcolor", "refresh", "events",
                       // "paint-events", "show", "unload", "timer-tick", "click", "close-request",
                       // "title", "tooltip", "confirm" (value: the question), "confirm-answer"
                       // (value: "accept" or "cancel"), "items" (value: the lines, one per
                       // line), "choice" (value: the index), "chosen" (the user's pick)
    std::string control;
    std::string value;
};

class HeadlessWindow : public Window {
  public:
    explicit HeadlessWindow(const FormLayout& layout, std::string decimalSeparator = ".");

    // --- driving ------------------------------------------------------------------------------
    // Runs Form_Load (does not loop): the test then delivers events itself.
    void Load(FormHandlers& handlers);
    // Delivered as the event loop would: ignored once unloaded; a disabled or hidden control
    // takes no click; a tick only while the timer is enabled.
    void Click(const std::string& control);
    void Tick();
    // The user picks line `index` of a Chooser; ignored like a click on a disabled or hidden
    // control, and for a line the chooser does not have.
    void Choose(const std::string& control, int index);
    // The user closes the window (title-bar button). Returns whether the window unloaded.
    bool RequestClose();
    // Called at every ProcessEvents() with its running count (from 1); may call Click(),
    // RequestClose() and so on, which are then delivered inside the handler being run.
    std::function<void(int count)> OnProcessEvents;
    std::function<void(int count)> OnProcessPaintEvents;
    // Answers Confirm(question, acceptCaption) as the user would: true chooses acceptCaption.
    // Unset, every question is cancelled, the message box's default.
    std::function<bool(const std::string& question)> AnswerConfirmation;

    // --- observing ----------------------------------------------------------------------------
    const ControlState& Control(const std::string& name) const;
    // The most recent events, at most kEventLogLimit: when the log fills, its older half goes,
    // so a window driven for hours (a benchmark, a long transfer) holds a bounded log.
    static constexpr std::size_t kEventLogLimit = 1 << 16;
    const std::vector<WindowEvent>& Events() const { return events_; }
    // Keep the event log (the default) or not: a benchmark measures the program, not the log,
    // and without it Events() stays empty. The counts are kept either way.
    void KeepEventLog(bool keep);
    std::vector<WindowEvent> EventsFor(const std::string& control) const;
    // The text changes of announced controls, as assistive technology is told of them (control
    // and new text); kept apart from the event log, and bounded as it is.
    const std::vector<WindowEvent>& Announcements() const { return announcements_; }
    int ProcessEventsCount() const { return processEventsCount_; }
    int PaintEventsCount() const { return paintEventsCount_; }
    bool TimerEnabled() const;
    bool Shown() const { return shown_; }
    bool Terminated() const { return terminated_; }
    const FormLayout& Layout() const { return layout_; }

    // --- Window -------------------------------------------------------------------------------
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
    int Choice(const std::string& control) const override { return Control(control).choice; }
    void AddChartSample(const std::string& control, const ChartSample& sample) override;
    std::string DecimalSeparator() const override { return decimalSeparator_; }

  private:
    ControlState& Mutable(const std::string& name);
    void EndHandler();
    void Terminate();
    void Record(const char* what, const std::string& control, std::string_view value = {});

    FormLayout layout_;
    std::string decimalSeparator_;
    std::string title_;
    std::map<std::string, ControlState> controls_;
    std::vector<WindowEvent> events_;
    std::vector<WindowEvent> announcements_;
    bool keepEventLog_ = true;
    FormHandlers* handlers_ = nullptr;
    int processEventsCount_ = 0;
    int paintEventsCount_ = 0;
    bool shown_ = false;
    bool unloaded_ = false;
    bool terminated_ = false;
    int handlerDepth_ = 0;
};

}  // namespace ui
