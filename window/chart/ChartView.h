// What part of a chart's samples is on screen: the stretch of time shown (10 s, 60 s or 10 min,
// up to the latest sample, or up to where the chart was paused) and, while paused, the cursor
// the user moves over the samples. Window-independent, shared by every toolkit.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "window/chart/ChartData.h"

namespace ui {

// The keys a chart takes, whatever the toolkit calls them.
enum class ChartKey { PauseOrResume, Back, On, First, Last };

struct TimeSpan {
    double from = 0;
    double to = 0;
};

class ChartView {
  public:
    static constexpr std::array<double, 3> kSpans{10, 60, 600};
    static constexpr std::size_t kDefaultSpan = 1;  // 60 s

    std::size_t SpanIndex() const { return span_; }
    double SpanSeconds() const { return kSpans[span_]; }
    void ChooseSpan(std::size_t index);

    // The stretch shown: the span, ending at the latest sample (or where the chart was paused).
    TimeSpan Visible(const ChartData& data) const;

    bool Paused() const { return paused_; }
    // Holds the stretch shown where it is, and puts the cursor on its last sample.
    void Pause(const ChartData& data);
    void Resume();
    void TogglePause(const ChartData& data);

    // While paused: the time of the sample the cursor is on.
    std::optional<double> Cursor() const { return paused_ ? cursor_ : std::nullopt; }
    // While paused: the index of that sample (the oldest held, if it was dropped since).
    std::optional<std::size_t> CursorIndex(const ChartData& data) const;
    // While paused: the cursor to the sample nearest `seconds`, or `steps` samples on from the
    // one it is on (negative: back); the stretch shown follows a cursor that leaves it.
    void PlaceCursor(const ChartData& data, double seconds);
    void StepCursor(const ChartData& data, int steps);
    // While paused: the cursor to the sample nearest a point `fraction` (0 to 1, clamped) of the
    // way across the stretch shown, as under the pointer.
    void PlaceCursorAcross(const ChartData& data, double fraction);
    // A key pressed on the chart; `wide` (Shift held) moves the cursor ten samples. Every key of
    // ChartKey is taken; the view has changed when it returns.
    void Press(const ChartData& data, ChartKey key, bool wide);

  private:
    void CursorTo(const ChartData& data, std::size_t index);
    void FollowCursor();

    std::size_t span_ = kDefaultSpan;
    bool paused_ = false;
    double pausedEnd_ = 0;
    std::optional<double> cursor_;
    // The sample's number (ChartData::Added()), not its time: samples may share a time.
    std::size_t cursorNumber_ = 0;
};

}  // namespace ui
