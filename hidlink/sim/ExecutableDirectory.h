// Where a -sim program lives: its sample image lies beside it, as the real programs' image lies
// beside them.
#pragma once

#include <string>

namespace sim {

std::string ExecutableDirectory(const char* argv0);

}  // namespace sim
