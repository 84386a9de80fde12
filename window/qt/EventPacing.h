// How often ProcessEvents hands the window's events to Qt, and Refresh paints at once. A transfer
// calls both after every record (every 4 ms); each pass through Qt's event dispatcher costs tens
// of microseconds even with nothing pending, and a paint several times that, far more than the
// record's own work. Once per interval keeps the window responsive and its progress smooth
// (input, close requests, timers and paints arrive within the interval) at a fraction of the cost.
#pragma once

#include <chrono>

namespace ui::qt {

class EventPacing {
  public:
    using Clock = std::chrono::steady_clock;

    explicit EventPacing(Clock::duration interval) : interval_(interval) {}

    // Whether a pass is due at `now`: an interval has gone by since the last one.
    bool IsDue(Clock::time_point now) const { return !passed_ || now - last_ >= interval_; }
    // The same, and when due, a pass is made at `now`: the interval starts again from there.
    bool Due(Clock::time_point now) {
        if (!IsDue(now))
            return false;
        last_ = now;
        passed_ = true;
        return true;
    }

  private:
    Clock::duration interval_;
    Clock::time_point last_{};
    bool passed_ = false;
};

}  // namespace ui::qt
