#include "window/qt/ChartPlot.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <map>

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
    view_.TogglePause(data_);
    Changed();
}

void ChartPlot::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    PaintChart(painter, rect(), data_, view_, columns_);
    if (hasFocus()) {
        // Where the keys go must show, as on any control that takes them.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

QImage ChartPlot::Image() {
    QImage image(size(), QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setFont(font());
    PaintChart(painter, image.rect(), data_, view_, columns_);
    return image;
}

void ChartPlot::keyPressEvent(QKeyEvent* event) {
    static const std::map<int, ChartKey> keys{{Qt::Key_Space, ChartKey::PauseOrResume},
                                              {Qt::Key_Left, ChartKey::Back},
                                              {Qt::Key_Right, ChartKey::On},
                                              {Qt::Key_Home, ChartKey::First},
                                              {Qt::Key_End, ChartKey::Last}};
    const auto key = keys.find(event->key());
    if (key == keys.end()) {
        QWidget::keyPressEvent(event);
        return;
    }
    view_.Press(data_, key->second, event->modifiers() & Qt::ShiftModifier);
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
    view_.PlaceCursorAcross(data_, FractionAcross(width(), MeasureOf(fontMetrics()), x));
    Changed();
}

void ChartPlot::Changed() {
    update();
    if (viewChanged)
        viewChanged();
}

}  // namespace ui::qt
