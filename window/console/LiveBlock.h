// The block of lines a terminal keeps below everything else and redraws in place, such as
// servodiag's status: a value per line after its title, values aligned, in colour where the
// terminal has colours.
#pragma once

#include <string>
#include <vector>

#include "window/TerminalView.h"

namespace ui {

// Writes ECMA-48 control sequences, which terminal emulators and Windows' console (with virtual
// terminal processing) understand. Assumes the cursor stands where the last text it made left
// it: anything else written to the terminal in between has to come after Erase().
class LiveBlock {
  public:
    // The text that draws `fields` over the block drawn before, if any.
    std::string Redraw(const std::vector<LiveField>& fields, bool colours);
    // The text that removes the block and leaves the cursor where it began; empty when none is
    // drawn.
    std::string Erase();

  private:
    int linesDrawn_ = 0;
};

}  // namespace ui
