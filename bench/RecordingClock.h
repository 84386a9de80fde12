// A real clock that notes every sleep asked of it and where precise timing began and ended, so
// that the same sleeps can be taken again with no work between them: the least time the
// sequence takes on this machine, the machine's own lateness included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "hidlink/sim/SimClock.h"

namespace bench {

struct ClockStep {
    enum class Kind { kSleep, kBeginPreciseTiming, kEndPreciseTiming };
    Kind kind;
    std::uint32_t ms = 0;  // kSleep only
};

class RecordingClock : public sim::SimClock {
  public:
    std::int64_t NowMs() const override { return real_.NowMs(); }
    void Sleep(std::uint32_t ms) override;
    bool IsReal() const override { return true; }
    void BeginPreciseTiming() override;
    void EndPreciseTiming() override;

    // A mark for StepsSince: the steps taken so far.
    std::size_t Mark() const { return steps_.size(); }
    // The steps since the mark, starting with the precise timing that was on at the mark.
    std::vector<ClockStep> StepsSince(std::size_t mark) const;

  private:
    sim::RealClock real_;
    std::vector<ClockStep> steps_;
};

// The sum of the sleeps' milliseconds: what the steps would take with no lateness at all.
std::int64_t SleptMs(const std::vector<ClockStep>& steps);

// Takes the steps on a fresh real clock, one after the other; returns the wall microseconds.
double ReplayMicroseconds(const std::vector<ClockStep>& steps);

}  // namespace bench
