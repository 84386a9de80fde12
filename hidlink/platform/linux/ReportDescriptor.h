// What HidP_GetCaps reports about a device, worked out from its HID report descriptor.
#pragma once

#include <cstddef>
#include <cstdint>

namespace hidlink::hidraw {

struct ReportLengths {
    // Usage page and usage of the first top-level collection.
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    // Windows' byte lengths: the longest report of the kind, ceil(bits / 8) for its report ID,
    // plus one byte for the report ID (also when the device numbers no reports); 0 when the
    // device has no report of that kind.
    std::uint16_t inputReportByteLength = 0;
    std::uint16_t outputReportByteLength = 0;
    std::uint16_t featureReportByteLength = 0;
};

// Reads short items (the globals Usage Page, Report Size, Report ID, Report Count, Push and Pop;
// the local Usage; the main items Input, Output, Feature, Collection and End Collection) and
// skips long items. Never reads past `size` bytes; a truncated last item is ignored; Push nests
// at most 16 deep and deeper pushes are ignored.
ReportLengths ParseReportDescriptor(const std::uint8_t* descriptor, std::size_t size);

}  // namespace hidlink::hidraw
