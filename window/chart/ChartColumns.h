// What a chart's line series show per pixel column: each column's first, lowest, highest and last
// value, kept up to date as samples arrive and as the oldest drop out of the ring. A column is a
// stretch of time of the chart's own (seconds since 0 divided by the seconds a pixel spans), so a
// column's samples stay its own as the time shown moves on: a tick reads the new samples only,
// and the picture walks columns, not ten minutes of samples.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

#include "window/chart/ChartData.h"
#include "window/chart/ChartGeometry.h"

namespace ui {

class ChartColumns {
  public:
    // Reads the samples added since the last call; starts over when the seconds per column
    // changed or `data` is not the chart read before.
    void Update(const ChartData& data, double secondsPerColumn);

    // The column a time falls in; the same for every sample of it. A time too far out for a
    // column number is in the farthest one.
    double ColumnOf(double seconds) const;

    // The samples shown, [first, end) by ChartData::Added() numbering: those of the chart last
    // read that lie between the times shown, not every sample of the columns they fall in.
    using Numbers = std::pair<std::size_t, std::size_t>;

    // A line series over the samples `shown` as strokes (x: the column less `firstColumn`); a
    // stroke ends at a missing value and at a device switch. Drawn, they cover the pixels that
    // every sample drawn would cover.
    std::vector<std::vector<StrokePoint>> Strokes(std::size_t series, double firstColumn,
                                                  Numbers shown) const;
    // The lowest and highest value of a line series over the samples `shown`, from the last
    // device switch among them (as ChartData::Stats counts them); none when it has no value there.
    std::optional<ChartStats> Range(std::size_t series, Numbers shown) const;

  private:
    // A column's values of one stroke: a column a stroke ends in has a piece of each.
    struct Piece {
        double column = 0;
        double first = 0;
        double low = 0;
        double high = 0;
        double last = 0;
        std::size_t firstNumber = 0;  // ChartData::Added() numbering
        std::size_t lastNumber = 0;
        bool startsStroke = true;
    };
    struct Series {
        std::deque<Piece> pieces;
        bool broken = true;  // the next value starts a stroke
    };

    void Restart(const ChartData& data, double secondsPerColumn);
    void Read(const ChartData& data, std::size_t index);
    void DropOlderThan(const ChartData& data);
    // The pieces of a series that hold samples `shown`; the at most two at its edges, which hold
    // others too, worked out again from the samples shown alone.
    std::vector<Piece> PiecesOf(std::size_t series, Numbers shown) const;
    // A piece's values over its samples [from, to] alone.
    Piece Recounted(std::size_t series, const Piece& piece, std::size_t from, std::size_t to) const;

    const ChartData* data_ = nullptr;
    double secondsPerColumn_ = 0;
    std::size_t read_ = 0;  // samples read, by ChartData::Added()
    std::vector<Series> series_;
    std::deque<std::size_t> deviceSwitches_;  // the numbers of the samples that begin a device
};

}  // namespace ui
