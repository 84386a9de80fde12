// How far apart two colours read, as the accessibility guidelines measure it: the ratio of their
// relative luminances (each plus 0.05), from 1 (the same) to 21 (black on white). Text and lines
// need 4.5 against what they are drawn on.
#pragma once

#include "window/FormLayout.h"

namespace ui {

inline constexpr double kReadableContrast = 4.5;

double RelativeLuminance(ColorRef color);
double ContrastRatio(ColorRef a, ColorRef b);

}  // namespace ui
