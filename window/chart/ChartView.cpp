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
    cursor_ = latest != nullptr ? std::optional<double>(latest->seconds) : std::nullopt;
    paused_ = true;
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
    cursor_ = data.At(nearest).seconds;
    FollowCursor();
}

void ChartView::StepCursor(const ChartData& data, int steps) {
    if (!paused_ || data.Size() == 0)
        return;
    const double at = cursor_.value_or(pausedEnd_);
    const auto here = static_cast<long long>(data.Between(at, at).second) - 1;
    const long long last = static_cast<long long>(data.Size()) - 1;
    const long long target = std::clamp(here + steps, 0LL, last);
    cursor_ = data.At(static_cast<std::size_t>(target)).seconds;
    FollowCursor();
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
