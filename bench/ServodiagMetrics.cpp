#include "bench/ServodiagMetrics.h"

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench/StockQtForm.h"
#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"
#include "servodiag/Layout.h"
#include "servodiag/StatusChart.h"
#include "servodiag/frmMain.h"
#include "simdevices/Bystanders.h"
#include "simdevices/WheelController.h"
#include "window/headless/HeadlessWindow.h"
#include "window/qt/ChartPanel.h"
#include "window/qt/QtWindow.h"

namespace bench {

namespace {

// The bus servodiag-sim runs on: two bystanders, then the wheel controller.
void AddDevices(sim::SimulatedBus& bus) {
    bus.AddDevice(simdevices::MakeKeyboard());
    bus.AddDevice(simdevices::MakeHeadset());
    bus.AddDevice(simdevices::MakeDiagnosticsWheel());
}

// Watches servodiag's chart over a run of status ticks: each tick must add one reading, each
// reading must be the wheel's answer, decoded, and the amplifier's position must be among them.
// Not in every one: the simulated amplifier is silent for a second in every 29, as a real one may
// be. Checked after every tick, while its reading is held.
class ChartedTicks {
  public:
    // Before the first tick.
    void Start(const ui::ChartData& chart) {
        chart_ = &chart;
        first_ = seen_ = chart.Added();
    }
    void AfterTick() {
        if (chart_ == nullptr)
            return;
        ++ticks_;
        const std::size_t added = std::min(chart_->Added() - seen_, chart_->Size());
        for (std::size_t i = chart_->Size() - added; i < chart_->Size(); ++i) {
            const std::vector<double>& values = chart_->At(i).values;
            if (values.at(servodiag::kNoAnswer) != 0 ||
                !std::isfinite(values.at(servodiag::kUsbErrors)))
                ++undecoded_;
            if (std::isfinite(values.at(servodiag::kPosition)))
                ++positions_;
        }
        seen_ = chart_->Added();
    }
    // Why the ticks did not do their job, or empty.
    std::string Shortfall() const {
        if (chart_ == nullptr)
            return "the window has no chart";
        const std::size_t added = chart_->Added() - first_;
        if (ticks_ == 0 || added != ticks_) {
            return std::to_string(ticks_) + " ticks added " + std::to_string(added) +
                   " readings to the chart";
        }
        if (undecoded_ > 0)
            return std::to_string(undecoded_) + " readings on the chart are no decoded answer";
        if (positions_ == 0)
            return "no reading on the chart holds the amplifier's position";
        return {};
    }

  private:
    const ui::ChartData* chart_ = nullptr;
    std::size_t first_ = 0;
    std::size_t seen_ = 0;
    std::size_t ticks_ = 0;
    std::size_t undecoded_ = 0;
    std::size_t positions_ = 0;
};

// The status tick's interval: the layout's timer.
int TickIntervalMs(const ui::FormLayout& layout) {
    return layout.Find("Timer")->intervalMs;
}

// The texts servodiag's status ticks change and the readings they add to its chart, tick by tick,
// on the same devices: a headless run on the virtual clock, keeping only the texts that differ
// from those shown. The chart's clock is the virtual one too, so that the readings lie a tick
// apart, as the program's do. `shortfall` says why the ticks did not do their job.
std::vector<TickChanges> ChangesPerTick(int ticks, std::string& shortfall) {
    const ui::FormLayout layout = servodiag::ServodiagLayout();
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    bus.KeepCallLog(false);
    AddDevices(bus);
    ui::HeadlessWindow window(layout);
    servodiag::frmMain form(window, bus);
    form.UseChartClock(servodiag::StatusChartClock([&] { return clock.NowMs(); }));
    window.Load(form);
    std::map<std::string, std::string> shown;
    for (const ui::ControlSpec& spec : layout.controls)
        shown[spec.name] = window.Control(spec.name).text;
    const std::optional<ui::ChartData>& chart = window.Control(servodiag::kChartControl).chart;
    std::vector<TickChanges> changes;
    ChartedTicks charted;
    charted.Start(*chart);
    for (int tick = 0; tick < ticks; ++tick) {
        const std::size_t before = window.Events().size();
        const std::size_t chartedBefore = chart->Added();
        clock.Advance(TickIntervalMs(layout));
        window.Tick();
        TickChanges tickChanges;
        TickTexts& texts = tickChanges.texts;
        for (std::size_t i = before; i < window.Events().size(); ++i) {
            const ui::WindowEvent& event = window.Events()[i];
            if (event.what == "text" && shown[event.control] != event.value) {
                shown[event.control] = event.value;
                texts.emplace_back(event.control, event.value);
            }
        }
        const std::size_t added = std::min(chart->Added() - chartedBefore, chart->Size());
        for (std::size_t i = chart->Size() - added; i < chart->Size(); ++i)
            tickChanges.chartSamples.push_back(chart->At(i));
        changes.push_back(std::move(tickChanges));
        charted.AfterTick();
    }
    shortfall = charted.Shortfall();
    window.RequestClose();
    return changes;
}

// Ends the window's loop at the form's first paint, noting when it came.
class FirstPaint : public QObject {
  public:
    FirstPaint(ui::qt::QtWindow& window, double startUs) : window_(window), startUs_(startUs) {}
    double Milliseconds() const { return (paintUs_ - startUs_) / 1000; }
    bool Painted() const { return paintUs_ != 0; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && paintUs_ == 0) {
            paintUs_ = WallMicroseconds();
            QTimer::singleShot(0, [this] { window_.Unload(); });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    ui::qt::QtWindow& window_;
    double startUs_;
    double paintUs_ = 0;
};

// servodiag's own handlers, ending the window after a number of ticks. A tick costs the main
// thread's time from its start to the next one's: the handler, the paint it causes, and the
// event loop's wait.
class CountingTicks : public ui::FormHandlers {
  public:
    CountingTicks(ui::qt::QtWindow& window, servodiag::frmMain& form, int ticks)
        : window_(window), form_(form), ticks_(ticks) {}
    const ChartedTicks& Charted() const { return charted_; }
    double CpuPerTick() const {
        std::vector<double> costs;
        for (std::size_t i = 1; i < starts_.size(); ++i)
            costs.push_back(starts_[i] - starts_[i - 1]);
        return Median(costs);
    }

