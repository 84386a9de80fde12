#include "window/qt/ChartPainting.h"

#include <QFontMetrics>
#include <QPainterPath>
#include <cmath>
#include <vector>

#include "window/chart/ChartGeometry.h"
#include "window/chart/ChartPalette.h"
#include "window/qt/ColorMapping.h"

namespace ui::qt {

namespace {

constexpr int kMarkStrip = 14;  // under the line panels, for the counters' marks
constexpr int kMarkSize = 5;
constexpr int kPanelGap = 6;

QColor Color(ColorRef color) {
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

QString Number(double value) {
    return QString::number(std::abs(value) < 1e-9 ? 0 : value, 'g', 6);
}

QBrush StateBrush(ColorRef color, Hatch hatch, double state) {
    // A second non-zero state (E-STOP bypassed) is hatched apart from the first (pressed).
    if (state >= 2)
        return QBrush(Color(color), Qt::CrossPattern);
    return QBrush(Color(color), hatch == Hatch::Diagonal ? Qt::BDiagPattern : Qt::DiagCrossPattern);
}

struct Mapping {
    QRectF rect;
    TimeSpan shown;
    double x(double seconds) const {
        return rect.left() + Fraction(seconds, shown.from, shown.to) * rect.width();
    }
};

void PaintTimeAxis(QPainter& painter, const ChartPalette& palette, const Mapping& time,
                   double bottom) {
    painter.setPen(QPen(Color(palette.grid), 1, Qt::DotLine));
    for (const double t : Ticks(time.shown.from, time.shown.to, 6)) {
        const double x = time.x(t);
        painter.setPen(QPen(Color(palette.grid), 1, Qt::DotLine));
        painter.drawLine(QPointF(x, time.rect.top()), QPointF(x, bottom));
        painter.setPen(Color(palette.text));
        painter.drawText(QRectF(x - 40, bottom + 1, 80, painter.fontMetrics().height()),
                         Qt::AlignHCenter | Qt::AlignTop, Number(t) + " s");
    }
}

void PaintBands(QPainter& painter, const ChartData& data, const Mapping& time,
                std::pair<std::size_t, std::size_t> shown) {
    std::size_t nth = 0;
    for (std::size_t s = 0; s < data.Series().size(); ++s) {
        if (data.Series()[s].kind != ChartSeriesKind::Band)
            continue;
        const SeriesStyle style = StyleOf(ChartSeriesKind::Band, nth++);
        // A run of samples that hold the state shades from its first to the sample after its
        // last: one rectangle per run, however many samples.
        for (const BandRun& run : BandRuns(data, s, shown)) {
            const std::size_t first = run.first;
            const std::size_t last = run.last;
            const double from = time.x(data.At(first).seconds);
            const double to = last + 1 < data.Size() ? time.x(data.At(last + 1).seconds)
                                                     : time.x(data.At(last).seconds) + 2;
            const QRectF band(QPointF(std::max(from, time.rect.left()), time.rect.top()),
                              QPointF(std::min(to, time.rect.right()), time.rect.bottom()));
            painter.fillRect(band, StateBrush(style.color, style.hatch, run.value));
        }
    }
}

void PaintLine(QPainter& painter, const ChartPalette& palette, const ChartData& data,
               std::size_t series, std::size_t nth, const Mapping& time, const QRectF& panel,
               std::pair<std::size_t, std::size_t> shown) {
    const ChartSeriesSpec& spec = data.Series()[series];
    const ValueRange range = PaddedRange(data.Stats(series, time.shown.from, time.shown.to));
    const auto y = [&](double v) {
        return panel.bottom() - Fraction(v, range.low, range.high) * panel.height();
    };

    painter.setPen(QPen(Color(palette.grid), 1));
    painter.drawRect(panel);
    for (const double v : Ticks(range.low, range.high, 4)) {
        painter.setPen(QPen(Color(palette.grid), 1, Qt::DotLine));
        painter.drawLine(QPointF(panel.left(), y(v)), QPointF(panel.right(), y(v)));
        painter.setPen(Color(palette.text));
        painter.drawText(QRectF(0, y(v) - 8, panel.left() - 4, 16),
                         Qt::AlignRight | Qt::AlignVCenter, Number(v));
    }
    const SeriesStyle style = StyleOf(ChartSeriesKind::Line, nth);
    painter.setPen(Color(style.color));
    painter.drawText(panel.adjusted(4, 1, -4, 0), Qt::AlignLeft | Qt::AlignTop,
                     QString::fromStdString(spec.name + " (" + spec.unit + ")"));

    // A missing value breaks the line: the gap shows. Ten minutes hold more samples than the
    // panel has pixel columns: each column gets the lowest and highest of its samples, which is
    // all that can be seen of them, so a full chart draws in a fraction of the tick.
    QPainterPath path;
    const auto column = [&](double seconds) { return Pixel(time.x(seconds)); };
    for (const auto& stroke : LineStrokes(data, series, shown, column)) {
        path.moveTo(stroke.front().x, y(stroke.front().value));
        for (const StrokePoint& point : stroke)
            path.lineTo(point.x, y(point.value));
    }
    QPen pen(Color(style.color), 1, style.stroke == Stroke::Dashed ? Qt::DashLine : Qt::SolidLine);
    // A cosmetic one-pixel pen is drawn by Qt's line rasteriser, a tenth of the time of a wider
    // pen, which is outlined and filled as a shape; drawn twice a pixel apart it is as bold.
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.drawPath(path);
    painter.drawPath(path.translated(0, 1));
}

void PaintMark(QPainter& painter, MarkShape shape, QPointF at) {
    if (shape == MarkShape::Cross) {
        painter.drawLine(at + QPointF(-kMarkSize, -kMarkSize), at + QPointF(kMarkSize, kMarkSize));
        painter.drawLine(at + QPointF(-kMarkSize, kMarkSize), at + QPointF(kMarkSize, -kMarkSize));
        return;
    }
    const QPointF triangle[] = {at + QPointF(0, -kMarkSize), at + QPointF(kMarkSize, kMarkSize),
                                at + QPointF(-kMarkSize, kMarkSize)};
    painter.drawPolygon(triangle, 3);
}

// A mark wherever a counter is higher than at its previous value: the errors that came then.
void PaintCounters(QPainter& painter, const ChartData& data, const Mapping& time,
                   const QRectF& strip, std::pair<std::size_t, std::size_t> shown) {
    std::size_t nth = 0;
    for (std::size_t s = 0; s < data.Series().size(); ++s) {
        if (data.Series()[s].kind != ChartSeriesKind::Counter)
            continue;
        const SeriesStyle style = StyleOf(ChartSeriesKind::Counter, nth++);
        painter.setPen(QPen(Color(style.color), 2));
        painter.setBrush(Color(style.color));
        for (const std::size_t i : CounterRises(data, s, shown))
            PaintMark(painter, style.mark, QPointF(time.x(data.At(i).seconds), strip.center().y()));
        painter.setBrush(Qt::NoBrush);
    }
}

// Where another device's values begin: a solid line across the plot, named by the device.
void PaintDeviceSwitches(QPainter& painter, const ChartPalette& palette, const ChartData& data,
                         const Mapping& time, std::pair<std::size_t, std::size_t> shown) {
    painter.setPen(QPen(Color(palette.text), 1));
    for (const std::size_t i : DeviceSwitches(data, shown)) {
        const double x = time.x(data.At(i).seconds);
        painter.drawLine(QPointF(x, time.rect.top()), QPointF(x, time.rect.bottom()));
        painter.drawText(QRectF(x + 2, time.rect.bottom() - 2 * painter.fontMetrics().height(), 200,
                                painter.fontMetrics().height()),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromStdString("device " + data.At(i).device));
    }
}

// Each series' name beside a sample of how it is drawn, along the top: the key to telling them
// apart by dash, shape and hatch as well as colour.
double PaintLegend(QPainter& painter, const ChartPalette& palette, const ChartData& data,
                   const QRectF& row) {
    const QFontMetrics metrics = painter.fontMetrics();
    QPointF at = row.topLeft();
    // An entry that does not fit the row's rest starts another row: none is cut off.
    const auto entry = [&](const std::string& text) {
        const QString name = QString::fromStdString(text);
        const double width = 18 + 3 + metrics.horizontalAdvance(name) + 10;
        if (at.x() > row.left() && at.x() + width > row.right())
            at = QPointF(row.left(), at.y() + row.height());
        const QRectF key(at.x(), at.y() + 2, 18, row.height() - 4);
        painter.setPen(Color(palette.text));
        painter.drawText(QRectF(key.right() + 3, at.y(), 400, row.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, name);
        at.setX(at.x() + width);
        return key;
    };
    std::size_t nth[3] = {0, 0, 0};
    for (const ChartSeriesSpec& spec : data.Series()) {
        const SeriesStyle style = StyleOf(spec.kind, nth[int(spec.kind)]++);
        if (spec.kind == ChartSeriesKind::Band && spec.states.size() > 2) {
            // Each state its own key: they are hatched apart.
            for (std::size_t state = 1; state < spec.states.size(); ++state) {
                const QRectF key = entry(spec.name + " " + spec.states[state]);
                painter.fillRect(key, StateBrush(style.color, style.hatch, double(state)));
            }
            continue;
        }
        const QRectF key = entry(spec.name);
        painter.setPen(QPen(Color(style.color), 2,
                            style.stroke == Stroke::Dashed ? Qt::DashLine : Qt::SolidLine));
        switch (spec.kind) {
            case ChartSeriesKind::Line:
                painter.drawLine(QPointF(key.left(), key.center().y()),
                                 QPointF(key.right(), key.center().y()));
                break;
            case ChartSeriesKind::Counter:
                painter.setBrush(Color(style.color));
                PaintMark(painter, style.mark, key.center());
                painter.setBrush(Qt::NoBrush);
                break;
            case ChartSeriesKind::Band:
                painter.fillRect(key, StateBrush(style.color, style.hatch, 1));
                break;
        }
    }
    return at.y() + row.height() - row.top();
}

}  // namespace

QRectF PlotArea(const QRect& area, const QFontMetrics& metrics) {
    const int left = metrics.horizontalAdvance("-000.0") + 8;
    return QRectF(area.left() + left, area.top() + 2, area.width() - left - 12,
                  area.height() - metrics.height() - 4);
}

void PaintChart(QPainter& painter, const QRect& area, const ChartData& data,
                const ChartView& view) {
    const ChartPalette palette = DefaultChartPalette();
    painter.fillRect(area, Color(palette.background));
    painter.setRenderHint(QPainter::Antialiasing);
    QRectF plot = PlotArea(area, painter.fontMetrics());
    const QRectF legend(area.left() + 4, plot.top(), area.width() - 8,
                        painter.fontMetrics().height() + 2);
    plot.setTop(plot.top() + PaintLegend(painter, palette, data, legend));
    const Mapping time{plot, view.Visible(data)};
    const auto shown = data.Between(time.shown.from, time.shown.to);

    std::vector<std::size_t> lines;
    for (std::size_t s = 0; s < data.Series().size(); ++s) {
        if (data.Series()[s].kind == ChartSeriesKind::Line)
            lines.push_back(s);
    }
    const double panelHeight =
        lines.empty() ? 0
                      : (plot.height() - kMarkStrip - kPanelGap * double(lines.size())) /
                            double(lines.size());
    const QRectF strip(plot.left(), plot.bottom() - kMarkStrip, plot.width(), kMarkStrip);

    PaintBands(painter, data, time, shown);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const QRectF panel(plot.left(), plot.top() + double(n) * (panelHeight + kPanelGap),
                           plot.width(), panelHeight);
        PaintLine(painter, palette, data, lines[n], n, time, panel, shown);
    }
    PaintCounters(painter, data, time, strip, shown);
    PaintDeviceSwitches(painter, palette, data, time, shown);
    PaintTimeAxis(painter, palette, time, plot.bottom());

    if (const auto cursor = view.Cursor()) {
        painter.setPen(QPen(Color(palette.text), 1));
        painter.drawLine(QPointF(time.x(*cursor), plot.top()),
                         QPointF(time.x(*cursor), plot.bottom()));
    }
}

}  // namespace ui::qt
