// The QApplication the windows need, created on first need so that programs only ask for a window.
#pragma once

#include <memory>

class QApplication;

namespace ui::qt {

// Makes sure an application object exists and is set up for these windows: the classic forms'
// fonts mapped to metric-compatible faces, and no quitting behind the window's back. When this
// layer had to create the application, the result shares it: the last window holding it destroys
// it. When someone else owns the application (a test main, a tool), the result is empty.
std::shared_ptr<QApplication> AcquireApplication();

}  // namespace ui::qt
