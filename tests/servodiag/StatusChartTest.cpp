// What servodiag puts on its chart: a sample per status exchange, at the time it was read, with
// the values the report carried and the device read, and the exchanges the device did not answer
// marked as such.
#include "servodiag/StatusChart.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"
#include "servodiag/Layout.h"
#include "servodiag/frmMain.h"
#include "tests/servodiag/ScriptedWheel.h"
#include "window/headless/HeadlessWindow.h"

namespace servodiag {
namespace {

TEST(StatusChartTest, EachExchangeIsASampleOfWhatTheReportSaid) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus{clock};
    auto wheel = std::make_shared<testing::ScriptedWheel>();
    bus.AddDevice(wheel);
    ui::HeadlessWindow window{ServodiagLayout()};
    frmMain form{window, bus};
    form.UseChartClock(StatusChartClock([&] { return clock.NowMs(); }, [] { return 1000000; }));
    window.Load(form);

    const double kNone = NAN;
    struct Step {
        std::uint8_t positionLow, positionHigh, usbErrors, estopFlags, powerFlags;
        bool fails;
        int waitMs;                    // on the clock before the exchange
        std::vector<double> expected;  // position, volts, USB, SPI, E-STOP, no answer
    };
    // A stalled read shows as the time it took, not as one timer interval.
    const Step steps[] = {
        {0x10, 0x27, 2, 0x80, 1, false, 0, {90, kNone, 2, 0, 0, 0}},    // bus off: no voltage
        {0x10, 0x27, 3, 0xA0, 0, false, 200, {90, 48.12, 3, 0, 1, 0}},  // E-STOP pressed
        {0xF0, 0xD8, 3, 0x80, 0, true, 5000, {kNone, kNone, kNone, kNone, kNone, 1}},
        {0xF0, 0xD8, 4, 0x80, 0, false, 200, {-90, 48.12, 4, 0, 0, 0}},
        {0xF0, 0xD8, 4, 0x00, 0, false, 200, {-90, 48.12, 4, 0, 2, 0}},  // E-STOP bypassed
    };
    std::vector<std::int64_t> readAt;
    for (const Step& step : steps) {
        wheel->status[5] = step.positionLow;
        wheel->status[6] = step.positionHigh;
        wheel->status[7] = wheel->status[8] = step.positionHigh >= 0x80 ? 0xFF : 0;
        wheel->status[47] = step.usbErrors;
        wheel->status[45] = step.estopFlags;
        wheel->status[49] = step.powerFlags;
        wheel->status[27] = 0xCC;  // 48.12 V
        wheel->status[28] = 0x12;
        if (step.fails)
            bus.FailNext("HidD_GetFeature");
        clock.Advance(step.waitMs);
        readAt.push_back(clock.NowMs());
        window.Tick();
    }

    const ui::ChartData& chart = *window.Control(kChartControl).chart;
    ASSERT_EQ(chart.Size(), std::size(steps));
    for (std::size_t i = 0; i < chart.Size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_DOUBLE_EQ(chart.At(i).seconds, double(readAt[i] - readAt[0]) / 1000);
        EXPECT_EQ(chart.At(i).utcMilliseconds, 1000000 + readAt[i] - readAt[0]);
        EXPECT_EQ(chart.At(i).device, "S1");  // the serial number read
        for (std::size_t s = 0; s < steps[i].expected.size(); ++s) {
            const double expected = steps[i].expected[s];
            const double got = chart.At(i).values[s];
            EXPECT_TRUE(std::isnan(expected) ? std::isnan(got) : got == expected)
                << chart.Series()[s].name << ": " << got;
        }
    }
}

}  // namespace
}  // namespace servodiag
