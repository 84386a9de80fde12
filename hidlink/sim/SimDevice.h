// One HID interface on the simulated bus. Device models (simdevices/) derive from it, change
// their description as their mode changes, and answer feature reports.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "hidlink/ApiDeclarations.h"

namespace sim {

struct DeviceDescription {
    std::string path;  // the interface path SetupAPI reports and CreateFileA opens
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t versionNumber = 0;
    std::optional<std::u16string> manufacturer;
    std::optional<std::u16string> product;
    std::optional<std::u16string> serialNumber;
    std::uint16_t featureReportByteLength = 0;
    bool present = true;  // on the bus now
    // false: CreateFileA refuses it, as Windows does for keyboards and Linux for a hidraw node
    // without a udev rule; AccessRefused then names it.
    bool openable = true;
};

class SimDevice {
  public:
    explicit SimDevice(DeviceDescription description) : description_(std::move(description)) {}
    virtual ~SimDevice() = default;

    const DeviceDescription& Description() const { return description_; }
    DeviceDescription& MutableDescription() { return description_; }

    // Bumped each time the device leaves the bus; handles opened before then stay dead, as on
    // real hardware after a re-enumeration.
    std::uint32_t Generation() const { return generation_; }

    // Called by the bus with the current time before every platform call, so a model can leave
    // or come back on its own schedule.
    virtual void Advance(std::int64_t /*nowMs*/) {}

    // report[0] holds the report ID; `length` bytes are transferred. Return false to refuse.
    virtual bool GetFeature(std::uint8_t* /*report*/, std::uint32_t /*length*/,
                            std::int64_t /*nowMs*/) {
        return false;
    }
    virtual bool SetFeature(const std::uint8_t* /*report*/, std::uint32_t /*length*/,
                            std::int64_t /*nowMs*/) {
        return false;
    }
    // A handle on the device was closed (the program let go of it).
    virtual void HandleClosed(std::int64_t /*nowMs*/) {}

    // The user pulls the cable (handles opened before stay dead) and plugs it in again.
    void Unplug() { LeaveBus(); }
    void Replug() { JoinBus(); }

  protected:
    void LeaveBus() {
        if (description_.present)
            ++generation_;
        description_.present = false;
    }
    void JoinBus() { description_.present = true; }

  private:
    DeviceDescription description_;
    std::uint32_t generation_ = 0;
};

}  // namespace sim
