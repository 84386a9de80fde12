#include "bench/ChartMetrics.h"

#include <QImage>
#include <QPainter>
#include <memory>

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

void MeasureChartTick(MetricReport& report, const RunSize& size) {
    const std::shared_ptr<QApplication> application = ui::qt::AcquireApplication();
    const ui::FormLayout layout = servodiag::ServodiagLayout();
    const ui::ControlSpec& spec = *layout.Find(servodiag::kChartControl);
    ui::ChartData data(spec.chartSeries, spec.chartCapacity);
    long tick = 0;
    while (data.Size() < data.Capacity())
        data.Add(SampleAt(tick++));
    ui::ChartView view;
    ui::ChartColumns columns;
    view.ChooseSpan(ui::ChartView::kSpans.size() - 1);  // the ten minutes
    QImage image(ui::TwipsToPixels(spec.width, 96), ui::TwipsToPixels(spec.height, 96),
                 QImage::Format_RGB32);
    // The readings are made before the clock starts: the wheel's telemetry is not the chart's.
    std::vector<ui::ChartSample> readings;
    readings.reserve(std::size_t(size.chartTicks));
    for (int i = 0; i < size.chartTicks; ++i)
        readings.push_back(SampleAt(tick++));

    const double start = CpuMicroseconds();
    for (const ui::ChartSample& reading : readings) {
        data.Add(reading);
        QPainter painter(&image);
        ui::qt::PaintChart(painter, image.rect(), data, view, columns);
    }
    const double cpu = CpuMicroseconds() - start;
    report.Add("servodiag.chart.us_per_tick", cpu / size.chartTicks, "us");
    report.Add("servodiag.chart.kb", double(data.Bytes()) / 1024, "kB");
}

}  // namespace bench
