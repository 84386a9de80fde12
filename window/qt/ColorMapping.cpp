#include "window/qt/ColorMapping.h"

namespace ui::qt {

namespace {

QPalette::ColorRole SystemColorRole(ColorRef index) {
    switch (index) {
        case kSystemWindowBackground & ~kSystemColorFlag:
            return QPalette::Base;
        case kSystemWindowText & ~kSystemColorFlag:
            return QPalette::Text;
        case kSystemButtonFace & ~kSystemColorFlag:
            return QPalette::Button;
        default:
            return QPalette::Window;
    }
}

}  // namespace

QColor ToQColor(ColorRef color, const QPalette& palette) {
    if ((color & kSystemColorFlag) != 0) {
        return palette.color(QPalette::Active, SystemColorRole(color & ~kSystemColorFlag));
    }
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

}  // namespace ui::qt