    void Form_Load() override { form_.Form_Load(); }
    void Click(const std::string& control) override { form_.Click(control); }
    void Form_Unload() override { form_.Form_Unload(); }
    void Timer_Timer() override {
        starts_.push_back(ThreadCpuMicroseconds());
        if (static_cast<int>(starts_.size()) > ticks_) {
            window_.Unload();
            return;
        }
        if (starts_.size() == 1) {
            const auto* chart =
                window_.Form()->findChild<ui::qt::ChartPanel*>(servodiag::kChartControl);
            if (chart != nullptr)
                charted_.Start(chart->Data());
        }
        form_.Timer_Timer();
        charted_.AfterTick();
    }

  private:
    ui::qt::QtWindow& window_;
    servodiag::frmMain& form_;
    int ticks_;
    std::vector<double> starts_;
    ChartedTicks charted_;
};

}  // namespace

// Measured first in the process, so the start includes creating the application, as a
// program's start does.
void MeasureFirstPaint(MetricReport& report) {
    const double start = WallMicroseconds();
    sim::RealClock clock;
    sim::SimulatedBus bus(clock);
    AddDevices(bus);
    ui::qt::QtWindow window(servodiag::ServodiagLayout());
    servodiag::frmMain form(window, bus);
    FirstPaint firstPaint(window, start);
    window.Form()->installEventFilter(&firstPaint);
    window.Run(form);
    window.Form()->removeEventFilter(&firstPaint);
    if (!firstPaint.Painted())
        return report.Fail("servodiag.first_paint_ms", "the window was never painted");
    report.Add("servodiag.first_paint_ms", firstPaint.Milliseconds(), "ms");
}

void MeasureHeadlessTick(MetricReport& report, const RunSize& size) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    bus.KeepCallLog(false);
    AddDevices(bus);
    ui::HeadlessWindow window(servodiag::ServodiagLayout());
    window.KeepEventLog(false);
    servodiag::frmMain form(window, bus);
    window.Load(form);
    ChartedTicks charted;
    charted.Start(*window.Control(servodiag::kChartControl).chart);
    const double start = CpuMicroseconds();
    const int intervalMs = TickIntervalMs(servodiag::ServodiagLayout());
    // The check after each tick reads one reading: nothing beside the tick's own cost.
    for (int i = 0; i < size.headlessTicks; ++i) {
        clock.Advance(intervalMs);
        window.Tick();
        charted.AfterTick();
    }
    const double cpu = CpuMicroseconds() - start;
    const std::string shortfall = charted.Shortfall();
    window.RequestClose();
    if (!shortfall.empty())
        return report.Fail("servodiag.us_per_tick.headless", shortfall);
    report.Add("servodiag.us_per_tick.headless", cpu / size.headlessTicks, "us");
}

namespace {

// Why servodiag's Qt run did not do the work the floor does, or empty: every tick read and
// decoded the wheel's status and drew it on the chart, open on the form.
std::string QtTickShortfall(const ui::qt::QtWindow& window, const ChartedTicks& charted) {
    const auto* chart = window.Form()->findChild<ui::qt::ChartPanel*>(servodiag::kChartControl);
    if (chart == nullptr)
        return "the window has no chart";
    if (chart->Folded())
        return "the chart is folded away, so it was not drawn";
    return charted.Shortfall();
}

}  // namespace

// servodiag's window, then the stock form with the same content, text changes and chart readings
// per tick.
void MeasureQtTick(MetricReport& report, const RunSize& size) {
    const char* name = "servodiag.us_per_tick.qt";
    const ui::FormLayout layout = servodiag::ServodiagLayout();
    double program = 0;
    std::string shortfall;
    {
        sim::RealClock clock;
        sim::SimulatedBus bus(clock);
        AddDevices(bus);
        ui::qt::QtWindow window(layout);
        servodiag::frmMain form(window, bus);
        CountingTicks counting(window, form, size.qtTicks);
        window.Run(counting);
        program = counting.CpuPerTick();
        shortfall = QtTickShortfall(window, counting.Charted());
    }
    if (!shortfall.empty())
        return report.Fail(name, shortfall);
    const std::vector<TickChanges> changes = ChangesPerTick(size.qtTicks, shortfall);
    if (!shortfall.empty())
        return report.Fail(name + std::string(".floor"), shortfall);
    StockQtForm stock(layout);
    const double floor = stock.CpuPerTick(changes, TickIntervalMs(layout), size.qtTicks);
    report.AddWithFloor(name, program, floor, "us");
}

}  // namespace bench
