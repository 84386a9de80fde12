#include "window/chart/ChartView.h"

#include <algorithm>
#include <cmath>

namespace ui {

void ChartView::ChooseSpan(std::size_t index) {
    span_ = std::min(index, kSpans.size() - 1);
    FollowCursor();
}

TimeSpan ChartView::Visible(const ChartData& data) const {
    const ChartSample* latest = data.Latest();
    const double end = paused_ ? pausedEnd_ : latest != nullptr ? latest->seconds : 0;
    return {end - SpanSeconds(), end};
}

void ChartView::Pause(const ChartData& data) {
    if (paused_)
        return;
    const ChartSample* latest = data.Latest();
    pausedEnd_ = latest != nullptr ? latest->seconds : 0;
    cursor_.reset();
    paused_ = true;
    if (latest != nullptr)
        CursorTo(data, data.Size() - 1);
}

std::optional<std::size_t> ChartView::CursorIndex(const ChartData& data) const {
    if (!paused_ || !cursor_ || data.Size() == 0)
        return std::nullopt;
    const std::size_t oldest = data.Added() - data.Size();
    return std::min(cursorNumber_ < oldest ? 0 : cursorNumber_ - oldest, data.Size() - 1);
}

void ChartView::CursorTo(const ChartData& data, std::size_t index) {
    cursorNumber_ = data.Added() - data.Size() + index;
    cursor_ = data.At(index).seconds;
    FollowCursor();
}

void ChartView::Resume() {
    paused_ = false;
    cursor_.reset();
}

void ChartView::TogglePause(const ChartData& data) {
    if (paused_)
        Resume();
    else
        Pause(data);
}

void ChartView::PlaceCursor(const ChartData& data, double seconds) {
    if (!paused_ || data.Size() == 0)
        return;
    const std::size_t after = data.Between(seconds, seconds).second;
    std::size_t nearest = after == 0 ? 0 : after - 1;
    if (after < data.Size() &&
        std::abs(data.At(after).seconds - seconds) < std::abs(data.At(nearest).seconds - seconds))
        nearest = after;
    CursorTo(data, nearest);
}

void ChartView::StepCursor(const ChartData& data, int steps) {
    if (!paused_ || data.Size() == 0)
        return;
    const long long last = static_cast<long long>(data.Size()) - 1;
    const long long here = static_cast<long long>(CursorIndex(data).value_or(data.Size() - 1));
    const long long target = std::clamp(here + steps, 0LL, last);
    CursorTo(data, static_cast<std::size_t>(target));
}

void ChartView::PlaceCursorAcross(const ChartData& data, double fraction) {
    const TimeSpan shown = Visible(data);
    PlaceCursor(data, shown.from + std::clamp(fraction, 0.0, 1.0) * (shown.to - shown.from));
}

void ChartView::Press(const ChartData& data, ChartKey key, bool wide) {
    const int steps = wide ? 10 : 1;
    const int all = static_cast<int>(data.Size());
    switch (key) {
        case ChartKey::PauseOrResume:
            TogglePause(data);
            break;
        case ChartKey::Back:
            StepCursor(data, -steps);
            break;
        case ChartKey::On:
            StepCursor(data, steps);
            break;
        case ChartKey::First:
            StepCursor(data, -all);
            break;
        case ChartKey::Last:
            StepCursor(data, all);
            break;
    }
}

// A cursor moved out of the stretch shown takes the stretch with it, so that the arrow keys can
// walk through every sample held.
void ChartView::FollowCursor() {
    if (!cursor_)
        return;
    if (*cursor_ > pausedEnd_)
        pausedEnd_ = *cursor_;
    if (*cursor_ < pausedEnd_ - SpanSeconds())
        pausedEnd_ = *cursor_ + SpanSeconds();
}

}  // namespace ui
