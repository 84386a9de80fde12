// servodiag's run around its window: the status recorder hooked into the status tick when asked
// for, the readout a terminal shows without a window, and the status the program exits with.
#pragma once

#include <string>

#include "servodiag/StatusReadout.h"
#include "servodiag/frmMain.h"
#include "window/Window.h"

namespace servodiag {

// Runs the window. Exits 0 when a device answered a status read, kNoStatus when a device was
// found but none answered, kNoDevice when none was found, kRecordFailed when
// the record file (if any) could not be created or written. A row that cannot be recorded is
// said at once, on the state line and on standard error; `endsOnRecordFailure` (no window, where
// nobody watches the state line) ends the program there.
int RunDiagnostics(ui::Window& window, frmMain& form, const std::string& recordPath,
                   StatusReadout& readout, bool endsOnRecordFailure);

}  // namespace servodiag
