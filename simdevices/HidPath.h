// The interface path a simulated device enumerates with: Windows' form, with an instance part
// that follows the port, so that two devices of one kind on two ports have two paths.
#pragma once

#include <cstdint>
#include <string>

namespace simdevices {

std::string SimulatedHidPath(std::uint16_t vendorId, std::uint16_t productId,
                             const std::string& instance, const std::string& port);

}  // namespace simdevices
