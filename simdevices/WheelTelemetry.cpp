#include "simdevices/WheelTelemetry.h"

namespace simdevices {

void FillStatusReport(std::uint8_t*, std::uint32_t, std::int64_t) {}

void FillSettingsReport(std::uint8_t*, std::uint32_t) {}

}  // namespace simdevices
