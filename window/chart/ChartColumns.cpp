#include "window/chart/ChartColumns.h"

#include <algorithm>
#include <cmath>
#include <iterator>
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
    if (std::isnan(column))
        return 0;
    // Past the largest column number, times still keep their order.
    constexpr double kFarthest = std::numeric_limits<double>::max();
    return std::clamp(column, -kFarthest, kFarthest);
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
        pieces.front() = Recounted(s, pieces.front(), oldest, pieces.front().lastNumber);
        pieces.front().startsStroke = true;
    }
}

ChartColumns::Piece ChartColumns::Recounted(std::size_t series, const Piece& piece,
                                            std::size_t from, std::size_t to) const {
    const std::size_t oldest = data_->Added() - data_->Size();
    const auto value = [&](std::size_t number) {
        return data_->At(number - oldest).values[series];
    };
    Piece part{piece.column, value(from), value(from), value(from),
               value(to),    from,        to,          piece.startsStroke};
    for (std::size_t number = from + 1; number <= to; ++number) {
        part.low = std::min(part.low, value(number));
        part.high = std::max(part.high, value(number));
    }
    return part;
}

std::vector<ChartColumns::Piece> ChartColumns::PiecesOf(std::size_t series, Numbers shown) const {
    std::vector<Piece> within;
    if (series >= series_.size() || data_ == nullptr)
        return within;
    // Only samples still held and already read: their values can be read again.
    const std::size_t first = std::max(shown.first, data_->Added() - data_->Size());
    const std::size_t end = std::min(shown.second, read_);
    if (first >= end)
        return within;
    const std::deque<Piece>& pieces = series_[series].pieces;
    auto it = std::lower_bound(pieces.begin(), pieces.end(), first,
                               [](const Piece& p, std::size_t n) { return p.lastNumber < n; });
    for (; it != pieces.end() && it->firstNumber < end; ++it) {
        if (it->firstNumber < first || it->lastNumber >= end)
            within.push_back(Recounted(series, *it, std::max(it->firstNumber, first),
                                       std::min(it->lastNumber, end - 1)));
        else
            within.push_back(*it);
    }
    return within;
}

std::vector<std::vector<StrokePoint>> ChartColumns::Strokes(std::size_t series, double firstColumn,
                                                            Numbers shown) const {
    std::vector<std::vector<StrokePoint>> strokes;
    for (const Piece& piece : PiecesOf(series, shown)) {
        if (piece.startsStroke || strokes.empty())
            strokes.emplace_back();
        AppendColumn(strokes.back(), Pixel(piece.column - firstColumn), piece.first, piece.low,
                     piece.high, piece.last);
    }
    return strokes;
}

std::optional<ChartStats> ChartColumns::Range(std::size_t series, Numbers shown) const {
    // The values that belong together begin at the last device switch among those shown.
    const auto after =
        std::lower_bound(deviceSwitches_.begin(), deviceSwitches_.end(), shown.second);
    if (after != deviceSwitches_.begin() && *std::prev(after) > shown.first)
        shown.first = *std::prev(after);
    const std::vector<Piece> pieces = PiecesOf(series, shown);
    if (pieces.empty())
        return std::nullopt;
    ChartStats range{std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(), 0};
    for (const Piece& piece : pieces) {
        range.min = std::min(range.min, piece.low);
        range.max = std::max(range.max, piece.high);
    }
    return range;
}

}  // namespace ui
