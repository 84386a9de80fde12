// The vendor and product IDs a Windows device path carries ("\\?\hid#vid_1d47&pid_1020#..."):
// what identifies a device that cannot be opened to ask it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "hidlink/ApiDeclarations.h"

namespace hidlink {

// Nothing unless the path names both, each as four hex digits after "vid_" and "pid_" (in
// either case).
std::optional<HiddAttributes> UsbIdsInPath(const std::string& devicePath);

}  // namespace hidlink
