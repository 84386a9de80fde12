#include "window/chart/Contrast.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

// sRGB to linear light.
double Linear(unsigned channel) {
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

double RelativeLuminance(ColorRef color) {
    return 0.2126 * Linear(color & 0xFF) + 0.7152 * Linear((color >> 8) & 0xFF) +
           0.0722 * Linear((color >> 16) & 0xFF);
}

double ContrastRatio(ColorRef a, ColorRef b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace ui
