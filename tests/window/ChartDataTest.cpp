// The chart's samples: a ring fed past its capacity, read back over stretches of time, and the
// view's stretch and cursor over it.
#include "window/chart/ChartData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "window/chart/ChartColumns.h"
#include "window/chart/ChartGeometry.h"
#include "window/chart/ChartText.h"
#include "window/chart/ChartView.h"

namespace ui {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

ChartSeriesSpec Spec(const char* name, const char* unit, ChartSeriesKind kind) {
    return {name, unit, kind, {}};
}

ChartSample Sample(double seconds, std::vector<double> values, std::string device = {}) {
    return {seconds, std::move(values), std::move(device), 0};
}

// 3100 samples 0.2 s apart into a ring of 3000: the first 100 (0 to 19.8 s) are gone. Series
// "n" is the sample's number; "gappy" has no value at every tenth sample.
ChartData FedRing() {
    ChartData data(
        {Spec("n", "", ChartSeriesKind::Line), Spec("gappy", "V", ChartSeriesKind::Line)}, 0);
    for (int i = 0; i < 3100; ++i)
        data.Add(Sample(i * 0.2, {double(i), i % 10 == 0 ? kNaN : double(i)}));
    return data;
}

TEST(ChartDataTest, StretchesOfTheRing) {
    const ChartData data = FedRing();
    ASSERT_EQ(data.Size(), 3000u);
    EXPECT_DOUBLE_EQ(data.At(0).seconds, 20.0);

    struct Case {
        double from, to;
        std::size_t rows;
        double min, max, mean, gappyMean;
    };
    const Case cases[] = {
        {0, 21.1, 6, 100, 105, 102.5, 103},       // starts before the oldest held
        {99.9, 101.9, 10, 500, 509, 504.5, 505},  // both ends inside, gap at 500
        {619.7, 700, 1, 3099, 3099, 3099, 3099},  // ends after the latest
        {560.1, 560.1, 0, 0, 0, 0, 0},            // between two samples: none
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " to " << c.to);
        const auto [first, last] = data.Between(c.from, c.to);
        EXPECT_EQ(last - first, c.rows);
        const auto stats = data.Stats(0, c.from, c.to);
        const auto gappy = data.Stats(1, c.from, c.to);
        ASSERT_EQ(stats.has_value(), c.rows > 0);
        if (!stats)
            continue;
        EXPECT_DOUBLE_EQ(stats->min, c.min);
        EXPECT_DOUBLE_EQ(stats->max, c.max);
        EXPECT_DOUBLE_EQ(stats->mean, c.mean);
        EXPECT_DOUBLE_EQ(gappy->mean, c.gappyMean);
        // The CSV has a row per sample, the missing value left empty.
        const std::string csv = data.Csv(c.from, c.to);
        EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), long(c.rows) + 1);
    }
    EXPECT_EQ(data.Csv(99.9, 100.3),
              "seconds,UTC,device,n,gappy (V)\n100,,,500,\n100.2,,,501,501\n");
}

TEST(ChartDataTest, TheValueAtATimeAndTheCursor) {
    const ChartData data = FedRing();
    const struct {
        double at;
        double expected;
    } at[] = {{5, 100}, {100.1, 500}, {100.25, 501}, {1e6, 3099}};
    for (const auto& c : at)
        EXPECT_DOUBLE_EQ(data.SampleAt(c.at)->values[0], c.expected) << c.at;

    ChartView view;
    EXPECT_DOUBLE_EQ(view.Visible(data).from, 619.8 - 60);
    view.Pause(data);
    EXPECT_DOUBLE_EQ(*view.Cursor(), 619.8);
    view.ChooseSpan(0);
    view.PlaceCursor(data, 605.05);  // the nearer sample
    EXPECT_DOUBLE_EQ(*view.Cursor(), 605.0);
    view.StepCursor(data, -100);  // 20 s back: the 10 s shown follow it
    EXPECT_DOUBLE_EQ(*view.Cursor(), 585.0);
    EXPECT_DOUBLE_EQ(view.Visible(data).from, 585.0);
    view.StepCursor(data, -1000000);
    EXPECT_DOUBLE_EQ(*view.Cursor(), 20.0);
    view.Resume();
    EXPECT_FALSE(view.Cursor());
    EXPECT_DOUBLE_EQ(view.Visible(data).to, 619.8);
}

