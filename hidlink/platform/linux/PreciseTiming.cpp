#include "hidlink/platform/linux/PreciseTiming.h"

#include <sys/prctl.h>

#include <cerrno>

namespace hidlink::linuxtiming {

namespace {

constexpr long kNanosecondsPerSecond = 1000000000L;
constexpr unsigned long kFinestSlackNs = 1;  // 0 would mean "the default" to the kernel

}  // namespace

timespec DeadlineAfter(const timespec& now, std::uint32_t milliseconds) {
    timespec deadline = now;
    deadline.tv_sec += static_cast<time_t>(milliseconds / 1000);
    deadline.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
    if (deadline.tv_nsec >= kNanosecondsPerSecond) {
        deadline.tv_nsec -= kNanosecondsPerSecond;
        ++deadline.tv_sec;
    }
    return deadline;
}

void SleepAtLeast(std::uint32_t milliseconds) {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const timespec deadline = DeadlineAfter(now, milliseconds);
    // clock_nanosleep returns the error number itself rather than setting errno.
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

void TimerSlack::Raise() {
    if (depth_++ != 0)
        return;
    saved_ = static_cast<unsigned long>(::prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0));
    ::prctl(PR_SET_TIMERSLACK, kFinestSlackNs, 0, 0, 0);
}

void TimerSlack::Restore() {
    if (depth_ == 0 || --depth_ != 0)
        return;
    ::prctl(PR_SET_TIMERSLACK, saved_, 0, 0, 0);
}

}  // namespace hidlink::linuxtiming
