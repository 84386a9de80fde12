// The system calls a hidraw search makes, and nothing else: list the hidraw class folder, then
// open each node, ask for its attributes and close it. What discovery over the same tree cannot
// go below, whatever the program does around the calls.
#pragma once

#include <string>

namespace bench {

// Makes one such search over the nodes listed in <sysRoot>/class/hidraw, opening them in
// <devRoot>. Returns how many nodes it opened.
int BareHidrawSearch(const std::string& sysRoot, const std::string& devRoot);

}  // namespace bench
