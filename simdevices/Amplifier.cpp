#include "simdevices/Amplifier.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "simdevices/Crc32.h"
#include "simdevices/HidPath.h"

namespace simdevices {

namespace {

constexpr std::uint8_t kSwitchReport[] = {0x08, 0xDE, 0xFA, 0xBB};
constexpr std::uint8_t kResetReport[] = {0x08, 0xDE, 0xFA, 0xDE};
constexpr std::uint8_t kDataReportId = 0x40;

bool StartsWith(const std::uint8_t* report, std::uint32_t length, const std::uint8_t (&head)[4]) {
    return length >= 4 && std::equal(std::begin(head), std::end(head), report);
}

sim::DeviceDescription Describe(const AmplifierOptions& o) {
    sim::DeviceDescription d;
    d.path = SimulatedHidPath(o.vendorId, o.productId, "1c0d4e7", o.location);
    d.vendorId = o.vendorId;
    d.productId = o.productId;
    d.versionNumber = o.versionNumber;
    d.manufacturer = u"Drivanta";
    d.product = u"Drivanta v2 Servo Amplifier";
    d.serialNumber = o.serialNumber;
    d.location = o.location;
    d.featureReportByteLength = o.reportLength;
    return d;
}

}  // namespace

Amplifier::Amplifier(const AmplifierOptions& options)
    : sim::SimDevice(Describe(options)), options_(options) {}

std::string Amplifier::Summary() const {
    char line[128];
    std::snprintf(line, sizeof line,
                  "simulated amplifier: received %zu records (%zu bytes), crc32 %08x",
                  ReceivedRecords(), received_.size(),
                  static_cast<unsigned>(Crc32(received_.data(), received_.size())));
    return line;
}

void Amplifier::Advance(std::int64_t nowMs) {
    if (mode_ != Mode::Restarting || returnAtMs_ < 0 || nowMs < returnAtMs_)
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
            if (!StartsWith(report, length, kSwitchReport))
                return false;
            ++switchReports_;
            mode_ = Mode::Bootloader;
            received_.clear();
            dataReports_ = 0;
            return true;
        case Mode::Bootloader:
            if (StartsWith(report, length, kResetReport)) {
                ++resetReports_;
                mode_ = Mode::Restarting;
                if (options_.listedThroughRestart) {
                    returnAtMs_ = -1;
                    return true;
                }
                returnAtMs_ = nowMs + options_.returnAfterMs;
                LeaveBus();
                return true;
            }
            if (report[0] != kDataReportId || length < 1 + kRecordBytes)
                return false;
            if (refused_.contains(++dataReports_))
                return false;
            received_.insert(received_.end(), report + 1, report + 1 + kRecordBytes);
            return true;
        case Mode::Restarting:
            break;
    }
    return false;
}

}  // namespace simdevices
