// --replay reads back what --record wrote: every good row onto the chart, each bad row named by
// its line and reason, and the window saying it shows a recording.
#include "servodiag/Replay.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include "servodiag/StatusChart.h"
#include "servodiag/StatusRecorder.h"
#include "window/headless/HeadlessWindow.h"

namespace servodiag {
namespace {

// Rows as the recorder writes them, 200 ms apart from 2026-12-07T15:04:05.000Z.
std::string Row(int tick, const StatusValues* values) {
    const std::chrono::system_clock::time_point start{std::chrono::milliseconds(1796655845000)};
    return StatusCsvRow(start + std::chrono::milliseconds(200 * tick), values) + "\n";
}

TEST(ReplayTest, GoodRowsAreShownAndBadOnesNamed) {
    StatusValues live;
    live.usbErrors = 3;
    live.busVolts = 48.12;
    live.estop = Estop::Stop;
    live.amplifier = AmplifierDetails{-10000, -90, 2, 0x1A, 1, 3, 20417, 6010};
    const std::string header = StatusCsvHeader() + "\n";
    const std::string good = header + Row(0, &live) + Row(1, nullptr) + Row(2, &live);

    const struct {
        const char* what;
        std::string text;
        std::size_t rows;
        std::vector<std::size_t> badLines;
        const char* firstReason;
    } cases[] = {
        {"a whole recording", good, 3, {}, ""},
        {"with Windows line ends", StatusCsvHeader() + "\r\n" + Row(0, &live), 1, {}, ""},
        {"not a recording", "time,value\n1,2\n", 0, {1}, "not a servodiag recording"},
        {"an empty file", "", 0, {1}, "the file is empty"},
        {"bad rows in the middle",
         header + Row(0, &live) + "2026-12-07T15:04:05.200Z,ok,1,2\n" + Row(2, nullptr) +
             Row(1, &live) + Row(3, &live).replace(30, 4, "half") + Row(4, &live),
         3,
         {3, 5, 6},
         "4 fields, not 12"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Recording recording = ParseRecording(c.text);
        EXPECT_EQ(recording.rows.size(), c.rows);
        std::vector<std::size_t> lines;
        for (const RecordingProblem& problem : recording.problems)
            lines.push_back(problem.line);
        EXPECT_EQ(lines, c.badLines);
        if (!recording.problems.empty()) {
            EXPECT_EQ(recording.problems[0].reason.rfind(c.firstReason, 0), 0u)
                << recording.problems[0].reason;
        }
    }

    const Recording recording = ParseRecording(good);
    ui::HeadlessWindow window{ReplayLayout(recording)};
    ReplayForm form(window, "/tmp/runs/wheel.csv", recording);
    window.Load(form);
    EXPECT_EQ(window.Title(), "Drivanta v2 diagnostics \u2014 recording wheel.csv");
    EXPECT_EQ(window.Text("lblVersion"), "from 2026-12-07T15:04:05.000Z");
    EXPECT_EQ(window.Text("lblSerialNumber"), "to 2026-12-07T15:04:05.400Z");
    EXPECT_FALSE(window.TimerEnabled());
    const ui::ChartData& chart = *window.Control(kChartControl).chart;
    ASSERT_EQ(chart.Size(), 3u);
    EXPECT_DOUBLE_EQ(chart.At(2).seconds, 0.4);
    EXPECT_DOUBLE_EQ(chart.At(2).values[kPosition], -90);
    EXPECT_DOUBLE_EQ(chart.At(2).values[kBusVolts], 48.12);
    EXPECT_EQ(chart.At(2).values[kEstopPressed], 1);
    EXPECT_EQ(chart.At(1).values[kNoAnswer], 1);
}

}  // namespace
}  // namespace servodiag
