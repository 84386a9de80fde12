// A HID device in the running kernel, created through /dev/uhid and served by one of the
// simulated device models: the kernel's feature-report requests go to the model's GetFeature and
// SetFeature, and their answers go back to the kernel. The constructor returns once the device's
// hidraw node exists; the destructor returns once it is gone again.
#pragma once

#include <linux/input.h>
#include <linux/uhid.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
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

struct UhidOptions {
    // Whatever the bus, a uhid device sits below /sys/devices/virtual: no USB device above it.
    std::uint16_t bus = BUS_VIRTUAL;
    std::vector<std::uint8_t> featureReportIds;
};

class UhidDevice {
  public:
    // Takes vendor, product, version and report length from the model's description; the name
    // is "manufacturer product" (as the HID core names Bluetooth devices), the unique ID is the
    // serial number (empty when the model has none). Throws std::runtime_error when the device
    // cannot be created or its node does not appear within five seconds.
    UhidDevice(std::shared_ptr<sim::SimDevice> model, UhidOptions options);
    ~UhidDevice();
    UhidDevice(const UhidDevice&) = delete;
    UhidDevice& operator=(const UhidDevice&) = delete;

    const std::string& Name() const { return name_; }
    const std::string& Uniq() const { return uniq_; }
    const std::string& Node() const { return node_; }  // "hidraw2"
    std::string DevicePath() const { return "/dev/" + node_; }

    std::vector<Exchange> Exchanges() const;
    // Runs f while the device answers nothing, so the test may look at the model.
    template <typename F>
    auto WithModelHeld(F f) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return f();
    }

  private:
    // Removes the device and waits until its node is gone; does nothing the second time.
    void Shutdown();
    void Serve();
    void Answer(const uhid_event& request);

    std::shared_ptr<sim::SimDevice> model_;
    std::string name_;
    std::string uniq_;
    std::string node_;
    int uhid_ = -1;
    int stop_ = -1;  // eventfd that ends Serve()
    std::thread server_;
    mutable std::mutex mutex_;  // guards model_ calls and exchanges_
    std::vector<Exchange> exchanges_;
};

}  // namespace kerneltest
