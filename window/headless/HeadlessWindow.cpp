#include "window/headless/HeadlessWindow.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <stdexcept>

#include "window/Accessibility.h"

namespace ui {

namespace {

// The shortest text that reads back as the same number: a transfer sets a width per record, and
// printf's formatting cost more than the rest of the record's work together.
std::string FormatDouble(double v) {
    char buf[64];
    const std::to_chars_result end = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, end.ptr);
}

}  // namespace

HeadlessWindow::HeadlessWindow(const FormLayout& layout, std::string decimalSeparator)
    : layout_(layout), decimalSeparator_(std::move(decimalSeparator)), title_(layout.caption) {
    for (const auto& spec : layout_.controls) {
        ControlState state;
        state.spec = spec;
        state.text = spec.caption;
        state.enabled = spec.enabled;
        state.visible = spec.visible;
        state.width = spec.width;
        state.backColor = spec.backColor;
        state.accessibleName = AccessibleName(layout_, spec);
        if (spec.kind == ControlKind::Chart)
            state.chart.emplace(spec.chartSeries, spec.chartCapacity);
        controls_[spec.name] = state;
    }
}

void HeadlessWindow::Load(FormHandlers& handlers) {
    handlers_ = &handlers;
    ++handlerDepth_;
    handlers.Form_Load();
    EndHandler();
}

int HeadlessWindow::Run(FormHandlers& handlers) {
    Load(handlers);
    return 0;
}

void HeadlessWindow::Click(const std::string& control) {
    if (unloaded_ || handlers_ == nullptr)
        return;
    const ControlState& c = Control(control);
    if (!c.enabled || !c.visible)
        return;
    Record("click", control);
    ++handlerDepth_;
    handlers_->Click(control);
    EndHandler();
}

void HeadlessWindow::Choose(const std::string& control, int index) {
    if (unloaded_ || handlers_ == nullptr)
        return;
    ControlState& c = Mutable(control);
    if (!c.enabled || !c.visible || index < 0 || index >= static_cast<int>(c.items.size()))
        return;
    c.choice = index;
    Record("chosen", control, std::to_string(index));
    ++handlerDepth_;
    handlers_->Chosen(control, index);
    EndHandler();
}

void HeadlessWindow::Tick() {
    if (unloaded_ || handlers_ == nullptr || !TimerEnabled())
        return;
    Record("timer-tick", "Timer");
    ++handlerDepth_;
    handlers_->Timer_Timer();
    EndHandler();
}

bool HeadlessWindow::RequestClose() {
    if (unloaded_ || handlers_ == nullptr)
        return unloaded_;
    Record("close-request", "");
    if (handlers_->Form_QueryUnload())
        Unload();
    return unloaded_;
}

bool HeadlessWindow::TimerEnabled() const {
    return std::ranges::any_of(controls_, [](const auto& entry) {
        return entry.second.spec.kind == ControlKind::Timer && entry.second.enabled;
    });
}

const ControlState& HeadlessWindow::Control(const std::string& name) const {
    auto it = controls_.find(name);
    if (it == controls_.end())
        throw std::out_of_range("no control named " + name);
    return it->second;
}

ControlState& HeadlessWindow::Mutable(const std::string& name) {
    auto it = controls_.find(name);
    if (it == controls_.end())
        throw std::out_of_range("no control named " + name);
    return it->second;
}

std::vector<WindowEvent> HeadlessWindow::EventsFor(const std::string& control) const {
    std::vector<WindowEvent> out;
    for (const auto& e : events_) {
        if (e.control == control)
            out.push_back(e);
    }
    return out;
}

void HeadlessWindow::KeepEventLog(bool keep) {
    keepEventLog_ = keep;
    if (!keep)
        events_ = {};
}

void HeadlessWindow::Record(const char* what, const std::string& control, std::string_view value) {
    if (!keepEventLog_)
        return;
    if (events_.size() == kEventLogLimit) {
        events_.erase(events_.begin(),
                      events_.begin() + static_cast<std::ptrdiff_t>(kEventLogLimit / 2));
    }
    events_.push_back(WindowEvent{what, control, std::string(value)});
}

void HeadlessWindow::Show() {
    if (unloaded_)
        return;
    shown_ = true;
    Record("show", "");
}

