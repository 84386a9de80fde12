// A simulated device model as a carrier (uhid or a USB gadget) serves it to the kernel: one lock
// around the model, one clock for its schedule, the report layout of its current mode, and a log
// of every feature-report request with the bytes that went each way. Reports are in the model's
// terms: byte 0 is the report ID, 0 for a device without numbered reports.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "hidlink/sim/SimDevice.h"

namespace kerneltest {

// One feature-report request as the device saw it, with the bytes that went each way.
struct Exchange {
    enum class Kind { Get, Set } kind = Kind::Get;
    std::uint8_t reportId = 0;
    std::vector<std::uint8_t> bytes;  // the answer sent (Get) or the report received (Set)
    bool refused = false;
};

// The feature report IDs the model's current mode declares; {0x00} is one report without an ID.
using ReportIdsOf = std::function<std::vector<std::uint8_t>(const sim::SimDevice&)>;
ReportIdsOf FixedReportIds(std::vector<std::uint8_t> ids);

// What a carrier puts on the bus when the model joins it.
struct Appearance {
    sim::DeviceDescription description;
    std::vector<std::uint8_t> reportDescriptor;
};

class ServedModel {
  public:
    enum class Clock {
        Frozen,  // the model answers as at one moment: for tests about the transport alone
        Real,    // milliseconds since the carrier started, so the model keeps its own schedule
    };

    ServedModel(std::shared_ptr<sim::SimDevice> model, ReportIdsOf reportIds, Clock clock);

    // Lets the model act on its schedule; returns whether it is on the bus now (false for good
    // once the plug was pulled).
    bool Advance();
    Appearance Appear() const;

    // `length` is the report length in the model's terms (ID byte included). None when refused.
    std::optional<std::vector<std::uint8_t>> Get(std::uint8_t reportId, std::uint32_t length);
    bool Set(const std::vector<std::uint8_t>& report);

    // The plug is pulled when the n-th feature-report request from now (counted from 1) arrives:
    // that request stays unanswered and the carrier takes the device off the bus for good.
    void PullPlugAtRequest(std::size_t n);
    // Pulls the plug now, or puts it back in: the carrier follows at its next look at the model.
    void SetPlugged(bool plugged);
    // Counts one feature-report request before the carrier answers it; false when this request
    // pulls the plug.
    bool Admit();

    // The program let go of the device. The kernel tells a device nothing of its handles, so a
    // scenario says it where the model acts on it (the base unit restarts then).
    void LetGo();

    std::vector<Exchange> Exchanges() const;
    // Runs f while the device answers nothing, so the test may look at the model.
    template <typename F>
    auto WithModelHeld(F f) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return f();
    }

  private:
    std::int64_t NowMs() const;

    std::shared_ptr<sim::SimDevice> model_;
    ReportIdsOf reportIds_;
    Clock clock_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    mutable std::mutex mutex_;  // guards everything below and every model call
    std::vector<Exchange> exchanges_;
    std::size_t requests_ = 0;
    std::size_t pullAt_ = 0;  // the request that pulls the plug; 0: none
    bool pulled_ = false;
};

// The model's strings as the kernel takes them (the models use ASCII only).
std::string Narrow(const std::optional<std::u16string>& text);

}  // namespace kerneltest
