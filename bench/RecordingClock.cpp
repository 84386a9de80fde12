#include "bench/RecordingClock.h"

#include "bench/MetricReport.h"

namespace bench {

namespace {

void Take(sim::SimClock& clock, const ClockStep& step) {
    switch (step.kind) {
        case ClockStep::Kind::kSleep:
            clock.Sleep(step.ms);
            break;
        case ClockStep::Kind::kBeginPreciseTiming:
            clock.BeginPreciseTiming();
            break;
        case ClockStep::Kind::kEndPreciseTiming:
            clock.EndPreciseTiming();
            break;
    }
}

}  // namespace

// Noted before it is taken: the vector's growth is the clock's, not the program's, and costs
// nothing beside a sleep.
void RecordingClock::Sleep(std::uint32_t ms) {
    steps_.push_back({ClockStep::Kind::kSleep, ms});
    real_.Sleep(ms);
}

void RecordingClock::BeginPreciseTiming() {
    steps_.push_back({ClockStep::Kind::kBeginPreciseTiming});
    real_.BeginPreciseTiming();
}

void RecordingClock::EndPreciseTiming() {
    steps_.push_back({ClockStep::Kind::kEndPreciseTiming});
    real_.EndPreciseTiming();
}

std::vector<ClockStep> RecordingClock::StepsSince(std::size_t mark) const {
    std::vector<ClockStep> steps;
    int depth = 0;
    for (std::size_t i = 0; i < mark && i < steps_.size(); ++i) {
        if (steps_[i].kind == ClockStep::Kind::kBeginPreciseTiming)
            ++depth;
        else if (steps_[i].kind == ClockStep::Kind::kEndPreciseTiming && depth > 0)
            --depth;
    }
    steps.assign(depth, ClockStep{ClockStep::Kind::kBeginPreciseTiming});
    for (std::size_t i = mark; i < steps_.size(); ++i)
        steps.push_back(steps_[i]);
    return steps;
}

std::int64_t SleptMs(const std::vector<ClockStep>& steps) {
    std::int64_t ms = 0;
    for (const ClockStep& step : steps) {
        if (step.kind == ClockStep::Kind::kSleep)
            ms += step.ms;
    }
    return ms;
}

double ReplayMicroseconds(const std::vector<ClockStep>& steps) {
    sim::RealClock clock;
    const double start = WallMicroseconds();
    for (const ClockStep& step : steps)
        Take(clock, step);
    return WallMicroseconds() - start;
}

}  // namespace bench
