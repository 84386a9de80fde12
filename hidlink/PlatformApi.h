// The machine's own ApiDeclarations: Win32 on Windows, hidraw on Linux.
#pragma once

#include "hidlink/ApiDeclarations.h"

namespace hidlink {

ApiDeclarations& PlatformApi();

}  // namespace hidlink
