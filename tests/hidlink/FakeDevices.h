// Small scripted devices for the device-link tests.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "hidlink/sim/SimDevice.h"

namespace testing_devices {

inline std::shared_ptr<sim::SimDevice> Device(std::uint16_t vendor, std::uint16_t product,
                                              const std::string& tag = "") {
    sim::DeviceDescription d;
    char path[96];
    std::snprintf(path, sizeof path, "\\\\?\\hid#vid_%04x&pid_%04x#%s", vendor, product,
                  tag.c_str());
    d.path = path;
    d.vendorId = vendor;
    d.productId = product;
    d.versionNumber = 0x0105;
    d.manufacturer = u"Maker";
    d.product = u"Thing";
    d.serialNumber = u"S1";
    d.featureReportByteLength = 65;
    return std::make_shared<sim::SimDevice>(d);
}

}  // namespace testing_devices
