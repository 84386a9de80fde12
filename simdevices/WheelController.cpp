#include "simdevices/WheelController.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "simdevices/Crc32.h"
#include "simdevices/HidPath.h"
#include "simdevices/WheelTelemetry.h"

namespace simdevices {

namespace {

constexpr std::uint8_t kUpgradeCommand[] = {0x08, 0xDE, 0xFA, 0xCE};
constexpr std::size_t kRecordSize = 40;

sim::DeviceDescription Describe(const WheelControllerOptions& o) {
    sim::DeviceDescription d;
    d.path = SimulatedHidPath(0x1D47, o.productId, "2f1e0a3", o.location);
    d.vendorId = 0x1D47;
    d.productId = o.productId;
    d.versionNumber = o.versionNumber;
    d.manufacturer = u"Drivanta";
    d.product = u"Drivanta v2 Wheel";
    d.serialNumber = o.serialNumber;
    d.location = o.location;
    d.featureReportByteLength = o.reportLength;
    return d;
}

}  // namespace

WheelController::WheelController(const WheelControllerOptions& options)
    : sim::SimDevice(Describe(options)), options_(options) {
    if (options_.startsInImageMode)
        EnterImageMode();
}

std::string WheelController::Summary() const {
    char line[128];
    std::snprintf(line, sizeof line,
                  "simulated wheel controller: received %zu records (%zu bytes), crc32 %08x",
                  ReceivedRecords(), received_.size(),
                  static_cast<unsigned>(Crc32(received_.data(), received_.size())));
    return line;
}

void WheelController::Advance(std::int64_t nowMs) {
    if (mode_ != Mode::Restarting)
        return;
    if (leaveAtMs_ >= 0 && nowMs >= leaveAtMs_) {
        LeaveBus();
        leaveAtMs_ = -1;
    }
    if (leaveAtMs_ < 0 && nowMs >= returnAtMs_) {
        EnterImageMode();
        JoinBus();
    }
}

void WheelController::EnterImageMode() {
    mode_ = Mode::ImageReceiving;
    MutableDescription().featureReportByteLength = options_.imageModeReportLength;
    MutableDescription().product = u"Drivanta v2 Wheel (update)";
}

bool WheelController::GetFeature(std::uint8_t* report, std::uint32_t length, std::int64_t nowMs) {
    if (mode_ != Mode::Normal)
        return false;
    if (report[0] == 17) {
        FillStatusReport(report, length, nowMs - appearedAtMs_);
        return true;
    }
    if (report[0] == 8) {
        FillSettingsReport(report, length);
        return true;
    }
    return false;
}

bool WheelController::SetFeature(const std::uint8_t* report, std::uint32_t length,
                                 std::int64_t nowMs) {
    if (mode_ == Mode::Normal) {
        if (length >= 4 &&
            std::equal(std::begin(kUpgradeCommand), std::end(kUpgradeCommand), report)) {
            mode_ = Mode::Restarting;
            leaveAtMs_ = nowMs + options_.leaveAfterMs;
            returnAtMs_ = leaveAtMs_ + options_.returnAfterMs;
            return true;
        }
        return false;  // image data only in image-receiving mode
    }
    if (mode_ != Mode::ImageReceiving || report[0] != 0x00 || length < 1 + kRecordSize)
        return false;
    ++dataReports_;
    if (refused_.contains(dataReports_))
        return false;
    received_.insert(received_.end(), report + 1, report + 1 + kRecordSize);
    return true;
}

void WheelController::HandleClosed(std::int64_t /*nowMs*/) {
    if (!options_.printSummaryOnClose || summaryPrinted_ || mode_ != Mode::ImageReceiving ||
        dataReports_ == 0) {
        return;
    }
    summaryPrinted_ = true;
    std::fprintf(stderr, "%s\n", Summary().c_str());
}

}  // namespace simdevices
