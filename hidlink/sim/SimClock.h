// The simulated bus's clock: virtual in tests (Sleep advances it at once, so a six-second
// sequence runs in microseconds), real in the -sim demo programs.
#pragma once

#include <chrono>
#include <cstdint>
#include <thread>

namespace sim {

class SimClock {
  public:
    virtual ~SimClock() = default;
    virtual std::int64_t NowMs() const = 0;
    virtual void Sleep(std::uint32_t ms) = 0;
};

class VirtualClock : public SimClock {
  public:
    std::int64_t NowMs() const override { return now_; }
    void Sleep(std::uint32_t ms) override { now_ += ms; }
    void Advance(std::int64_t ms) { now_ += ms; }

  private:
    std::int64_t now_ = 0;
};

class RealClock : public SimClock {
  public:
    std::int64_t NowMs() const override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start_)
            .count();
    }
    void Sleep(std::uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace sim
