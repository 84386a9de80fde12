#include "simdevices/BaseUnit.h"

#include <cstdio>

#include "simdevices/Commands.h"
#include "simdevices/HidPath.h"
#include "simdevices/OwnDescription.h"
#include "simdevices/WheelTelemetry.h"

namespace simdevices {

namespace {

constexpr char kPathInstance[] = "3a7c5e1";

sim::DeviceDescription Describe(const BaseUnitOptions& o) {
    return DescribeOwnDevice(o, o.vendorId, kPathInstance, u"Drivanta v2 Wheel Base");
}

}  // namespace

BaseUnit::BaseUnit(const BaseUnitOptions& options)
    : sim::SimDevice(Describe(options)), options_(options) {}

void BaseUnit::RefuseAmplifierRecords(std::set<std::size_t> indexes) {
    amplifierStore_.Refuse(std::move(indexes));
}

void BaseUnit::RefuseControllerRecords(std::set<std::size_t> indexes) {
    controllerStore_.Refuse(std::move(indexes));
}

void BaseUnit::Restart(Mode next, std::int64_t nowMs, std::int64_t leaveAfterMs) {
    mode_ = Mode::Restarting;
    nextMode_ = next;
    restart_.Plan(nowMs, leaveAfterMs, options_.returnAfterMs);
    Advance(nowMs);
}

void BaseUnit::Advance(std::int64_t nowMs) {
    if (mode_ != Mode::Restarting)
        return;
    restart_.Advance(
        nowMs, [this] { LeaveBus(); },
        [this, nowMs] {
            Enter(nextMode_, nowMs);
            JoinBus();
        });
}

void BaseUnit::Enter(Mode mode, std::int64_t nowMs) {
    mode_ = mode;
    sim::DeviceDescription& d = MutableDescription();
    const bool receiving = mode == Mode::ControllerImage;
    d.productId = receiving ? options_.imageModeProductId : options_.productId;
    // Windows names the interface after the product ID, so the path changes with the mode.
    d.path = SimulatedHidPath(d.vendorId, d.productId, kPathInstance, d.port);
    d.product = receiving ? u"Drivanta v2 Wheel Base (update)" : u"Drivanta v2 Wheel Base";
    d.featureReportByteLength = receiving ? options_.imageModeReportLength : options_.reportLength;
    if (receiving && !options_.serialInImageMode)
        d.serialNumber.reset();
    else
        d.serialNumber = options_.serialNumber;
    if (receiving) {
        controllerStore_.Clear();
        return;
    }
    // Back from an update: the new firmware reports a higher minor version.
    ++d.versionNumber;
    ++restarts_;
    normalSinceMs_ = nowMs;
    if (options_.printSummaries && amplifierImageArrived_)
        std::fprintf(stderr, "%s\n",
                     amplifierStore_.Summary("simulated base unit, amplifier").c_str());
    amplifierImageArrived_ = false;
}

bool BaseUnit::GetFeature(std::uint8_t* report, std::uint32_t length, std::int64_t nowMs) {
    if (mode_ != Mode::Normal)
        return false;
    return FillNormalModeReport(report, length, nowMs - normalSinceMs_);
}

bool BaseUnit::SetFeature(const std::uint8_t* report, std::uint32_t length, std::int64_t nowMs) {
    switch (mode_) {
        case Mode::Normal:
            if (IsCommand(report, length, kBootloaderSwitch)) {
                mode_ = Mode::AmplifierBootloader;
                amplifierStore_.Clear();
                return true;
            }
            if (IsCommand(report, length, kUpgradeCommand)) {
                Restart(Mode::ControllerImage, nowMs, options_.leaveAfterMs);
                return true;
            }
            return false;
        case Mode::AmplifierBootloader:
            if (IsCommand(report, length, kBootloaderReset)) {
                amplifierImageArrived_ = true;
                Restart(Mode::Normal, nowMs, 0);
                return true;
            }
            return amplifierStore_.IsDataReport(report, length) && amplifierStore_.Take(report);
        case Mode::ControllerImage:
            return controllerStore_.IsDataReport(report, length) && controllerStore_.Take(report);
        case Mode::Restarting:
            break;
    }
    return false;
}

void BaseUnit::HandleClosed(std::int64_t nowMs) {
    if (mode_ != Mode::ControllerImage || controllerStore_.Records() == 0)
        return;
    if (options_.printSummaries)
        std::fprintf(stderr, "%s\n",
                     controllerStore_.Summary("simulated base unit, controller").c_str());
    Restart(Mode::Normal, nowMs, 0);
}

}  // namespace simdevices
