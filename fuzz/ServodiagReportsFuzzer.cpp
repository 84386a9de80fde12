// The settings and status reports as a device may send them: any bytes, at any declared report
// length. Each decoder runs on a heap block of exactly the bytes it may read, so the address
// sanitizer reports a read past it; then the diagnostics window runs its load and a few ticks on
// a device that answers with the fuzzer's bytes at the fuzzer's length, and must show what the
// decoders make of the answer zero-padded to the report, and leave no handle behind.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/Require.h"
#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimDevice.h"
#include "hidlink/sim/SimulatedBus.h"
#include "servodiag/Layout.h"
#include "servodiag/SettingsReport.h"
#include "servodiag/StatusReport.h"
#include "servodiag/frmMain.h"
#include "window/headless/HeadlessWindow.h"

namespace {

using fuzz::Require;

// One answer of the device: refused, or these bytes (zero-padded to the report length).
using Answer = std::optional<std::vector<std::uint8_t>>;

class ScriptedWheel : public sim::SimDevice {
  public:
    ScriptedWheel(std::uint16_t reportLength, std::deque<Answer> answers)
        : SimDevice(Describe(reportLength)), answers_(std::move(answers)) {}

    bool GetFeature(std::uint8_t* report, std::uint32_t length, std::int64_t /*nowMs*/) override {
        if (answers_.empty() || !answers_.front())
            return Refuse();
        std::vector<std::uint8_t> bytes = *answers_.front();
        answers_.pop_front();
        bytes.resize(length, 0);
        std::copy(bytes.begin(), bytes.end(), report);
        return true;
    }

  private:
    static sim::DeviceDescription Describe(std::uint16_t reportLength) {
        sim::DeviceDescription d;
        d.path = "fuzz-wheel";
        d.vendorId = hidlink::kDrivantaVendorId;
        d.productId = 0x1020;
        d.featureReportByteLength = reportLength;
        return d;
    }
    bool Refuse() {
        if (!answers_.empty())
            answers_.pop_front();
        return false;
    }

    std::deque<Answer> answers_;
};

// Sign errors in the signed fields show as a sign that does not follow the top bit.
void CheckDecoders(const std::vector<std::uint8_t>& bytes, const std::string& separator) {
    std::vector<std::uint8_t> status(bytes);
    status.resize(servodiag::kStatusBufferSize, 0);
    const auto exactStatus = std::make_unique<std::uint8_t[]>(status.size());
    std::copy(status.begin(), status.end(), exactStatus.get());
    const servodiag::StatusView view = servodiag::DecodeStatusReport(exactStatus.get(), separator);
    if (view.sfd_pos && !view.sfd_pos->empty()) {
        const bool negative = (status[8] & 0x80) != 0;
        Require(view.sfd_pos->starts_with("-") == negative, "position sign");
        Require(view.Degrees && view.Degrees->starts_with("-") == negative, "angle sign");
    }

    std::vector<std::uint8_t> settings(bytes);
    settings.resize(servodiag::kSettingsDecodedBytes, 0);
    const auto exactSettings = std::make_unique<std::uint8_t[]>(settings.size());
    std::copy(settings.begin(), settings.end(), exactSettings.get());
    const servodiag::SettingsView s = servodiag::DecodeSettingsReport(exactSettings.get());
    Require(s.Homing.starts_with("-") == ((settings[18] & 0x80) != 0), "centre offset sign");
    Require(!s.Slimit.starts_with("-") && !s.InputFilter.starts_with("-"), "negative count");
}

// What the window must show for a status answer: the answer over a zeroed buffer of at least
// the status report's size.
servodiag::StatusView Expected(const std::vector<std::uint8_t>& answer, std::size_t reportLength,
                               const std::string& separator) {
    std::vector<std::uint8_t> buffer(std::max(servodiag::kStatusBufferSize, reportLength), 0);
    std::copy_n(answer.begin(), std::min(answer.size(), reportLength), buffer.begin());
    return servodiag::DecodeStatusReport(buffer.data(), separator);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string separator = input.ConsumeBool() ? "," : ".";
    const auto reportLength = input.ConsumeIntegralInRange<std::uint16_t>(0, 300);
    const int ticks = input.ConsumeIntegralInRange(0, 3);
    std::deque<Answer> answers;
    for (int i = 0; i < 1 + ticks; ++i) {
        const bool refused = input.ConsumeBool();
        std::vector<std::uint8_t> bytes = input.ConsumeBytes<std::uint8_t>(reportLength);
        if (refused)
            answers.emplace_back();
        else
            answers.emplace_back(std::move(bytes));
    }
    CheckDecoders(input.ConsumeRemainingBytes<std::uint8_t>(), separator);

    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    bus.AddDevice(std::make_shared<ScriptedWheel>(reportLength, answers));
    static const ui::FormLayout layout = servodiag::ServodiagLayout();
    ui::HeadlessWindow window(layout, separator);
    servodiag::frmMain form(window, bus);
    window.Load(form);
    answers.pop_front();  // the settings, read at load
    for (int i = 0; i < ticks; ++i) {
        const std::string before = window.Text("USBerr");
        window.Tick();
        if (answers[i]) {
            const servodiag::StatusView shown = Expected(*answers[i], reportLength, separator);
            Require(window.Text("USBerr") == *shown.USBerr, "USB error count not as sent");
            Require(window.Text("bus_v") == *shown.bus_v, "bus voltage not as sent");
        } else {
            Require(window.Text("USBerr") == before, "a refused report changed the window");
        }
    }
    window.RequestClose();
    Require(bus.HandleProblems().empty(), "handle left open or closed twice");
    return 0;
}
