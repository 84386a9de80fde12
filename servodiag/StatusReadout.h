// What a terminal shows of servodiag's status while it runs without a window: fed by every
// status tick, it keeps the last reading the device answered with and when that was, and gives
// the block to redraw and the line to print for the newest tick.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "servodiag/StatusReport.h"
#include "window/TerminalView.h"

namespace servodiag {

// A steady clock in milliseconds.
std::int64_t SteadyMilliseconds();

class StatusReadout {
  public:
    explicit StatusReadout(std::function<std::int64_t()> nowMs = SteadyMilliseconds);

    // Every status tick: the report the device answered with (kStatusBufferSize bytes), or null.
    void Take(const std::uint8_t* report);
    // A status tick of a device that is there but reports no status: said once, not as a
    // device that stopped answering.
    void TakeNoStatus();
    // Another device, or the same opened again: its last answer is not this device's.
    void Forget();

    std::vector<ui::LiveField> Block() const;
    // The line of the newest tick, once; empty when it was already given.
    std::string TakeLine();

  private:
    std::function<std::int64_t()> nowMs_;
    std::array<std::uint8_t, kStatusBufferSize> lastAnswer_{};
    bool answeredEver_ = false;
    bool answering_ = false;
    bool noStatus_ = false;
    std::int64_t lastAnswerMs_ = 0;
    std::chrono::system_clock::time_point takenAt_;
    bool lineDue_ = false;
};

}  // namespace servodiag
