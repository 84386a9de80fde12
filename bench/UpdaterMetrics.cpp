#include "bench/UpdaterMetrics.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ampflash/Layout.h"
#include "ampflash/frmMain.h"
#include "bench/AcceptingUser.h"
#include "bench/ImageDirectory.h"
#include "bench/RecordingClock.h"
#include "bench/UpdateOutcome.h"
#include "cmdline/CommandLine.h"
#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"
#include "simdevices/Amplifier.h"
#include "simdevices/Bystanders.h"
#include "simdevices/WheelController.h"
#include "updater/FirmwareImage.h"
#include "updater/UpdaterForm.h"
#include "wheelflash/Layout.h"
#include "wheelflash/frmMain.h"
#include "window/headless/HeadlessWindow.h"
#include "window/qt/QtWindow.h"

namespace bench {

namespace {

constexpr std::uint32_t kRecordPacingMs = 4;
// The amplifier's own timeline around an update: it starts its bootloader in six seconds, takes a
// record every 4 ms and is back `returnAfterMs` after its reset; the user then reads "Update
// complete" for as long as the updaters show it.
constexpr std::int64_t kBootloaderStartMs = 6000;
// A real-clock update that has not ended by then never will: the question was not asked, or the
// update hangs. One that failed ends the run at once.
constexpr int kGiveUpMsPerRecord = 20;
constexpr int kGiveUpMsBeyondRecords = 60000;
constexpr int kLookForFailureEveryMs = 100;

// The user accepts the question before the update, as whoever starts one does.
bool Accept(const std::string& /*question*/) {
    return true;
}

// The bus's log is the tests' record, not the program's work: off, as outside the tests.
void AmpflashCpu(MetricReport& report, std::size_t records) {
    ImageDirectory image(ampflash::kImageFileName, records);
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    bus.KeepCallLog(false);
    bus.SetProgramDirectory(image.Path());
    auto amplifier = std::make_shared<simdevices::Amplifier>();
    bus.AddDevice(amplifier);
    ui::HeadlessWindow window(ampflash::AmpflashLayout());
    window.KeepEventLog(false);
    window.AnswerConfirmation = Accept;
    ampflash::frmMain form(window, bus);
    window.Load(form);
    const double start = CpuMicroseconds();
    window.Click("btnUpgradeFW");
    const double cpu = CpuMicroseconds() - start;
    const std::string shortfall =
        UpdateShortfall({image.WrittenBytes(), image.Bytes(), amplifier->ReceivedImage(),
                         window.Text("btnUpgradeFW"), form.ExitStatus()});
    if (!shortfall.empty())
        return report.Fail("ampflash.cpu_us_per_record", shortfall);
    report.Add("ampflash.cpu_us_per_record", cpu / static_cast<double>(records), "us");
}

void WheelflashCpu(MetricReport& report, std::size_t records) {
    ImageDirectory image(wheelflash::kImageFileName, records);
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    bus.KeepCallLog(false);
    bus.SetProgramDirectory(image.Path());
    bus.AddDevice(simdevices::MakeKeyboard());
    auto controller = std::make_shared<simdevices::WheelController>();
    bus.AddDevice(controller);
    ui::HeadlessWindow window(wheelflash::WheelflashLayout());
    window.KeepEventLog(false);
    window.AnswerConfirmation = Accept;
    wheelflash::frmMain form(window, bus);
    window.Load(form);
    const double start = CpuMicroseconds();
    window.Click("Command4");  // "Upgrade Firmware": command, wait, transfer
    const double cpu = CpuMicroseconds() - start;
    const std::string shortfall =
        UpdateShortfall({image.WrittenBytes(), image.Bytes(), controller->ReceivedImage(),
                         window.Text("Command2"), form.ExitStatus()});
    if (!shortfall.empty())
        return report.Fail("wheelflash.cpu_us_per_record", shortfall);
    report.Add("wheelflash.cpu_us_per_record", cpu / static_cast<double>(records), "us");
}

}  // namespace

void MeasureUpdaterCpu(MetricReport& report, const RunSize& size) {
    AmpflashCpu(report, size.updateRecords);
    WheelflashCpu(report, size.updateRecords);
}

// What the transfer loop asks of the window after each record, paced as the transfer is.
void MeasureQtProgress(MetricReport& report, const RunSize& size) {
    sim::RealClock clock;
    ui::qt::QtWindow window(ampflash::AmpflashLayout());
    window.Show();
    window.SetVisible("Pic", true);
    const QWidget* fill = window.Form()->findChild<QWidget*>("Pic");
    const int fullPixels = fill->width();
    const int fullWidth = updater::RoundHalfEven(window.Width("Pic"));
    window.SetWidth("Pic", 0);
    window.ProcessEvents();
    clock.BeginPreciseTiming();
    std::vector<double> costs;
    for (int sent = 1; sent <= size.pacedRecords; ++sent) {
        clock.Sleep(kRecordPacingMs);
        const double start = ThreadCpuMicroseconds();
        window.SetWidth("Pic", updater::ProgressWidth(sent, fullWidth, size.pacedRecords));
        window.Refresh("Pic");
        window.ProcessEvents();
        costs.push_back(ThreadCpuMicroseconds() - start);
    }
    clock.EndPreciseTiming();
    // The display's job: the whole bar drawn once the last record is in.
    QCoreApplication::processEvents();
    if (!fill->isVisible() || fill->width() != fullPixels)
        return report.Fail("gui.qt.us_per_record", "the fill ended " +
                                                       std::to_string(fill->width()) + " of " +
                                                       std::to_string(fullPixels) + " px wide");
    report.Add("gui.qt.us_per_record", Median(costs), "us");
}

namespace {

// From the user's answer to the window's unload, beside the same sleeps taken again with no
// work between them: what the update would take if the program cost nothing. The amplifier
// leaves the bus at its reset and is back `returnAfterMs` later, so the program sees it go and
// come back, and the floor replays that same successful exchange.
void AmpflashRealClock(MetricReport& report, std::size_t records, std::int64_t returnAfterMs) {
    // Appended, not added up: GCC 12 warns falsely of overlapping copies in "." + ... + "ms".
    std::string suffix = ".";
    suffix.append(std::to_string(returnAfterMs)).append("ms");
    const std::string name = "ampflash.realclock.seconds" + suffix;
    ImageDirectory image(ampflash::kImageFileName, records);
    RecordingClock clock;
    sim::SimulatedBus bus(clock);
    bus.KeepCallLog(false);
    bus.SetProgramDirectory(image.Path());
    simdevices::AmplifierOptions options;
    options.returnAfterMs = returnAfterMs;
    auto amplifier = std::make_shared<simdevices::Amplifier>(options);
    bus.AddDevice(amplifier);
    ui::qt::QtWindow window(ampflash::AmpflashLayout());
    ampflash::frmMain form(window, bus);

    double start = 0;
    std::size_t mark = 0;
    AcceptingUser user("Update", [&] {
        start = WallMicroseconds();
        mark = clock.Mark();
    });
    bool gaveUp = false;
    // With the window as their context: none runs once it is gone.
    QTimer::singleShot(0, window.Form(), [&] { form.Click("btnUpgradeFW"); });
    QTimer::singleShot(static_cast<int>(records) * kGiveUpMsPerRecord + kGiveUpMsBeyondRecords,
                       window.Form(), [&] {
                           gaveUp = true;
                           window.Unload();
                       });
    // A failed update leaves the window open with the failure on the button: nothing more to wait
    // for. The status settles on the failure as the caption shows it.
    QTimer lookForFailure(window.Form());
    QObject::connect(&lookForFailure, &QTimer::timeout, [&] {
        if (form.ExitStatus() == cmdline::kUpdateFailed)
            window.Unload();
    });
    lookForFailure.start(kLookForFailureEveryMs);
    window.Run(form);
    const double programUs = WallMicroseconds() - start;
    if (!user.Answered())
        return report.Fail(name, "the question before the update was never asked");
    if (gaveUp)
        return report.Fail(name, "the window stayed open after \"" + window.Text("btnUpgradeFW") +
                                     "\": the bench's timer closed it");
    const std::string shortfall =
        UpdateShortfall({image.WrittenBytes(), image.Bytes(), amplifier->ReceivedImage(),
                         window.Text("btnUpgradeFW"), form.ExitStatus()});
    if (!shortfall.empty())
        return report.Fail(name, shortfall);

    const std::vector<ClockStep> steps = clock.StepsSince(mark);
    const double floorUs = ReplayMicroseconds(steps);
    report.AddWithFloor(name, programUs / 1e6, floorUs / 1e6, "s");
    const double latenessMs = floorUs / 1000 - static_cast<double>(SleptMs(steps));
    report.Add("ampflash.realclock.floor_lateness_ms" + suffix, latenessMs, "ms");
    // The floor replays the program's own sleeps, however long: a program that sleeps longer than
    // the device needs scores the same ratio. Its sleeps beyond the device's timeline show it,
    // free of the machine's lateness and load, which the ratio judges.
    const std::int64_t deviceMs = kBootloaderStartMs +
                                  static_cast<std::int64_t>(records * kRecordPacingMs) +
                                  returnAfterMs + updater::kCompleteShownMs;
    report.Add("ampflash.realclock.device_seconds" + suffix, double(deviceMs) / 1000, "s");
    report.Add(name + ".slept_beyond_device", double(SleptMs(steps) - deviceMs) / 1000, "s");
}

}  // namespace

// As the amplifier returns (a second and a half after its reset), and as quickly as a device can
// (a tenth of a second, before the program first looks).
void MeasureAmpflashRealClock(MetricReport& report, const RunSize& size) {
    for (const std::int64_t returnAfterMs : {1500, 100})
        AmpflashRealClock(report, size.realClockRecords, returnAfterMs);
}

}  // namespace bench
