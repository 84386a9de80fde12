#include "simdevices/Amplifier.h"

#include <cstdio>

#include "simdevices/Commands.h"
#include "simdevices/OwnDescription.h"

namespace simdevices {

namespace {

sim::DeviceDescription Describe(const AmplifierOptions& o) {
    return DescribeOwnDevice(o, o.vendorId, "1c0d4e7", u"Drivanta v2 Servo Amplifier");
}

}  // namespace

Amplifier::Amplifier(const AmplifierOptions& options)
    : sim::SimDevice(Describe(options)), options_(options) {}

std::string Amplifier::Summary() const {
    return store_.Summary("simulated amplifier");
}

void Amplifier::Advance(std::int64_t nowMs) {
    if (mode_ == Mode::Restarting && leaveAtMs_ >= 0 && nowMs >= leaveAtMs_) {
        LeaveBus();
        leaveAtMs_ = -1;
    }
    if (mode_ != Mode::Restarting || leaveAtMs_ >= 0 || returnAtMs_ < 0 || nowMs < returnAtMs_)
        return;
    mode_ = Mode::Application;
    // The new firmware reports a higher minor version, so the window shows the change.
    ++MutableDescription().versionNumber;
    JoinBus();
    if (options_.printSummaryOnReturn)
        std::fprintf(stderr, "%s\n", Summary().c_str());
}

bool Amplifier::SetFeature(const std::uint8_t* report, std::uint32_t length, std::int64_t nowMs) {
    switch (mode_) {
        case Mode::Application:
            if (!IsCommand(report, length, kBootloaderSwitch))
                return false;
            ++switchReports_;
            mode_ = Mode::Bootloader;
            store_.Clear();
            return true;
        case Mode::Bootloader:
            if (IsCommand(report, length, kBootloaderReset)) {
                ++resetReports_;
                mode_ = Mode::Restarting;
                if (options_.listedThroughRestart) {
                    returnAtMs_ = -1;
                    return true;
                }
                returnAtMs_ = nowMs + options_.returnAfterMs;
                if (options_.listedAfterResetMs > 0)
                    leaveAtMs_ = nowMs + options_.listedAfterResetMs;
                else
                    LeaveBus();
                return true;
            }
            return store_.IsDataReport(report, length) && store_.Take(report);
        case Mode::Restarting:
            break;
    }
    return false;
}

}  // namespace simdevices
