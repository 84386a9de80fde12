#include "hidlink/sim/SimClock.h"

#ifdef __linux__
#include "hidlink/platform/linux/PreciseTiming.h"
#else
#include <thread>
#endif

namespace sim {

#ifdef __linux__
struct RealClock::Precision {
    hidlink::linuxtiming::TimerSlack slack;
};
#else
struct RealClock::Precision {};
#endif

RealClock::RealClock() : precision_(std::make_unique<Precision>()) {}

RealClock::~RealClock() = default;

std::int64_t RealClock::NowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
}

#ifdef __linux__
void RealClock::Sleep(std::uint32_t ms) {
    hidlink::linuxtiming::SleepAtLeast(ms);
}

void RealClock::BeginPreciseTiming() {
    precision_->slack.Raise();
}

void RealClock::EndPreciseTiming() {
    precision_->slack.Restore();
}
#else
void RealClock::Sleep(std::uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void RealClock::BeginPreciseTiming() {}

void RealClock::EndPreciseTiming() {}
#endif

}  // namespace sim
