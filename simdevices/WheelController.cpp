#include "simdevices/WheelController.h"

#include <cstdio>

#include "simdevices/Commands.h"
#include "simdevices/OwnDescription.h"
#include "simdevices/WheelTelemetry.h"

namespace simdevices {

namespace {

sim::DeviceDescription Describe(const WheelControllerOptions& o) {
    return DescribeOwnDevice(o, 0x1D47, "2f1e0a3", u"Drivanta v2 Wheel");
}

}  // namespace

std::shared_ptr<WheelController> MakeDiagnosticsWheel() {
    WheelControllerOptions options;
    options.productId = 0x1020;
    return std::make_shared<WheelController>(options);
}

WheelController::WheelController(const WheelControllerOptions& options)
    : sim::SimDevice(Describe(options)), options_(options) {
    if (options_.startsInImageMode)
        EnterImageMode();
}

std::string WheelController::Summary() const {
    return store_.Summary("simulated wheel controller");
}

void WheelController::Advance(std::int64_t nowMs) {
    if (mode_ != Mode::Restarting)
        return;
    restart_.Advance(
        nowMs, [this] { LeaveBus(); },
        [this] {
            EnterImageMode();
            JoinBus();
        });
}

void WheelController::EnterImageMode() {
    mode_ = Mode::ImageReceiving;
    MutableDescription().featureReportByteLength = options_.imageModeReportLength;
    MutableDescription().product = u"Drivanta v2 Wheel (update)";
    if (!options_.serialInImageMode)
        MutableDescription().serialNumber.reset();
}

bool WheelController::GetFeature(std::uint8_t* report, std::uint32_t length, std::int64_t nowMs) {
    if (mode_ != Mode::Normal)
        return false;
    return FillNormalModeReport(report, length, nowMs - appearedAtMs_);
}

bool WheelController::SetFeature(const std::uint8_t* report, std::uint32_t length,
                                 std::int64_t nowMs) {
    if (mode_ == Mode::Normal) {
        if (IsCommand(report, length, kUpgradeCommand)) {
            mode_ = Mode::Restarting;
            restart_.Plan(nowMs, options_.leaveAfterMs, options_.returnAfterMs);
            return true;
        }
        return false;  // image data only in image-receiving mode
    }
    return mode_ == Mode::ImageReceiving && store_.IsDataReport(report, length) &&
           store_.Take(report);
}

void WheelController::HandleClosed(std::int64_t /*nowMs*/) {
    if (!options_.printSummaryOnClose || summaryPrinted_ || mode_ != Mode::ImageReceiving ||
        store_.DataReports() == 0) {
        return;
    }
    summaryPrinted_ = true;
    std::fprintf(stderr, "%s\n", Summary().c_str());
}

}  // namespace simdevices
