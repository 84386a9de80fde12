// The simulated wheel controller behind servodiag-sim: its live values must exercise every
// state the window can show, and stay within the report the program asks for.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"
#include "servodiag/Layout.h"
#include "servodiag/StatusReport.h"
#include "servodiag/StatusValues.h"
#include "servodiag/frmMain.h"
#include "simdevices/WheelController.h"
#include "simdevices/WheelTelemetry.h"
#include "tests/servodiag/SimulatedDiagnosticsTest.h"
#include "window/headless/HeadlessWindow.h"

namespace servodiag {
namespace {

using SimulatedWheelWindowTest = testing::SimulatedDiagnosticsTest;

TEST_F(SimulatedWheelWindowTest, AMinuteOfTicksShowsEveryState) {
    window.Load(form);

    std::map<std::string, std::set<std::string>> seen;
    for (int tick = 0; tick < 5 * 60; ++tick) {
        clock.Advance(200);
        window.Tick();
        for (const char* control : {"Degrees", "bus_v", "estop", "amp_sn", "USBerr"}) {
            seen[control].insert(window.Text(control));
        }
    }

    EXPECT_TRUE(window.Text("Homing").starts_with("-")) << window.Text("Homing");
    EXPECT_EQ(seen["estop"], (std::set<std::string>{"OK", "STOP", "bypassed"}));
    EXPECT_TRUE(seen["bus_v"].count("OFF"));
    int nearFortyEightVolts = 0;
    for (const std::string& volts : seen["bus_v"]) {
        nearFortyEightVolts += volts != "OFF" && std::stod(volts) > 47 && std::stod(volts) < 49;
    }
    EXPECT_GT(nearFortyEightVolts, 10);
    EXPECT_TRUE(seen["amp_sn"].count(""));
    EXPECT_GT(seen["USBerr"].size(), 2u);
    int negative = 0, fractional = 0;
    for (const std::string& degrees : seen["Degrees"]) {
        negative += degrees.starts_with("-");
        fractional += degrees.find('.') != std::string::npos;
    }
    EXPECT_GT(negative, 10);
    EXPECT_GT(fractional, 10);
    ASSERT_TRUE(window.RequestClose());
    EXPECT_TRUE(bus.HandleProblems().empty());
}

// Ten minutes as the chart shows them: the wheel turns to and fro within its stops, the E-STOP
// is pressed now and then for a short while, and USB errors come in bursts.
TEST(SimulatedWheelTest, TurnsWithinItsStopsWithShortStopsAndErrorBursts) {
    constexpr std::int64_t kTickMs = 200;
    std::int64_t previousCounts = 0, previousUsb = 0, stopMs = 0, longestStopMs = 0;
    int turns = 0, stops = 0, bursts = 0, direction = 0;
    bool growing = false;
    for (std::int64_t t = 0; t <= 600000; t += kTickMs) {
        std::uint8_t report[kStatusBufferSize] = {kStatusReportId};
        simdevices::FillStatusReport(report, sizeof report, t);
        const StatusValues v = DecodeStatusValues(report);
        if (!v.amplifier)
            continue;  // silent for a second now and then
        const std::int64_t counts = v.amplifier->positionCounts;
        ASSERT_LE(std::abs(counts), 22500) << t;
        const int now = counts > previousCounts ? 1 : counts < previousCounts ? -1 : direction;
        turns += now != direction;
        direction = now;
        previousCounts = counts;
        stopMs = v.estop == Estop::Stop ? stopMs + kTickMs : 0;
        stops += stopMs == kTickMs;
        longestStopMs = std::max(longestStopMs, stopMs);
        bursts += v.usbErrors > previousUsb && !growing;
        growing = v.usbErrors > previousUsb;
        previousUsb = v.usbErrors;
    }
    EXPECT_GT(turns, 100);
    EXPECT_GE(stops, 20);
    EXPECT_LE(longestStopMs, 2000);
    EXPECT_GE(bursts, 40);
}

// Exactly `length` bytes of storage: the sanitizer build reports any write beyond them.
TEST(SimulatedWheelTest, ReportsStayWithinTheRequestedLength) {
    for (std::uint32_t length : {1u, 10u, 20u, 29u, 48u, 50u}) {
        std::vector<std::uint8_t> status(length, 0);
        status[0] = 17;
        simdevices::FillStatusReport(status.data(), length, 123456);
        EXPECT_EQ(status[0], 17);

        std::vector<std::uint8_t> settings(length, 0);
        settings[0] = 8;
        simdevices::FillSettingsReport(settings.data(), length);
        EXPECT_EQ(settings[0], 8);
    }
}

}  // namespace
}  // namespace servodiag
