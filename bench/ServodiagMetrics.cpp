#include "bench/ServodiagMetrics.h"

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <memory>
#include <vector>

#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"
#include "servodiag/Layout.h"
#include "servodiag/frmMain.h"
#include "simdevices/Bystanders.h"
#include "simdevices/WheelController.h"
#include "window/headless/HeadlessWindow.h"
#include "window/qt/QtWindow.h"

namespace bench {

namespace {

// The bus servodiag-sim runs on: two bystanders, then the wheel controller.
void AddDevices(sim::SimulatedBus& bus) {
    bus.AddDevice(simdevices::MakeKeyboard());
    bus.AddDevice(simdevices::MakeHeadset());
    simdevices::WheelControllerOptions wheel;
    wheel.productId = 0x1020;
    bus.AddDevice(std::make_shared<simdevices::WheelController>(wheel));
}

// The status tick's interval: the layout's timer.
int TickIntervalMs(const ui::FormLayout& layout) {
    return layout.Find("Timer")->intervalMs;
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
    CountingTicks(ui::Window& window, servodiag::frmMain& form, int ticks)
        : window_(window), form_(form), ticks_(ticks) {}
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
        form_.Timer_Timer();
    }

  private:
    ui::Window& window_;
    servodiag::frmMain& form_;
    int ticks_;
    std::vector<double> starts_;
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
    const double start = CpuMicroseconds();
    const int intervalMs = TickIntervalMs(servodiag::ServodiagLayout());
    for (int i = 0; i < size.headlessTicks; ++i) {
        clock.Advance(intervalMs);
        window.Tick();
    }
    const double cpu = CpuMicroseconds() - start;
    window.RequestClose();
    report.Add("servodiag.us_per_tick.headless", cpu / size.headlessTicks, "us");
}

void MeasureQtTick(MetricReport& report, const RunSize& size) {
    sim::RealClock clock;
    sim::SimulatedBus bus(clock);
    AddDevices(bus);
    ui::qt::QtWindow window(servodiag::ServodiagLayout());
    servodiag::frmMain form(window, bus);
    CountingTicks counting(window, form, size.qtTicks);
    window.Run(counting);
    report.Add("servodiag.us_per_tick.qt", counting.CpuPerTick(), "us");
}

}  // namespace bench
