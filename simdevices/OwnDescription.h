// How one of our simulated devices enumerates: each kind's options name its product, version,
// serial number, port and report length alike; only the vendor, the path's instance part and
// the product string set the kinds apart.
#pragma once

#include <cstdint>
#include <string>

#include "hidlink/sim/SimDevice.h"
#include "simdevices/HidPath.h"

namespace simdevices {

template <typename Options>
sim::DeviceDescription DescribeOwnDevice(const Options& o, std::uint16_t vendorId,
                                         const std::string& pathInstance, std::u16string product) {
    sim::DeviceDescription d;
    d.path = SimulatedHidPath(vendorId, o.productId, pathInstance, o.port);
    d.vendorId = vendorId;
    d.productId = o.productId;
    d.versionNumber = o.versionNumber;
    d.manufacturer = u"Drivanta";
    d.product = std::move(product);
    d.serialNumber = o.serialNumber;
    d.port = o.port;
    d.featureReportByteLength = o.reportLength;
    return d;
}

}  // namespace simdevices
