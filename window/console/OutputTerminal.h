// What the process's standard output can show: decides between a readout redrawn in place and
// one plain line per reading.
#pragma once

namespace ui {

struct OutputTerminal {
    bool movesCursor = false;  // a terminal that takes control sequences
    bool colours = false;
};

// Standard output as it is now (after the program borrowed its parent's console on Windows).
// On Windows this also turns on the console's handling of control sequences, which it needs for
// both.
OutputTerminal StandardOutputTerminal();

}  // namespace ui
