#include "window/chart/ChartColumns.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ui {

namespace {

bool Drawn(const ChartSeriesSpec& series) {
    return series.kind == ChartSeriesKind::Line;
}

// A column's points: from its first value through its extremes to its last, each only once. Any
// path from first to last over both extremes covers the same pixels of the column.
void AppendColumn(std::vector<StrokePoint>& stroke, int x, double first, double low, double high,
                  double last) {
    const auto add = [&](double value) {
        if (stroke.empty() || stroke.back().x != x || stroke.back().value != value)
            stroke.push_back({x, value});
    };
    add(first);
    const bool lowBetween = low != first && low != last;
    const bool highBetween = high != first && high != last;
    if (lowBetween)
        add(low);
    if (highBetween)
        add(high);
    add(last);
}

}  // namespace

void ChartColumns::Update(const ChartData& data, double secondsPerColumn) {
    const std::size_t unread = data.Added() - std::min(read_, data.Added());
    if (&data != data_ || secondsPerColumn != secondsPerColumn_ || read_ > data.Added() ||
        unread > data.Size()) {
        Restart(data, secondsPerColumn);
        return;
    }
    for (std::size_t i = data.Size() - unread; i < data.Size(); ++i)
        Read(data, i);
    read_ = data.Added();
    DropOlderThan(data);
}

void ChartColumns::Restart(const ChartData& data, double secondsPerColumn) {
    data_ = &data;
    secondsPerColumn_ = secondsPerColumn;
    series_.assign(data.Series().size(), Series{});
    deviceSwitches_.clear();
    for (std::size_t i = 0; i < data.Size(); ++i)
        Read(data, i);
    read_ = data.Added();
}

double ChartColumns::ColumnOf(double seconds) const {
    const double column = std::floor(seconds / secondsPerColumn_);
    return std::isfinite(column) ? column : 0;
}

void ChartColumns::Read(const ChartData& data, std::size_t index) {
    const std::size_t number = data.Added() - data.Size() + index;
    const ChartSample& sample = data.At(index);
    const bool switches = data.StartsDevice(index);
    if (switches)
        deviceSwitches_.push_back(number);
    const double column = ColumnOf(sample.seconds);
    for (std::size_t s = 0; s < series_.size(); ++s) {
        if (!Drawn(data.Series()[s]))
            continue;
        Series& series = series_[s];
        const double v = sample.values[s];
        if (switches)
            series.broken = true;
        if (!std::isfinite(v)) {
            series.broken = true;
            continue;
        }
        if (!series.broken && series.pieces.back().column == column) {
            Piece& piece = series.pieces.back();
            piece.low = std::min(piece.low, v);
            piece.high = std::max(piece.high, v);
            piece.last = v;
            piece.lastNumber = number;
            continue;
        }
        series.pieces.push_back({column, v, v, v, v, number, number, series.broken});
        series.broken = false;
    }
}

// A column whose oldest samples left the ring is worked out again from those still held: its
// line must not show a value the chart no longer has.
void ChartColumns::DropOlderThan(const ChartData& data) {
    const std::size_t oldest = data.Added() - data.Size();
    while (!deviceSwitches_.empty() && deviceSwitches_.front() < oldest)
        deviceSwitches_.pop_front();
    for (std::size_t s = 0; s < series_.size(); ++s) {
        std::deque<Piece>& pieces = series_[s].pieces;
        while (!pieces.empty() && pieces.front().lastNumber < oldest)
            pieces.pop_front();
        if (pieces.empty() || pieces.front().firstNumber >= oldest)
            continue;
        Piece& piece = pieces.front();
        const double first = data.At(0).values[s];
        piece = {piece.column, first, first, first, piece.last, oldest, piece.lastNumber, true};
        for (std::size_t i = 1; i + oldest <= piece.lastNumber; ++i) {
            piece.low = std::min(piece.low, data.At(i).values[s]);
            piece.high = std::max(piece.high, data.At(i).values[s]);
        }
    }
}

std::pair<std::size_t, std::size_t> ChartColumns::PiecesWithin(const Series& series, double first,
                                                               double last) {
    const auto begin = std::lower_bound(series.pieces.begin(), series.pieces.end(), first,
                                        [](const Piece& p, double c) { return p.column < c; });
    const auto end = std::upper_bound(begin, series.pieces.end(), last,
                                      [](double c, const Piece& p) { return c < p.column; });
    return {std::size_t(begin - series.pieces.begin()), std::size_t(end - series.pieces.begin())};
}

std::vector<std::vector<StrokePoint>> ChartColumns::Strokes(std::size_t series, double first,
                                                            double last) const {
    std::vector<std::vector<StrokePoint>> strokes;
    if (series >= series_.size())
        return strokes;
    const Series& drawn = series_[series];
    const auto [begin, end] = PiecesWithin(drawn, first, last);
    for (std::size_t i = begin; i < end; ++i) {
        const Piece& piece = drawn.pieces[i];
        if (piece.startsStroke || strokes.empty())
            strokes.emplace_back();
        AppendColumn(strokes.back(), Pixel(piece.column - first), piece.first, piece.low,
                     piece.high, piece.last);
    }
    return strokes;
}

std::optional<ChartStats> ChartColumns::Range(std::size_t series, double first, double last) const {
    if (series >= series_.size())
        return std::nullopt;
    const Series& drawn = series_[series];
    auto [begin, end] = PiecesWithin(drawn, first, last);
    if (begin == end)
        return std::nullopt;
    // The values that belong together begin at the last device switch among those shown.
    for (auto it = deviceSwitches_.rbegin(); it != deviceSwitches_.rend(); ++it) {
        if (*it > drawn.pieces[end - 1].lastNumber)
            continue;
        if (*it > drawn.pieces[begin].firstNumber) {
            while (begin < end && drawn.pieces[begin].firstNumber < *it)
                ++begin;
        }
        break;
    }
    if (begin == end)
        return std::nullopt;
    ChartStats range{std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(), 0};
    for (std::size_t i = begin; i < end; ++i) {
        range.min = std::min(range.min, drawn.pieces[i].low);
        range.max = std::max(range.max, drawn.pieces[i].high);
    }
    return range;
}

}  // namespace ui
