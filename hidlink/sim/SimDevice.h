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
    // The USB port path the device is plugged into ("1-2.3"); it stays when the device restarts
    // in another mode, and changes when it is plugged into another port.
    std::string port;
    std::uint16_t featureReportByteLength = 0;
    bool present = true;  // on the bus now
    // false: CreateFileA refuses it, as Windows does for keyboards and Linux for a hidraw node
    // without a udev rule; AccessRefused then names it.
    bool openable = true;
    // With openable false: refused because another program holds it (on Windows, opened without
    // sharing), not for lack of access.
    bool heldElsewhere = false;
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

    // Called by the bus with the current time before the platform calls that look at devices,
    // so a model can leave or come back on its own schedule. At a moment it was already called
    // for, it is called again only after a call reached it (a report, a closed handle).
    virtual void Advance(std::int64_t /*nowMs*/) {}

    // A cable pulled at leaveAtMs and, when backAtMs is not negative, plugged in again then.
    void PlanUnplug(std::int64_t leaveAtMs, std::int64_t backAtMs) {
        unplugAtMs_ = leaveAtMs;
        replugAtMs_ = backAtMs;
    }
    // Called by the bus before Advance: carries out the plan.
    void FollowUnplugPlan(std::int64_t nowMs) {
        if (unplugAtMs_ >= 0 && nowMs >= unplugAtMs_) {
            LeaveBus();
            unplugAtMs_ = -1;
        }
        if (unplugAtMs_ < 0 && replugAtMs_ >= 0 && nowMs >= replugAtMs_) {
            JoinBus();
            replugAtMs_ = -1;
        }
    }

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

    // Feature reports that reached this device, sent or asked for, accepted or not: what a test
    // counts to prove that a device was left alone.
    int FeatureReportsReached() const { return featureReportsReached_; }
    void NoteFeatureReport() { ++featureReportsReached_; }
    // The user plugs the device into another port.
    void MoveTo(std::string port) { description_.port = std::move(port); }

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
    int featureReportsReached_ = 0;
    std::int64_t unplugAtMs_ = -1;
    std::int64_t replugAtMs_ = -1;
};

}  // namespace sim
