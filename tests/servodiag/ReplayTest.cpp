// --replay reads back what --record wrote: every good row onto the chart, each bad row named by
// its line and reason, and the window saying it shows a recording.
#include "servodiag/Replay.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include <sys/stat.h>

#include <cstdio>
#include <fstream>

#include "servodiag/ReplayFile.h"
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
    EXPECT_EQ(window.Text("Label2"), "Started");
    EXPECT_EQ(window.Text("lblVersion"), "2026-12-07T15:04:05.000Z");
    EXPECT_EQ(window.Text("Label3"), "Ended");
    EXPECT_EQ(window.Text("lblSerialNumber"), "2026-12-07T15:04:05.400Z");
    EXPECT_FALSE(window.TimerEnabled());
    const ui::ChartData& chart = *window.Control(kChartControl).chart;
    ASSERT_EQ(chart.Size(), 3u);
    EXPECT_DOUBLE_EQ(chart.At(2).seconds, 0.4);
    EXPECT_DOUBLE_EQ(chart.At(2).values[kPosition], -90);
    EXPECT_DOUBLE_EQ(chart.At(2).values[kBusVolts], 48.12);
    EXPECT_EQ(chart.At(2).values[kEstopState], 1);
    EXPECT_EQ(chart.At(2).utcMilliseconds, 1796655845400);
    EXPECT_EQ(chart.At(1).values[kNoAnswer], 1);
}

// A file is anyone's: a value no device can send is refused by line, whatever it would do to the
// chart, and what a row quotes cannot reach a terminal raw.
TEST(ReplayTest, ValuesNoDeviceSendsAreRefused) {
    StatusValues bypassed;
    bypassed.estop = Estop::Bypassed;
    bypassed.busVolts = 48;
    bypassed.amplifier = AmplifierDetails{0, 0, 2, 0x1A, 1, 3, 20417, 6010};
    const std::string good = Row(0, &bypassed);
    // The row's fields: time, device, counts, degrees, volts, E-STOP, USB, SPI, ...
    const auto with = [&](int field, const std::string& text) {
        std::string row = good;
        std::size_t start = 0;
        for (int i = 0; i < field; ++i)
            start = row.find(',', start) + 1;
        return row.replace(start, row.find(',', start) - start, text);
    };
    const struct {
        std::string row;
        const char* reason;  // empty: taken
    } cases[] = {
        {good, ""},
        {with(4, "1e308"), "the bus voltage is out of range"},
        {with(4, "-1e308"), "the bus voltage is out of range"},
        {with(4, "inf"), "the bus voltage is not a number"},
        {with(4, "nan"), "the bus voltage is not a number"},
        {with(4, "655.36"), "the bus voltage is out of range"},
        {with(3, "1e308"), "the position is out of range"},
        {with(3, "-inf"), "the position is not a number"},
        {with(2, "99999999999"), "the position is out of range"},
        {with(6, "256"), "an error count is out of range"},
        {with(7, "-1"), "an error count is out of range"},
        {with(5, "<b>\x1b[2J"), "E-STOP is \"<b>\\x1B[2J\", not ok"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        const Recording recording = ParseRecording(StatusCsvHeader() + "\n" + c.row);
        if (*c.reason == '\0') {
            ASSERT_EQ(recording.rows.size(), 1u);
            EXPECT_EQ(recording.rows[0].values->estop, Estop::Bypassed);
            continue;
        }
        EXPECT_TRUE(recording.rows.empty());
        ASSERT_EQ(recording.problems.size(), 1u);
        EXPECT_EQ(recording.problems[0].line, 2u);
        EXPECT_EQ(recording.problems[0].reason.rfind(c.reason, 0), 0u)
            << recording.problems[0].reason;
    }
}

#ifndef _WIN32  // FIFOs and /dev are Unix's
// What is not a recording is refused by its type before a byte is read: /dev/zero would never
// end, a FIFO would hold the program.
TEST(ReplayTest, OnlyRegularFilesAreRead) {
    const std::string fifo = ::testing::TempDir() + "replay-fifo";
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        const char* why;
    } cases[] = {
        {"/tmp", "/tmp: a folder, not a recording"},
        {"/dev/zero", "/dev/zero: not a regular file"},
        {fifo, "not a regular file"},
        {"/nonexistent/run.csv", "/nonexistent/run.csv: No such file"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(ReadRecordingFile(c.path, &error)) << c.path;
        EXPECT_NE(error.find(c.why), std::string::npos) << error;
    }
    std::remove(fifo.c_str());
}
#endif

// A day at five readings a second loads whole, and its chart takes a small multiple of the file.
TEST(ReplayTest, ADayOfRecordingLoads) {
    StatusValues live;
    live.busVolts = 48.12;
    live.amplifier = AmplifierDetails{-10000, -90, 2, 0x1A, 1, 3, 20417, 6010};
    constexpr int kRows = 24 * 60 * 60 * 5;
    const std::string path = ::testing::TempDir() + "replay-day.csv";
    {
        std::ofstream file(path, std::ios::binary);
        file << StatusCsvHeader() << "\n";
        for (int tick = 0; tick < kRows; ++tick)
            file << Row(tick, &live);
    }
    std::string error;
    const std::optional<std::string> text = ReadRecordingFile(path, &error);
    ASSERT_TRUE(text) << error;
    const Recording recording = ParseRecording(*text);
    std::remove(path.c_str());
    EXPECT_EQ(recording.rows.size(), std::size_t(kRows));
    EXPECT_EQ(recording.problemCount, 0u);
    const ui::ChartData chart(StatusChartSeries(), recording.rows.size());
    const std::size_t held = chart.Bytes() + recording.rows.capacity() * sizeof(RecordedRow);
    EXPECT_LT(held, 4 * text->size());
}

}  // namespace
}  // namespace servodiag
