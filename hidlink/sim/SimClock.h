// The simulated bus's clock: virtual in tests (Sleep advances it at once, so a six-second
// sequence runs in microseconds), real in the -sim demo programs.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

namespace sim {

class SimClock {
  public:
    virtual ~SimClock() = default;
    virtual std::int64_t NowMs() const = 0;
    virtual void Sleep(std::uint32_t ms) = 0;
    // Whether the clock follows the wall clock: a bus on it serves a person trying the programs,
    // not a test, and keeps no call log that would grow for as long as the program runs.
    virtual bool IsReal() const { return false; }
    // Short sleeps as precise as the machine allows between Begin and End, for a sequence whose
    // pacing matters (a transfer's 4 ms per record); a virtual clock is precise already.
    virtual void BeginPreciseTiming() {}
    virtual void EndPreciseTiming() {}
};

class VirtualClock : public SimClock {
  public:
    std::int64_t NowMs() const override { return now_; }
    void Sleep(std::uint32_t ms) override { now_ += ms; }
    void Advance(std::int64_t ms) { now_ += ms; }

  private:
    std::int64_t now_ = 0;
};

// Sleeps last at least what they ask; on Linux, precise timing sleeps to an absolute deadline with
// the thread's timer slack at its minimum, as the hidraw backend does.
class RealClock : public SimClock {
  public:
    RealClock();
    ~RealClock() override;
    RealClock(const RealClock&) = delete;
    RealClock& operator=(const RealClock&) = delete;

    std::int64_t NowMs() const override;
    void Sleep(std::uint32_t ms) override;
    bool IsReal() const override { return true; }
    void BeginPreciseTiming() override;
    void EndPreciseTiming() override;

  private:
    struct Precision;  // the platform's timer state
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::unique_ptr<Precision> precision_;
};

}  // namespace sim
