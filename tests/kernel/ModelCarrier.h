// What the scenarios need of a carrier, whichever way (uhid or a USB gadget) it puts a simulated
// model into the kernel.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ServedModel.h"

namespace kerneltest {

class ModelCarrier {
  public:
    virtual ~ModelCarrier() = default;
    // The device's hidraw node now ("hidraw2"), or "" while it is off the bus.
    virtual std::string Node() const = 0;
    std::string DevicePath() const { return "/dev/" + Node(); }
    ServedModel& Served() { return served_; }
    std::vector<Exchange> Exchanges() const { return served_.Exchanges(); }
    template <typename F>
    auto WithModelHeld(F f) const {
        return served_.WithModelHeld(f);
    }

  protected:
    ModelCarrier(std::shared_ptr<sim::SimDevice> model, ReportIdsOf reportIds,
                 ServedModel::Clock clock)
        : served_(std::move(model), std::move(reportIds), clock) {}

    // Puts the device on the bus (join) or takes it off (leave) as its model joined or left it
    // since the last call; says whether the model is on the bus.
    template <typename Join, typename Leave>
    bool FollowModel(bool onBus, Join join, Leave leave) {
        const bool present = served_.Advance();
        if (present && !onBus)
            join();
        else if (!present && onBus)
            leave();
        return present;
    }

    // Ends the thread that serves the kernel's requests: wakes its poll through the eventfd stop
    // and waits until it has returned, so nothing serves while the device is taken down.
    static void StopServing(int stop, std::thread& server) {
        const std::uint64_t one = 1;
        (void)!::write(stop, &one, sizeof one);
        if (server.joinable())
            server.join();
    }

    ServedModel served_;
};

}  // namespace kerneltest
