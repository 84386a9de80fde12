#include "hidlink/PlatformApi.h"

#include "hidlink/platform/linux/HidrawApi.h"

namespace hidlink {

ApiDeclarations& PlatformApi() {
    static hidraw::HidrawApi api;
    return api;
}

}  // namespace hidlink