// What the picture draws of a series: a column's first, extreme and last values, a stroke broken
// at a missing value, a band's runs.
TEST(ChartDataTest, StrokesAndBandRuns) {
    ChartData data({Spec("v", "", ChartSeriesKind::Line), Spec("band", "", ChartSeriesKind::Band)},
                   0);
    const double values[] = {3, 1, 2, 4, kNaN, 5, 6, 0, 7};
    for (int i = 0; i < 9; ++i)
        data.Add(Sample(i * 0.5, {values[i], i == 1 || i == 2 || i == 6 ? 1.0 : 0.0}));
    const auto whole = data.Between(0, 10);
    // Two samples to a pixel column.
    ChartColumns columns;
    columns.Update(data, 1);
    const auto strokes = columns.Strokes(0, 0, {0, data.Added()});
    ASSERT_EQ(strokes.size(), 2u);
    std::vector<std::pair<int, double>> drawn;
    for (const auto& stroke : strokes) {
        for (const StrokePoint& p : stroke)
            drawn.emplace_back(p.x, p.value);
        drawn.emplace_back(-1, 0);  // where a stroke ends
    }
    EXPECT_EQ(
        drawn,
        (std::vector<std::pair<int, double>>{
            {0, 3}, {0, 1}, {1, 2}, {1, 4}, {-1, 0}, {2, 5}, {3, 6}, {3, 0}, {4, 7}, {-1, 0}}));
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (const BandRun& run : BandRuns(data, 1, whole))
        runs.emplace_back(run.first, run.last);
    EXPECT_EQ(runs, (std::vector<std::pair<std::size_t, std::size_t>>{{1, 2}, {6, 6}}));
    EXPECT_DOUBLE_EQ(TickStep(47.2, 49, 4), 0.5);
}

}  // namespace
}  // namespace ui

namespace ui {
namespace {

// Another device's readings start afresh: its counter's first value is no new error, the
// statistics and the line begin at its first reading, and each CSV row names its device.
TEST(ChartDataTest, ADeviceSwitchStartsAfresh) {
    ChartData data(
        {Spec("volts", "V", ChartSeriesKind::Line), Spec("errors", "", ChartSeriesKind::Counter)},
        0);
    // Wheel A at 5 errors, a tick without a device, wheel B at 35, then B counts one more.
    data.Add(Sample(0, {40, 5}, "A"));
    data.Add(Sample(1, {41, 6}, "A"));
    data.Add(Sample(2, {kNaN, kNaN}));
    data.Add(Sample(3, {48, 35}, "B"));
    data.Add(Sample(4, {49, 36}, "B"));
    const auto whole = data.Between(0, 10);

    const struct {
        const char* what;
        std::vector<std::size_t> got, expected;
    } cases[] = {
        {"switches", DeviceSwitches(data, whole), {3}},
        {"counter rises", CounterRises(data, 1, whole), {1, 4}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.expected) << c.what;
    const auto stats = data.Stats(0, 0, 10);
    EXPECT_DOUBLE_EQ(stats->min, 48);
    EXPECT_DOUBLE_EQ(stats->mean, 48.5);
    EXPECT_EQ(StatsText(data, {0, 10}).rfind("device B, volts min 48", 0), 0u);
    ChartColumns columns;
    columns.Update(data, 1);
    EXPECT_EQ(columns.Strokes(0, 0, {0, data.Added()}).size(), 2u);
    EXPECT_DOUBLE_EQ(columns.Range(0, {0, data.Added()})->min, 48);
    EXPECT_EQ(data.Csv(0, 1.5), "seconds,UTC,device,volts (V),errors\n0,,A,40,5\n1,,A,41,6\n");
    EXPECT_EQ(CursorText(data, 3).rfind("At 3 s, device B: volts 48 V", 0), 0u);
}

// Replayed rows may share a time: the cursor still steps through each, and reads out each.
TEST(ChartDataTest, TheCursorStepsOverEqualTimes) {
    ChartData data({Spec("n", "", ChartSeriesKind::Line)}, 0);
    for (int i = 0; i < 6; ++i)
        data.Add(Sample(i / 3, {double(i)}));
    ChartView view;
    view.Pause(data);
    std::vector<std::size_t> visited{*view.CursorIndex(data)};
    for (int i = 0; i < 5; ++i) {
        view.Press(data, ChartKey::Back, false);
        visited.push_back(*view.CursorIndex(data));
    }
    EXPECT_EQ(visited, (std::vector<std::size_t>{5, 4, 3, 2, 1, 0}));
    EXPECT_NE(CursorText(data, 4), CursorText(data, 5));
}

// Whatever a file or a device sends, the axes stay finite and their ticks few.
TEST(ChartDataTest, AxesOverAnyValues) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const struct {
        double min, max;
    } cases[] = {{-1e308, 1e308}, {1e308, 1e308}, {-kInf, kInf}, {kNaN, 1}, {5, 5}, {0, 1e-300}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.min << " to " << c.max);
        const ValueRange range = PaddedRange(ChartStats{c.min, c.max, c.min});
        EXPECT_TRUE(std::isfinite(range.low) && std::isfinite(range.high) &&
                    std::isfinite(range.high - range.low) && range.high > range.low);
        EXPECT_LE(Ticks(range.low, range.high, 4).size(), 20u);
        EXPECT_LE(Ticks(c.min, c.max, 4).size(), 20u);
        EXPECT_TRUE(std::isfinite(Fraction(c.max, range.low, range.high)));
    }
}

}  // namespace
}  // namespace ui
