// Timer precision on Linux for a sequence whose pacing matters, as timeBeginPeriod gives it on
// Windows. Every timed wait of a thread is stretched by its timer slack (50 µs by default), and a
// relative sleep restarted after a signal drifts; a transfer that waits 4 ms after each of
// thousands of records adds both up. Raised precision takes the slack down to 1 ns, and sleeps
// wait for an absolute deadline: never shorter than asked, and no later than the timer allows.
#pragma once

#include <cstdint>
#include <ctime>

namespace hidlink::linuxtiming {

// The moment `milliseconds` after `now`, with the nanoseconds carried into the seconds.
timespec DeadlineAfter(const timespec& now, std::uint32_t milliseconds);

// Sleeps until `milliseconds` have passed on the monotonic clock, resuming after signals.
void SleepAtLeast(std::uint32_t milliseconds);

// The calling thread's timer slack, raised to its finest between Raise and Restore. Nested
// raises restore the slack the thread had before the outermost one.
class TimerSlack {
  public:
    void Raise();
    void Restore();

  private:
    int depth_ = 0;
    unsigned long saved_ = 0;
};

}  // namespace hidlink::linuxtiming
