// What a program shows when it runs on a terminal (--no-window), said without knowing how a
// terminal draws it: the program fills these in, window/console realises them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "window/FormLayout.h"

namespace ui {

// A line of a block the terminal keeps below everything else and redraws in place, such as
// servodiag's status: a value after its title.
struct LiveField {
    std::string title;  // empty: the value is a line of its own
    std::string value;
    std::optional<ColorRef> colour;  // kRed or kGreen; other colours are shown plain
    bool stale = false;              // a value the device sent a while ago: dimmed
};

// A value the window shows, printed under a title: {title, control, unit after the value}.
struct ConsoleDetail {
    std::string title;
    std::string control;
    std::string unit;
};

// What a program reads again on every timer tick (servodiag's status), asked for after each
// tick: on a terminal the block is redrawn in place, elsewhere the line is printed.
struct ConsoleReadout {
    std::function<std::vector<LiveField>()> block;
    // Empty when the tick read nothing worth a line.
    std::function<std::string()> line;
};

// What the terminal needs to know about a program's window.
struct ConsoleSetup {
    // Clicked once after the load, when enabled and visible (an updater's update button).
    std::string startControl;
    // Printed after the load, and again at the end when they changed: {title, control}.
    std::vector<std::pair<std::string, std::string>> identity;
    // The progress fill: its width against its width in the layout is the progress.
    std::string progressControl;
    // The confirmation is answered yes without asking.
    bool assumeYes = false;
    // Printed once under the identity when a device was found (servodiag's settings), under
    // their title: a line each on a terminal, one line together elsewhere.
    std::string detailsTitle;
    std::vector<ConsoleDetail> details;
    std::optional<ConsoleReadout> readout;
};

}  // namespace ui
