// COLORREF values of the layouts as Qt colours.
#pragma once

#include <QColor>
#include <QPalette>

#include "window/FormLayout.h"

namespace ui::qt {

// A plain COLORREF (red in the low byte) as it is; a system colour as the palette role that plays
// its part: window background → Base, window text → Text, button face → Button.
QColor ToQColor(ColorRef color, const QPalette& palette);

}  // namespace ui::qt
