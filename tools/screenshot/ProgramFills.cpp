#include "tools/screenshot/ProgramFills.h"

#include <chrono>
#include <memory>
#include <string>

#include "ampflash/frmMain.h"
#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"
#include "servodiag/Replay.h"
#include "servodiag/StatusRecorder.h"
#include "servodiag/StatusReport.h"
#include "servodiag/StatusValues.h"
#include "servodiag/frmMain.h"
#include "simdevices/Amplifier.h"
#include "simdevices/Bystanders.h"
#include "simdevices/SimulatedSystem.h"
#include "simdevices/WheelController.h"
#include "simdevices/WheelTelemetry.h"
#include "wheelflash/frmMain.h"

namespace screenshot {

namespace {

// The simulated wheel swings within its stops and its E-STOP is pressed now and then; at this
// moment the angle is negative and fractional, the supply is on and the E-STOP is "OK".
constexpr int kServodiagSecondsOpen = 40;
constexpr int kServodiagTicks = 3;
constexpr int kTimerIntervalMs = 200;

}  // namespace

void FillServodiag(ui::Window& window) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    bus.AddDevice(simdevices::MakeKeyboard());
    bus.AddDevice(simdevices::MakeHeadset());
    bus.AddDevice(simdevices::MakeDiagnosticsWheel());

    servodiag::frmMain form(window, bus);
    form.Form_Load();
    // Every tick of the time open, so that the chart holds its readings.
    for (int tick = 0; tick < kServodiagSecondsOpen * 1000 / kTimerIntervalMs + kServodiagTicks;
         ++tick) {
        clock.Advance(kTimerIntervalMs);
        form.Timer_Timer();
    }
    form.Form_Unload();
}

namespace {

// The rows --record would have written: the wheel's telemetry every 200 ms from a fixed moment,
// eight seconds without an answer, and one row cut short.
const servodiag::Recording& ReplayedRecording() {
    static const servodiag::Recording recording = [] {
        const std::chrono::system_clock::time_point start{
            std::chrono::milliseconds(1796655845000)};  // 2026-12-07T15:04:05Z
        std::string text = servodiag::StatusCsvHeader() + "\n";
        for (int tick = 0; tick < 3 * 60 * 1000 / kTimerIntervalMs; ++tick) {
            const std::int64_t ms = std::int64_t(tick) * kTimerIntervalMs;
            std::uint8_t report[servodiag::kStatusBufferSize] = {servodiag::kStatusReportId};
            simdevices::FillStatusReport(report, sizeof report, ms);
            const servodiag::StatusValues values = servodiag::DecodeStatusValues(report);
            const bool silent = ms >= 150000 && ms < 158000;
            std::string row = servodiag::StatusCsvRow(start + std::chrono::milliseconds(ms),
                                                      silent ? nullptr : &values);
            text += (tick == 500 ? row.substr(0, 40) : row) + "\n";
        }
        return servodiag::ParseRecording(text);
    }();
    return recording;
}

}  // namespace

ui::FormLayout ServodiagReplayLayout() {
    return servodiag::ReplayLayout(ReplayedRecording());
}

void FillServodiagReplay(ui::Window& window) {
    servodiag::ReplayForm form(window, "wheel-run.csv", ReplayedRecording());
    form.Form_Load();
}

void FillAmpflash(ui::Window& window) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    bus.AddDevice(simdevices::MakeKeyboard());
    bus.AddDevice(std::make_shared<simdevices::Amplifier>());
    ampflash::frmMain form(window, bus);
    form.Form_Load();
    form.Form_Unload();
}

void FillWheelflash(ui::Window& window) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    bus.AddDevice(simdevices::MakeKeyboard());
    bus.AddDevice(std::make_shared<simdevices::WheelController>());
    wheelflash::frmMain form(window, bus);
    form.Form_Load();
    form.Form_Unload();
}

void FillWheelflashChoice(ui::Window& window) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    bus.AddDevice(simdevices::MakeKeyboard());
    simdevices::AddSimulatedDevices(bus, {"amplifier", "controller"}, {}, {});
    wheelflash::frmMain form(window, bus);
    form.Form_Load();
    form.Form_Unload();
}

}  // namespace screenshot
