// The simulated base unit: the one device that holds both the servo amplifier and the wheel
// controller, for the reading of the product IDs in which 2233 is the unit in its normal mode.
//
// - Normal mode (product 2233): answers the status report (17) and the settings report (8) as
//   the wheel controller does, and two commands.
// - The bootloader-switch report (08 DE FA BB) starts the amplifier's bootloader on the same
//   connection, as the amplifier does: it stores the record of every data report with ID 0x40;
//   the reset report (08 DE FA DE) takes the unit off the bus at once, and back in normal mode
//   returnAfterMs later with a higher version.
// - The upgrade command (08 DE FA CE) takes it off the bus leaveAfterMs later, and back
//   returnAfterMs after that as product b02e receiving the controller's image, as the wheel
//   controller does: it stores the record of every data report with ID 0x00, with its own report
//   length, and without a serial number where the options say so.
// - Having received records of the controller's image, it restarts into normal mode when the
//   program lets go of it (its last handle closed): off the bus at once, back returnAfterMs later
//   with a higher version. Closing it before any record came leaves it waiting for the image.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "hidlink/sim/SimDevice.h"
#include "simdevices/RecordStore.h"
#include "simdevices/RestartSchedule.h"

namespace simdevices {

struct BaseUnitOptions {
    std::uint16_t vendorId = 0x1D47;
    std::uint16_t productId = 0x2233;           // normal mode and the amplifier's bootloader
    std::uint16_t imageModeProductId = 0xB02E;  // receiving the controller's image
    std::uint16_t versionNumber = 0x0203;
    std::uint16_t reportLength = 65;  // normal mode and the amplifier's bootloader
    std::uint16_t imageModeReportLength = 64;
    std::u16string serialNumber = u"DV2B-003156";
    bool serialInImageMode = true;      // false: no serial number while receiving the image
    std::string port = "1-2";           // the USB port it is plugged into; also names its path
    std::int64_t leaveAfterMs = 50;     // from the upgrade command to leaving the bus
    std::int64_t returnAfterMs = 1500;  // from leaving the bus to coming back, in any restart
    // The -sim program's lines on standard error: what each update delivered.
    bool printSummaries = false;
};

class BaseUnit : public sim::SimDevice {
  public:
    enum class Mode { Normal, AmplifierBootloader, Restarting, ControllerImage };

    explicit BaseUnit(const BaseUnitOptions& options = {});

    Mode CurrentMode() const { return mode_; }
    // The records the amplifier's bootloader stored since it last started, in order received.
    const std::vector<std::uint8_t>& AmplifierImage() const { return amplifierStore_.Image(); }
    // The records of the controller's image since the unit last entered that mode.
    const std::vector<std::uint8_t>& ControllerImage() const { return controllerStore_.Image(); }
    // How often it came back in normal mode from an update.
    int Restarts() const { return restarts_; }
    // Refuse the data reports with these 1-based indexes (counted in that mode).
    void RefuseAmplifierRecords(std::set<std::size_t> indexes);
    void RefuseControllerRecords(std::set<std::size_t> indexes);

    void Advance(std::int64_t nowMs) override;
    bool GetFeature(std::uint8_t* report, std::uint32_t length, std::int64_t nowMs) override;
    bool SetFeature(const std::uint8_t* report, std::uint32_t length, std::int64_t nowMs) override;
    void HandleClosed(std::int64_t nowMs) override;

  private:
    // Off the bus leaveAfterMs from now, back in `next` returnAfterMs after that.
    void Restart(Mode next, std::int64_t nowMs, std::int64_t leaveAfterMs);
    void Enter(Mode mode, std::int64_t nowMs);

    BaseUnitOptions options_;
    Mode mode_ = Mode::Normal;
    Mode nextMode_ = Mode::Normal;
    RestartSchedule restart_;
    std::int64_t normalSinceMs_ = 0;
    RecordStore amplifierStore_{0x40};
    RecordStore controllerStore_{0x00};
    bool amplifierImageArrived_ = false;
    int restarts_ = 0;
};

}  // namespace simdevices
