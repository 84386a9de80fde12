#include "bench/ChartMetrics.h"

#include <QImage>
#include <QPainter>
#include <memory>
#include <vector>

#include "bench/StockChart.h"
#include "servodiag/Layout.h"
#include "servodiag/StatusChart.h"
#include "servodiag/StatusReport.h"
#include "simdevices/WheelTelemetry.h"
#include "window/qt/ChartPainting.h"
#include "window/qt/QtApplication.h"

namespace bench {

namespace {

constexpr int kTickMs = 200;

// The simulated wheel's reading at a tick, as servodiag puts it on the chart.
ui::ChartSample SampleAt(long tick) {
    std::uint8_t report[servodiag::kStatusBufferSize] = {servodiag::kStatusReportId};
    simdevices::FillStatusReport(report, sizeof report, tick * kTickMs);
    const servodiag::StatusValues values = servodiag::DecodeStatusValues(report);
    return servodiag::StatusChartSample({double(tick) * kTickMs / 1000, 0}, &values, "bench");
}

}  // namespace

namespace {

// CPU per reading to add it to a chart holding `data` and draw the whole of it with `draw`.
template <typename Draw>
double CpuPerReading(ui::ChartData data, const std::vector<ui::ChartSample>& readings,
                     QImage& image, Draw draw) {
    const double start = CpuMicroseconds();
    for (const ui::ChartSample& reading : readings) {
        data.Add(reading);
        QPainter painter(&image);
        draw(painter, data);
    }
    return (CpuMicroseconds() - start) / double(readings.size());
}

}  // namespace

// servodiag's chart full (ten minutes of readings), each new reading drawn with ten minutes
// shown and with ten seconds; the ten minutes beside the stock drawing of its lines.
void MeasureChartTick(MetricReport& report, const RunSize& size) {
    const std::shared_ptr<QApplication> application = ui::qt::AcquireApplication();
    const ui::FormLayout layout = servodiag::ServodiagLayout();
    const ui::ControlSpec& spec = *layout.Find(servodiag::kChartControl);
    ui::ChartData full(spec.chartSeries, spec.chartCapacity);
    long tick = 0;
    while (full.Size() < full.Capacity())
        full.Add(SampleAt(tick++));
    QImage image(ui::TwipsToPixels(spec.width, 96), ui::TwipsToPixels(spec.height, 96),
                 QImage::Format_RGB32);
    // The readings are made before the clock starts: the wheel's telemetry is not the chart's.
    std::vector<ui::ChartSample> readings;
    readings.reserve(std::size_t(size.chartTicks));
    for (int i = 0; i < size.chartTicks; ++i)
        readings.push_back(SampleAt(tick++));

    auto chartShowing = [&](std::size_t span) {
        ui::ChartView view;
        ui::ChartColumns
            columns;  // kept up to date from one reading to the next, as the window does
        view.ChooseSpan(span);
        return CpuPerReading(full, readings, image, [&](QPainter& painter, const ui::ChartData& d) {
            ui::qt::PaintChart(painter, image.rect(), d, view, columns);
        });
    };
    const std::size_t tenMinutes = ui::ChartView::kSpans.size() - 1;
    const double longest = chartShowing(tenMinutes);
    const double shortest = chartShowing(0);
    const double floor =
        CpuPerReading(full, readings, image, [&](QPainter& painter, const ui::ChartData& d) {
            DrawStockChart(painter, image.rect(), d, ui::ChartView::kSpans[tenMinutes]);
        });
    report.AddWithFloor("servodiag.chart.us_per_tick.10min", longest, floor, "us");
    report.Add("servodiag.chart.us_per_tick.10s", shortest, "us");
    // A clock too coarse to see the ten seconds' drawing gives no ratio, not an infinite one.
    if (shortest > 0)
        report.Add("servodiag.chart.us_per_tick.10min_over_10s", longest / shortest, "ratio");
    else
        report.Fail("servodiag.chart.us_per_tick.10min_over_10s", "the ten seconds took no time");
    report.Add("servodiag.chart.kb", double(full.Bytes()) / 1024, "kB");
}

}  // namespace bench
