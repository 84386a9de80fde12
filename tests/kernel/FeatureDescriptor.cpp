#include "FeatureDescriptor.h"

namespace kerneltest {

std::vector<std::uint8_t> FeatureOnlyDescriptor(const std::vector<std::uint8_t>& reportIds,
                                                std::uint16_t reportByteLength) {
    const auto dataBytes = static_cast<std::uint16_t>(reportByteLength - 1);
    std::vector<std::uint8_t> d = {
        0x06, 0x00, 0xFF,  // Usage Page (vendor-defined 0xFF00)
        0x09, 0x01,        // Usage (1)
        0xA1, 0x01,        // Collection (Application)
        0x15, 0x00,        // Logical Minimum (0)
        0x26, 0xFF, 0x00,  // Logical Maximum (255)
        0x75, 0x08,        // Report Size (8)
    };
    for (std::uint8_t id : reportIds) {
        if (id != 0)
            d.insert(d.end(), {0x85, id});  // Report ID
        const std::uint8_t report[] = {
            0x09,
            0x01,  // Usage (1)
            0x96,
            static_cast<std::uint8_t>(dataBytes),       // Report Count, two bytes
            static_cast<std::uint8_t>(dataBytes >> 8),  //
            0xB1,
            0x02,  // Feature (Data, Variable, Absolute)
        };
        d.insert(d.end(), std::begin(report), std::end(report));
    }
    d.push_back(0xC0);  // End Collection
    return d;
}

}  // namespace kerneltest
