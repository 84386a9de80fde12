// Text a device reports, made safe to write to a terminal: a product string carrying escape
// sequences, tabs or line ends must not move the cursor, recolour the screen or fake a line.
#pragma once

#include <string>

namespace common {

// Control characters (C0, DEL and, in UTF-8, C1) written as \t, \n, \r or \xHH; all other text
// as it is (a backslash too: Windows' device paths are full of them).
std::string EscapedForTerminal(const std::string& text);

}  // namespace common
