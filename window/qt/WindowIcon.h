// The window's own title-bar icon, drawn in code: a stylised steering wheel.
#pragma once

#include <QIcon>
#include <string>

namespace ui::qt {

// "servodiag" draws the wheel alone in blue; "ampflash" and "wheelflash" add a download arrow, in
// orange and green. Any other name gives the plain grey wheel.
QIcon SteeringWheelIcon(const std::string& variant);

}  // namespace ui::qt
