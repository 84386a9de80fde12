#include "simdevices/HidPath.h"

#include <cstdio>

namespace simdevices {

std::string SimulatedHidPath(std::uint16_t vendorId, std::uint16_t productId,
                             const std::string& instance, const std::string& port) {
    char head[32];
    std::snprintf(head, sizeof head, "vid_%04x&pid_%04x", vendorId, productId);
    std::string portInPath;
    for (char c : port)
        portInPath += (c == '-' || c == '.') ? '_' : c;
    return std::string(R"(\\?\hid#)") + head + "#8&" + instance + "&0&" + portInPath +
           "#{4d1e55b2-f16f-11cf-88cb-001111000030}";
}

}  // namespace simdevices