void HeadlessWindow::SetText(const std::string& control, const std::string& text) {
    if (unloaded_)
        return;
    ControlState& c = Mutable(control);
    const bool changed = c.text != text;
    c.text = text;
    Record("text", control, text);
    if (changed && c.spec.announced) {
        if (announcements_.size() >= kEventLogLimit)
            announcements_.erase(announcements_.begin(),
                                 announcements_.begin() + kEventLogLimit / 2);
        announcements_.push_back({"announce", control, text});
    }
}

void HeadlessWindow::SetItems(const std::string& control, const std::vector<std::string>& items) {
    if (unloaded_)
        return;
    ControlState& c = Mutable(control);
    c.items = items;
    c.choice = -1;
    std::string lines;
    for (const std::string& item : items)
        lines += item + "\n";
    Record("items", control, lines);
}

void HeadlessWindow::SetChoice(const std::string& control, int index) {
    if (unloaded_)
        return;
    ControlState& c = Mutable(control);
    c.choice = index >= 0 && index < static_cast<int>(c.items.size()) ? index : -1;
    Record("choice", control, std::to_string(c.choice));
}

std::string HeadlessWindow::Text(const std::string& control) const {
    return Control(control).text;
}

void HeadlessWindow::SetEnabled(const std::string& control, bool enabled) {
    if (unloaded_)
        return;
    Mutable(control).enabled = enabled;
    Record("enabled", control, enabled ? "true" : "false");
}

void HeadlessWindow::SetVisible(const std::string& control, bool visible) {
    if (unloaded_)
        return;
    Mutable(control).visible = visible;
    Record("visible", control, visible ? "true" : "false");
}

void HeadlessWindow::SetWidth(const std::string& control, double twips) {
    if (unloaded_)
        return;
    Mutable(control).width = twips;
    if (keepEventLog_)
        Record("width", control, FormatDouble(twips));
}

double HeadlessWindow::Width(const std::string& control) const {
    return Control(control).width;
}

void HeadlessWindow::SetBackColor(const std::string& control, ColorRef color) {
    if (unloaded_)
        return;
    Mutable(control).backColor = color;
    if (keepEventLog_)
        Record("backcolor", control, std::to_string(color));
}

void HeadlessWindow::Refresh(const std::string& control) {
    if (unloaded_)
        return;
    Control(control);
    Record("refresh", control);
}

void HeadlessWindow::SetTitle(const std::string& title) {
    if (unloaded_)
        return;
    title_ = title;
    Record("title", "", title);
}

void HeadlessWindow::SetToolTip(const std::string& control, const std::string& text) {
    if (unloaded_)
        return;
    Mutable(control).toolTip = text;
    Record("tooltip", control, text);
}

bool HeadlessWindow::Confirm(const std::string& question, const std::string& /*acceptCaption*/) {
    if (unloaded_)
        return false;
    Record("confirm", "", question);
    const bool accepted = AnswerConfirmation ? AnswerConfirmation(question) : false;
    Record("confirm-answer", "", accepted ? "accept" : "cancel");
    return accepted;
}

void HeadlessWindow::ProcessEvents() {
    if (unloaded_)
        return;
    ++processEventsCount_;
    Record("events", "");
    if (OnProcessEvents)
        OnProcessEvents(processEventsCount_);
}

void HeadlessWindow::ProcessPaintEvents() {
    if (unloaded_)
        return;
    ++paintEventsCount_;
    Record("paint-events", "");
    if (OnProcessPaintEvents)
        OnProcessPaintEvents(paintEventsCount_);
}

void HeadlessWindow::Unload() {
    if (unloaded_)
        return;
    Record("unload", "");
    if (handlers_ != nullptr)
        handlers_->Form_Unload();
    unloaded_ = true;
    if (handlerDepth_ == 0)
        Terminate();
}

void HeadlessWindow::EndHandler() {
    if (--handlerDepth_ == 0 && unloaded_)
        Terminate();
}

// The window object goes once no handler of it is running any more, as when the event loop ends.
void HeadlessWindow::Terminate() {
    if (terminated_ || handlers_ == nullptr)
        return;
    terminated_ = true;
    handlers_->Form_Terminate();
}

// Kept, not logged: a sample every tick would crowd every other change out of the event log.
void HeadlessWindow::AddChartSample(const std::string& control, const ChartSample& sample) {
    if (unloaded_)
        return;
    ControlState& c = Mutable(control);
    if (c.chart)
        c.chart->Add(sample);
}

}  // namespace ui
