#include "window/qt/ChartPlot.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "window/qt/ChartPainting.h"

namespace ui::qt {
namespace {

// Assistive technology is told that the drawing is a chart (a plain widget reads as a "filler");
// its description holds the values under the cursor.
QAccessibleInterface* ChartAccessible(const QString& /*className*/, QObject* object) {
    if (auto* plot = dynamic_cast<ChartPlot*>(object))
        return new QAccessibleWidget(plot, QAccessible::Chart);
    return nullptr;
}

}  // namespace

ChartPlot::ChartPlot(const ChartData& data, ChartView& view, QWidget* parent)
    : QWidget(parent), data_(data), view_(view) {
    static const bool chartsNamed = (QAccessible::installFactory(ChartAccessible), true);
    (void)chartsNamed;
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);  // the cursor follows the pointer without a button held
    QFont small = font();
    small.setPointSizeF(font().pointSizeF() * 0.85);  // the legend must fit one row
    setFont(small);
}

void ChartPlot::TogglePause() {
    if (view_.Paused())
        view_.Resume();
    else
        view_.Pause(data_);
    Changed();
}

void ChartPlot::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    PaintChart(painter, rect(), data_, view_);
    if (hasFocus()) {
        // Where the keys go must show, as on any control that takes them.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

void ChartPlot::keyPressEvent(QKeyEvent* event) {
    const int steps = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
    switch (event->key()) {
        case Qt::Key_Space:
            TogglePause();
            return;
        case Qt::Key_Left:
            view_.StepCursor(data_, -steps);
            break;
        case Qt::Key_Right:
            view_.StepCursor(data_, steps);
            break;
        case Qt::Key_Home:
            view_.StepCursor(data_, -int(data_.Size()));
            break;
        case Qt::Key_End:
            view_.StepCursor(data_, int(data_.Size()));
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    Changed();
}

void ChartPlot::mouseMoveEvent(QMouseEvent* event) {
    CursorToPointer(event->position().x());
}

void ChartPlot::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    CursorToPointer(event->position().x());
}

void ChartPlot::CursorToPointer(double x) {
    if (!view_.Paused())
        return;
    const QRectF plot = PlotArea(rect(), fontMetrics());
    const TimeSpan shown = view_.Visible(data_);
    const double fraction = std::clamp((x - plot.left()) / plot.width(), 0.0, 1.0);
    view_.PlaceCursor(data_, shown.from + fraction * (shown.to - shown.from));
    Changed();
}

void ChartPlot::Changed() {
    update();
    if (viewChanged)
        viewChanged();
}

}  // namespace ui::qt
