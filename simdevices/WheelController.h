// The simulated wheel controller. In its normal mode it answers the status report (17) and the
// settings report (8) and refuses image data. The upgrade command (08 DE FA CE) makes it leave
// the bus shortly after and come back in its image-receiving mode, where it stores the record of
// every data report with ID 0x00.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "hidlink/sim/SimDevice.h"
#include "simdevices/RecordStore.h"
#include "simdevices/RestartSchedule.h"

namespace simdevices {

struct WheelControllerOptions {
    std::uint16_t productId = 0xB02E;
    std::uint16_t versionNumber = 0x0105;
    std::uint16_t reportLength = 64;           // normal mode
    std::uint16_t imageModeReportLength = 64;  // after the upgrade command
    std::u16string serialNumber = u"DV2W-004817";
    bool serialInImageMode = true;      // false: no serial number while receiving an image
    std::string port = "1-3";           // the USB port it is plugged into; also names its path
    std::int64_t leaveAfterMs = 50;     // from the upgrade command to leaving the bus
    std::int64_t returnAfterMs = 1500;  // from leaving the bus to coming back
    bool printSummaryOnClose = false;   // the -sim program's line on standard error
    // Already waiting for an image, as after an upgrade command that the last update sent.
    bool startsInImageMode = false;
};

class WheelController : public sim::SimDevice {
  public:
    enum class Mode { Normal, Restarting, ImageReceiving };

    explicit WheelController(const WheelControllerOptions& options = {});

    Mode CurrentMode() const { return mode_; }
    const std::vector<std::uint8_t>& ReceivedImage() const { return store_.Image(); }
    std::size_t ReceivedRecords() const { return store_.Records(); }
    // Refuse the data reports with these 1-based indexes (counted in image-receiving mode).
    void RefuseRecords(std::set<std::size_t> indexes) { store_.Refuse(std::move(indexes)); }
    // "simulated wheel controller: received N records (M bytes), crc32 xxxxxxxx"
    std::string Summary() const;

    void Advance(std::int64_t nowMs) override;
    bool GetFeature(std::uint8_t* report, std::uint32_t length, std::int64_t nowMs) override;
    bool SetFeature(const std::uint8_t* report, std::uint32_t length, std::int64_t nowMs) override;
    void HandleClosed(std::int64_t nowMs) override;

  private:
    void EnterImageMode();

    WheelControllerOptions options_;
    Mode mode_ = Mode::Normal;
    std::int64_t appearedAtMs_ = 0;
    RestartSchedule restart_;
    RecordStore store_{0x00};
    bool summaryPrinted_ = false;
};

// The wheel controller under the product servodiag looks for first (1020), the one the
// diagnostics run against; otherwise as the defaults have it.
std::shared_ptr<WheelController> MakeDiagnosticsWheel();

}  // namespace simdevices
