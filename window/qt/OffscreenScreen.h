// Pictures and tests drawn without a display use Qt's offscreen platform, whose screen as it
// comes is shorter than the diagnostics window: the window would scroll there, as it does on a
// real screen that short.
#pragma once

#include <QString>

namespace ui::qt {

// Before the application is created: where no platform is chosen, or the offscreen one as it
// comes, chooses the offscreen platform with one screen that holds every window at the size it
// is designed for, at 96 dots per inch as before. The screen is described in a file written in
// `folder`, read when the application is created. A platform chosen with options, such as a
// screen of its own, is left as it is.
void ChooseRoomyOffscreenScreen(const QString& folder);

// An offscreen screen of `width` by `height` pixels at `logicalDpi`, as the platform's options
// (QT_QPA_PLATFORM) name it; its description is written to `file`.
QString OffscreenPlatform(const QString& file, int width, int height, int logicalDpi);

}  // namespace ui::qt
