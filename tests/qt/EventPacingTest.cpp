// When ProcessEvents passes the window's events to Qt: at once the first time, then at most once
// per interval, the interval counted from the last pass and not from the skipped calls.
#include "window/qt/EventPacing.h"

#include <gtest/gtest.h>

namespace {

using std::chrono::milliseconds;
using ui::qt::EventPacing;

struct PacingStep {
    int atMs;
    bool due;
};

TEST(EventPacing, PassesAtMostOncePerIntervalFromTheLastPass) {
    const PacingStep steps[] = {
        {0, true},    // the first call always passes
        {4, false},   // a record later
        {8, false},   // two records later
        {9, false},   // just inside the interval
        {10, true},   // a full interval after the last pass
        {14, false},  // counted from 10, not from 0
        {19, false},  //
        {20, true},   //
        {75, true},   // after a long pause, at once
        {76, false},  //
    };
    EventPacing pacing(milliseconds(10));
    const EventPacing::Clock::time_point start{milliseconds(1000)};
    for (const PacingStep& step : steps)
        EXPECT_EQ(step.due, pacing.Due(start + milliseconds(step.atMs))) << "at " << step.atMs;
}

}  // namespace
