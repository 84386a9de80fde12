// A chart's rectangle drawn on Qt covers the pixels of one fill of it with its brush: every row,
// the hatch in its place on the device, however tall it is and wherever the chart stands, alone
// and among a band's other stripes.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "window/qt/ChartPainting.h"

namespace ui {
namespace {

TEST(ChartPaintingTest, ARectangleCoversWhatOneFillOfItCovers) {
    const PixelRect rects[] = {{5, 3, 7, 233}, {0, 0, 300, 64}, {9, 1, 30, 66},
                               {2, 7, 4, 136}, {4, 4, 40, 4},   {1, 2, 2, 199}};
    const struct {
        Fill fill;
        Qt::BrushStyle style;
    } fills[] = {{Fill::Solid, Qt::SolidPattern},
                 {Fill::Diagonal, Qt::BDiagPattern},
                 {Fill::DiagonalCrossed, Qt::DiagCrossPattern},
                 {Fill::Crossed, Qt::CrossPattern}};
    for (const QPoint chartAt : {QPoint(0, 0), QPoint(3, 5)}) {
        for (const auto& fill : fills) {
            for (const PixelRect& r : rects) {
                QImage drawn(320, 260, QImage::Format_RGB32);
                drawn.fill(Qt::white);
                QImage expected = drawn;
                {
                    QPainter painter(&drawn);
                    painter.translate(chartAt);
                    qt::DrawPicture(painter, {{RectPrimitive{r, 0x2040C0, fill.fill}}, {}});
                }
                {
                    QPainter painter(&expected);
                    painter.translate(chartAt);
                    painter.fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top),
                                     QBrush(QColor(0xC0, 0x40, 0x20), fill.style));
                }
                EXPECT_TRUE(drawn == expected)
                    << "fill " << int(fill.fill) << ", rect " << r.left << "," << r.top << " to "
                    << r.right << "," << r.bottom << ", chart at " << chartAt.x();
            }
        }
        // A band's stripes, its hatches by turns and one of another colour among them, drawn
        // as one picture.
        ChartPicture band;
        QImage expected(320, 260, QImage::Format_RGB32);
        expected.fill(Qt::white);
        QImage drawn = expected;
        {
            QPainter painter(&expected);
            painter.translate(chartAt);
            for (std::size_t n = 0; n < std::size(rects); ++n) {
                const auto& fill = fills[1 + n % 3];
                const ColorRef color = n == 2 ? 0x10A010 : 0x2040C0;
                band.primitives.emplace_back(RectPrimitive{rects[n], color, fill.fill});
                const PixelRect& r = rects[n];
                painter.fillRect(
                    QRect(r.left, r.top, r.right - r.left, r.bottom - r.top),
                    QBrush(QColor(color & 0xFF, (color >> 8) & 0xFF, color >> 16), fill.style));
            }
        }
        {
            QPainter painter(&drawn);
            painter.translate(chartAt);
            qt::DrawPicture(painter, band);
        }
        EXPECT_TRUE(drawn == expected) << "a band's stripes, chart at " << chartAt.x();
    }
}

}  // namespace
}  // namespace ui
