// A HID device in the running kernel, created through /dev/uhid and served by one of the
// simulated device models: the kernel's feature-report requests go to the model's GetFeature and
// SetFeature, and their answers go back to the kernel. When the model leaves the bus the device
// is destroyed, and when it comes back it is created again with the model's new description and
// report layout. The constructor returns once the device's hidraw node exists; the destructor
// returns once it is gone again.
#pragma once

#include <linux/input.h>
#include <linux/uhid.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ModelCarrier.h"
#include "ServedModel.h"

namespace kerneltest {

struct UhidOptions {
    // Whatever the bus, a uhid device sits below /sys/devices/virtual: no USB device above it.
    std::uint16_t bus = BUS_VIRTUAL;
    ReportIdsOf reportIds = FixedReportIds({});
    ServedModel::Clock clock = ServedModel::Clock::Frozen;
};

class UhidDevice : public ModelCarrier {
  public:
    // Takes vendor, product, version and report length from the model's description; the name
    // is "manufacturer product" (as the HID core names Bluetooth devices), the unique ID is the
    // serial number (empty when the model has none). Throws std::runtime_error when the device
    // cannot be created or its node does not appear within ten seconds.
    UhidDevice(std::shared_ptr<sim::SimDevice> model, UhidOptions options);
    ~UhidDevice() override;
    UhidDevice(const UhidDevice&) = delete;
    UhidDevice& operator=(const UhidDevice&) = delete;

    const std::string& Name() const { return name_; }
    const std::string& Uniq() const { return uniq_; }
    // The device's hidraw node now ("hidraw2"), or "" while it is off the bus.
    std::string Node() const override;

  private:
    // Removes the device and waits until its node is gone; does nothing the second time.
    void Shutdown();
    bool Create();
    void Destroy();
    // Destroys the device once its model has been off the bus for a moment.
    void LeaveWhenDue();
    void Serve();
    void Answer(const uhid_event& request);

    UhidOptions options_;
    std::string name_;
    std::string uniq_;
    std::string phys_;
    int uhid_ = -1;
    int stop_ = -1;  // eventfd that ends Serve()
    bool created_ = false;
    // When the model was first seen off the bus while its device was still in the kernel.
    std::optional<std::chrono::steady_clock::time_point> leaveWanted_;
    std::thread server_;
};

}  // namespace kerneltest
