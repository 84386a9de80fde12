// SIGHUP, SIGINT and SIGTERM reach a Qt window as its close button does: a close request, which
// an update defers to its end, instead of killing the process halfway. SIGPIPE is ignored.
#pragma once

class QWidget;

namespace ui::qt {

// From now on, for as long as `form` lives.
void CloseOnSignals(QWidget* form);

}  // namespace ui::qt
