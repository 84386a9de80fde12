// A HID report descriptor for a vendor-defined device that has only feature reports: one
// top-level collection and, for each report ID, one report of byte-sized fields.
#pragma once

#include <cstdint>
#include <vector>

namespace kerneltest {

// Every report carries `reportByteLength - 1` data bytes after its ID, so Windows'
// FeatureReportByteLength for the device is `reportByteLength`. ID 0 stands for the one report
// of a device without numbered reports: no Report ID item is written for it.
std::vector<std::uint8_t> FeatureOnlyDescriptor(const std::vector<std::uint8_t>& reportIds,
                                                std::uint16_t reportByteLength);

}  // namespace kerneltest
