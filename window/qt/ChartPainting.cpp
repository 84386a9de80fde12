#include "window/qt/ChartPainting.h"

#include <QImage>
#include <QPolygon>
#include <QRegion>
#include <algorithm>
#include <climits>
#include <map>
#include <tuple>
#include <variant>

namespace ui::qt {

namespace {

QColor Color(ColorRef color) {
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

Qt::BrushStyle BrushStyle(Fill fill) {
    switch (fill) {
        case Fill::Solid:
            return Qt::SolidPattern;
        case Fill::Diagonal:
            return Qt::BDiagPattern;
        case Fill::DiagonalCrossed:
            return Qt::DiagCrossPattern;
        case Fill::Crossed:
            return Qt::CrossPattern;
    }
    return Qt::SolidPattern;
}

Qt::PenStyle PenStyle(LineStyle style) {
    switch (style) {
        case LineStyle::Solid:
            return Qt::SolidLine;
        case LineStyle::Dashed:
            return Qt::DashLine;
        case LineStyle::Dotted:
            return Qt::DotLine;
    }
    return Qt::SolidLine;
}

QRect Rect(const PixelRect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

struct Drawer {
    QPainter& painter;
    mutable std::map<std::tuple<int, ColorRef, int>, QImage> stamps;

    void operator()(const PolylinePrimitive& line) const {
        const QPolygon polygon = Polygon(line);
        painter.setPen(PenOf(line));
        for (int offset = 0; offset < line.width; ++offset) {
            const QPolygon drawn = polygon.translated(0, offset);
            if (drawn.size() == 1)
                painter.drawPoint(drawn.front());
            else
                painter.drawPolyline(drawn);
        }
    }
    static QPolygon Polygon(const PolylinePrimitive& line) {
        QPolygon polygon;
        polygon.reserve(qsizetype(line.points.size()));
        for (const PixelPoint& p : line.points)
            polygon.append(QPoint(p.x, p.y));
        return polygon;
    }
    // A cosmetic one-pixel pen is drawn by Qt's line rasteriser, a tenth of the time of a wider
    // pen, which is outlined and filled as a shape.
    static QPen PenOf(const PolylinePrimitive& line) {
        QPen pen(Color(line.color), 1, PenStyle(line.style));
        pen.setCosmetic(true);
        return pen;
    }
    // Lines with more points than pixel columns spend their time along their many pixels, most
    // of them along the columns' runs that the second pass covers again. Drawn once on a clear
    // layer, the layer is laid down twice, a pixel apart, for far less: the same pixels, as the
    // rasteriser lays a line the same wherever it is moved by whole pixels. The pieces of one
    // series' line (broken at gaps and clipped) share one layer, for they share colour and pen.
    void DrawnTwiceFromLayer(const std::vector<const PolylinePrimitive*>& lines) const {
        std::vector<QPolygon> polygons;
        QRect bounds;
        for (const PolylinePrimitive* line : lines) {
            polygons.push_back(Polygon(*line));
            bounds |= polygons.back().boundingRect();
        }
        QImage layer(bounds.size(), QImage::Format_ARGB32_Premultiplied);
        layer.fill(Qt::transparent);
        {
            QPainter onLayer(&layer);
            onLayer.setRenderHint(QPainter::Antialiasing, false);
            onLayer.setPen(PenOf(*lines.front()));
            for (const QPolygon& polygon : polygons) {
                const QPolygon drawn = polygon.translated(-bounds.topLeft());
                if (drawn.size() == 1)
                    onLayer.drawPoint(drawn.front());
                else
                    onLayer.drawPolyline(drawn);
            }
        }
        painter.drawImage(bounds.topLeft(), layer);
        painter.drawImage(bounds.topLeft() + QPoint(0, 1), layer);
    }
    void operator()(const RectPrimitive& rect) const {
        FillInStrips(Rect(rect.rect), QBrush(Color(rect.color), BrushStyle(rect.fill)));
    }
    // Qt spreads a fill of more than about a hundred rows over its thread pool: for a band's
    // narrow stripe, waking the threads costs many times its few pixels. Strips of fewer rows
    // are filled at once, the pattern kept in its place on the device.
    void FillInStrips(const QRect& area, const QBrush& brush) const {
        constexpr int kStripRows = 64;
        for (int top = area.top(); top <= area.bottom(); top += kStripRows)
            painter.fillRect(QRect(area.left(), top, area.width(),
                                   std::min(kStripRows, area.bottom() + 1 - top)),
                             brush);
    }
    // A long chart's band is a row of narrow stripes, hatched two ways by turns. A hatch lays its
    // colour on some pixels and leaves the rest: stripes of one colour come out the same in any
    // order, and all of one hatch are filled in one call.
    void Hatched(const std::vector<const RectPrimitive*>& stripes) const {
        constexpr int kStripRows = 64;
        for (const Fill fill : {Fill::Diagonal, Fill::DiagonalCrossed, Fill::Crossed}) {
            QList<QRect> strips;
            for (const RectPrimitive* stripe : stripes) {
                if (stripe->fill != fill)
                    continue;
                const QRect area = Rect(stripe->rect);
                for (int top = area.top(); top <= area.bottom(); top += kStripRows)
                    strips.append(QRect(area.left(), top, area.width(),
                                        std::min(kStripRows, area.bottom() + 1 - top)));
            }
            if (strips.isEmpty())
                continue;
            painter.save();
            painter.setPen(Qt::NoPen);
            painter.setBrush(QBrush(Color(stripes.front()->color), BrushStyle(fill)));
            painter.drawRects(strips.constData(), int(strips.size()));
            painter.restore();
        }
    }
    // A long chart shows hundreds of marks, each stroked or filled as a shape: one of each kind
    // is drawn on a clear stamp, laid down wherever the mark goes, with the same pixels.
    void operator()(const MarkPrimitive& mark) const {
        const int reach = mark.size + 3;  // past the mark's ends, its wide pen too
        const auto key = std::make_tuple(int(mark.shape), mark.color, mark.size);
        auto stamp = stamps.find(key);
        if (stamp == stamps.end()) {
            QImage image(2 * reach + 1, 2 * reach + 1, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter onStamp(&image);
            onStamp.setRenderHint(QPainter::Antialiasing, false);
            DrawMark(onStamp, mark, QPoint(reach, reach));
            onStamp.end();
            stamp = stamps.emplace(key, std::move(image)).first;
        }
        painter.drawImage(QPoint(mark.at.x - reach, mark.at.y - reach), stamp->second);
    }
    static void DrawMark(QPainter& painter, const MarkPrimitive& mark, QPoint at) {
        const int size = mark.size;
        painter.setPen(QPen(Color(mark.color), mark.shape == MarkShape::Cross ? 2 : 1));
        if (mark.shape == MarkShape::Cross) {
            painter.drawLine(at + QPoint(-size, -size), at + QPoint(size, size));
            painter.drawLine(at + QPoint(-size, size), at + QPoint(size, -size));
            return;
        }
        painter.setBrush(Color(mark.color));
        const QPoint triangle[] = {at + QPoint(0, -size), at + QPoint(size, size),
                                   at + QPoint(-size, size)};
        painter.drawPolygon(triangle, 3);
        painter.setBrush(Qt::NoBrush);
    }
    void operator()(const TextPrimitive& text) const {
        static constexpr Qt::Alignment kAlign[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
        const Qt::Alignment vertical = text.wrapped ? Qt::AlignTop : Qt::AlignVCenter;
        painter.setPen(Color(text.color));
        painter.drawText(Rect(text.box),
                         int(kAlign[int(text.align)] | vertical) |
                             (text.wrapped ? Qt::TextWordWrap : Qt::TextSingleLine),
                         QString::fromStdString(text.text));
    }
};

// Two-pixel lines drawn one after another in the same colour and pen: the pieces of one line.
bool SameLine(const PolylinePrimitive& line, const ChartPrimitive& next) {
    const auto* other = std::get_if<PolylinePrimitive>(&next);
    return other && other->width == 2 && other->color == line.color && other->style == line.style;
}

// A run of two-pixel lines of one colour and pen from `i`: the pieces of one line. Returns where
// the run ends.
std::size_t DrawLine(const Drawer& drawer, const std::vector<ChartPrimitive>& primitives,
                     std::size_t i) {
    const PolylinePrimitive& line = std::get<PolylinePrimitive>(primitives[i]);
    std::vector<const PolylinePrimitive*> pieces{&line};
    for (++i; i < primitives.size() && SameLine(line, primitives[i]); ++i)
        pieces.push_back(&std::get<PolylinePrimitive>(primitives[i]));
    std::size_t points = 0;
    int left = INT_MAX;
    int right = INT_MIN;
    for (const PolylinePrimitive* piece : pieces) {
        points += piece->points.size();
        for (const PixelPoint& p : piece->points) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
        }
    }
    const int columns = right - left + 1;
    if (points > std::size_t(columns)) {
        drawer.DrawnTwiceFromLayer(pieces);
        return i;
    }
    for (const PolylinePrimitive* piece : pieces)
        drawer(*piece);
    return i;
}

bool IsHatched(const ChartPrimitive& primitive, ColorRef color) {
    const auto* rect = std::get_if<RectPrimitive>(&primitive);
    return rect && rect->fill != Fill::Solid && rect->color == color;
}

// A run of hatched rectangles of one colour from `i`, the stripes of a band. Returns where the
// run ends.
std::size_t DrawBand(const Drawer& drawer, const std::vector<ChartPrimitive>& primitives,
                     std::size_t i) {
    const ColorRef color = std::get<RectPrimitive>(primitives[i]).color;
    std::vector<const RectPrimitive*> stripes;
    for (; i < primitives.size() && IsHatched(primitives[i], color); ++i)
        stripes.push_back(&std::get<RectPrimitive>(primitives[i]));
    if (stripes.size() == 1)
        drawer(*stripes.front());
    else
        drawer.Hatched(stripes);
    return i;
}

}  // namespace

TextMeasure MeasureOf(const QFontMetrics& metrics) {
    return {[metrics](const std::string& text) {
                return metrics.horizontalAdvance(QString::fromStdString(text));
            },
            metrics.height()};
}

void DrawPicture(QPainter& painter, const ChartPicture& picture) {
    // Every primitive is on whole pixels: drawn without smoothing, a line is a pixel wide and as
    // crisp as on any other toolkit.
    painter.setRenderHint(QPainter::Antialiasing, false);
    const Drawer drawer{painter, {}};
    const std::vector<ChartPrimitive>& primitives = picture.primitives;
    for (std::size_t i = 0; i < primitives.size();) {
        const auto* line = std::get_if<PolylinePrimitive>(&primitives[i]);
        const auto* rect = std::get_if<RectPrimitive>(&primitives[i]);
        if (line && line->width == 2) {
            i = DrawLine(drawer, primitives, i);
        } else if (rect && rect->fill != Fill::Solid) {
            i = DrawBand(drawer, primitives, i);
        } else {
            std::visit(drawer, primitives[i]);
            ++i;
        }
    }
}

void PaintChart(QPainter& painter, const QRect& area, const ChartData& data, const ChartView& view,
                ChartColumns& columns) {
    painter.save();
    painter.translate(area.topLeft());
    DrawPicture(painter, DrawChart(data, view, area.width(), area.height(),
                                   MeasureOf(painter.fontMetrics()), columns, false));
    painter.restore();
}

}  // namespace ui::qt
