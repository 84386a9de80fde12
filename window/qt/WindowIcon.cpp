#include "window/qt/WindowIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace ui::qt {

namespace {

struct IconStyle {
    QColor accent;
    bool downloadArrow = false;
};

IconStyle StyleFor(const std::string& variant) {
    if (variant == "servodiag")
        return {QColor(40, 100, 200), false};
    if (variant == "ampflash")
        return {QColor(230, 130, 20), true};
    if (variant == "wheelflash")
        return {QColor(40, 160, 70), true};
    return {QColor(110, 110, 110), false};
}

// Drawn on a 64-unit square and scaled, so every size keeps the same proportions.
void DrawWheel(QPainter& p, const IconStyle& style) {
    const QPointF centre(32, 32);
    p.setPen(QPen(QColor(45, 45, 45), 8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, 26, 26);

    p.setPen(QPen(QColor(70, 70, 70), 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, QPointF(8, 30));
    p.drawLine(centre, QPointF(56, 30));
    p.drawLine(centre, QPointF(32, 57));

    p.setPen(QPen(QColor(30, 30, 30), 2));
    p.setBrush(style.accent);
    p.drawEllipse(centre, 10, 10);
    // The centre mark at twelve o'clock, as on a racing wheel.
    p.setPen(QPen(style.accent, 6));
    p.drawLine(QPointF(32, 3), QPointF(32, 11));
}

void DrawDownloadArrow(QPainter& p, const QColor& accent) {
    QPainterPath arrow;
    arrow.moveTo(44, 34);
    arrow.lineTo(54, 34);
    arrow.lineTo(54, 48);
    arrow.lineTo(62, 48);
    arrow.lineTo(49, 62);
    arrow.lineTo(36, 48);
    arrow.lineTo(44, 48);
    arrow.closeSubpath();
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(accent);
    p.drawPath(arrow);
}

QPixmap RenderIcon(int size, const IconStyle& style) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    DrawWheel(p, style);
    if (style.downloadArrow)
        DrawDownloadArrow(p, style.accent);
    return pixmap;
}

}  // namespace

QIcon SteeringWheelIcon(const std::string& variant) {
    const IconStyle style = StyleFor(variant);
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(RenderIcon(size, style));
    return icon;
}

}  // namespace ui::qt
