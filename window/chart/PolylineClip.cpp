#include "window/chart/PolylineClip.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace ui {

namespace {

bool Inside(PixelPoint p, const PixelRect& bounds) {
    return p.x >= bounds.left && p.x <= bounds.right && p.y >= bounds.top && p.y <= bounds.bottom;
}

// Liang-Barsky: narrows [enter, leave], the part of a segment along one axis inside the bounds,
// by the edge at which `p + t * d >= 0`.
bool Narrow(double p, double d, double& enter, double& leave) {
    if (d == 0)
        return p >= 0;
    const double t = -p / d;
    if (d > 0)
        enter = std::max(enter, t);
    else
        leave = std::min(leave, t);
    return enter <= leave;
}

PixelPoint At(PixelPoint from, PixelPoint to, double t) {
    // Whole-pixel edges: a point rounded from within them stays within them.
    return {int(std::lround(from.x + t * (to.x - from.x))),
            int(std::lround(from.y + t * (to.y - from.y)))};
}

}  // namespace

std::vector<std::vector<PixelPoint>> ClipPolyline(const std::vector<PixelPoint>& points,
                                                  const PixelRect& bounds) {
    // Mostly the whole line lies inside, as a chart's values do within their range: then it is
    // its own one part, with no point worked out again.
    const bool allInside = !points.empty() &&
                           std::all_of(points.begin(), points.end(),
                                       [&](PixelPoint p) { return Inside(p, bounds); }) &&
                           std::adjacent_find(points.begin(), points.end()) == points.end();
    if (allInside)
        return {points};
    std::vector<std::vector<PixelPoint>> parts;
    if (points.size() == 1 && Inside(points.front(), bounds))
        parts.push_back(points);
    bool open = false;  // the last part goes on from the previous segment's end
    for (std::size_t i = 1; i < points.size(); ++i) {
        const PixelPoint a = points[i - 1];
        const PixelPoint b = points[i];
        const double dx = double(b.x) - a.x;
        const double dy = double(b.y) - a.y;
        double enter = 0;
        double leave = 1;
        const bool crosses = Narrow(double(a.x) - bounds.left, dx, enter, leave) &&
                             Narrow(double(bounds.right) - a.x, -dx, enter, leave) &&
                             Narrow(double(a.y) - bounds.top, dy, enter, leave) &&
                             Narrow(double(bounds.bottom) - a.y, -dy, enter, leave);
        if (!crosses) {
            open = false;
            continue;
        }
        if (!open || enter > 0)
            parts.push_back({At(a, b, enter)});
        const PixelPoint end = At(a, b, leave);
        if (parts.back().back() != end)
            parts.back().push_back(end);
        open = leave == 1;
    }
    return parts;
}

}  // namespace ui
