// What the programs repeat: decoding a status report, a whole status tick through the window,
// and a firmware transfer's per-record loop. On the simulated bus with a virtual clock, so the
// figures are the programs' own cost, without the devices' pacing.
#include <benchmark/benchmark.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <memory>

#include "ampflash/Layout.h"
#include "ampflash/frmMain.h"
#include "hidlink/sim/SimulatedBus.h"
#include "servodiag/Layout.h"
#include "servodiag/StatusReport.h"
#include "servodiag/frmMain.h"
#include "simdevices/Amplifier.h"
#include "simdevices/WheelController.h"
#include "simdevices/WheelTelemetry.h"
#include "window/headless/HeadlessWindow.h"

namespace {

void DecodeStatus(benchmark::State& state) {
    std::array<std::uint8_t, servodiag::kStatusBufferSize> report{};
    report[0] = servodiag::kStatusReportId;
    simdevices::FillStatusReport(report.data(), report.size(), 12345);
    for (auto _ : state) {
        benchmark::DoNotOptimize(servodiag::DecodeStatusReport(report.data(), "."));
    }
}
BENCHMARK(DecodeStatus);

void StatusTick(benchmark::State& state) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    bus.AddDevice(simdevices::MakeDiagnosticsWheel());
    ui::HeadlessWindow window(servodiag::ServodiagLayout());
    servodiag::frmMain form(window, bus);
    window.Load(form);
    for (auto _ : state) {
        clock.Advance(200);
        window.Tick();
        bus.ClearCalls();  // the log is the test's, not the program's
    }
    window.RequestClose();
}
BENCHMARK(StatusTick);

// A whole ampflash update of N records; the virtual clock takes the device's delays.
void AmpflashUpdate(benchmark::State& state) {
    const auto records = static_cast<std::size_t>(state.range(0));
    const std::filesystem::path directory =
        std::filesystem::temp_directory_path() / "drivanta-bench-ampflash";
    std::filesystem::create_directories(directory);
    {
        std::ofstream image(directory / ampflash::kImageFileName, std::ios::binary);
        for (std::size_t i = 0; i < records * 40; ++i)
            image.put(static_cast<char>(i * 7));
    }
    for (auto _ : state) {
        sim::VirtualClock clock;
        sim::SimulatedBus bus(clock);
        bus.SetProgramDirectory(directory.string());
        bus.AddDevice(std::make_shared<simdevices::Amplifier>());
        ui::HeadlessWindow window(ampflash::AmpflashLayout());
        window.AnswerConfirmation = [](const std::string&) { return true; };  // the user accepts
        ampflash::frmMain form(window, bus);
        window.Load(form);
        window.Click("btnUpgradeFW");
        benchmark::DoNotOptimize(window.IsUnloaded());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * records));
    std::filesystem::remove_all(directory);
}
BENCHMARK(AmpflashUpdate)->Arg(300)->Arg(32766)->Unit(benchmark::kMillisecond);

}  // namespace
