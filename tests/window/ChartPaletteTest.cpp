// Every colour the chart draws with reads against its background, and two series of a kind
// differ in more than colour.
#include "window/chart/ChartPalette.h"

#include <gtest/gtest.h>

#include "window/chart/Contrast.h"

namespace ui {
namespace {

TEST(ChartPaletteTest, ContrastRatiosOfKnownPairs) {
    const struct {
        ColorRef a, b;
        double ratio;
    } pairs[] = {{0, kWhite, 21},
                 {kWhite, kWhite, 1},
                 {Rgb(0x76, 0x76, 0x76), kWhite, 4.54},
                 {kRed, kWhite, 4.0},
                 {kRed, 0, 5.25}};
    for (const auto& p : pairs)
        EXPECT_NEAR(ContrastRatio(p.a, p.b), p.ratio, 0.01) << std::hex << p.a << " " << p.b;
}

TEST(ChartPaletteTest, EveryColourReadsAndEveryPairOfAKindDiffersInShape) {
    const ChartPalette palette = DefaultChartPalette();
    EXPECT_GE(ContrastRatio(palette.text, palette.background), kReadableContrast);
    EXPECT_GE(ContrastRatio(palette.grid, palette.background), kReadableContrast);
    for (ChartSeriesKind kind :
         {ChartSeriesKind::Line, ChartSeriesKind::Counter, ChartSeriesKind::Band}) {
        const SeriesStyle first = StyleOf(kind, 0);
        const SeriesStyle second = StyleOf(kind, 1);
        for (const SeriesStyle& style : {first, second})
            EXPECT_GE(ContrastRatio(style.color, palette.background), kReadableContrast);
        EXPECT_TRUE(first.stroke != second.stroke || first.mark != second.mark ||
                    first.hatch != second.hatch)
            << int(kind);
    }
}

}  // namespace
}  // namespace ui
