#include "simdevices/Bystanders.h"

#include <string>

namespace simdevices {

namespace {

// A bystander's interface, with no feature reports.
sim::DeviceDescription Bystander(std::string path, std::uint16_t vendorId, std::uint16_t productId,
                                 std::uint16_t versionNumber, std::u16string manufacturer,
                                 std::u16string product) {
    sim::DeviceDescription d;
    d.path = std::move(path);
    d.vendorId = vendorId;
    d.productId = productId;
    d.versionNumber = versionNumber;
    d.manufacturer = std::move(manufacturer);
    d.product = std::move(product);
    d.featureReportByteLength = 0;
    return d;
}

}  // namespace

std::shared_ptr<sim::SimDevice> MakeKeyboard() {
    sim::DeviceDescription d = Bystander(
        R"(\\?\hid#vid_1a2c&pid_2124&mi_00#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})",
        0x1A2C, 0x2124, 0x6400, u"Generic", u"USB Keyboard");
    d.openable = false;
    return std::make_shared<sim::SimDevice>(d);
}

std::shared_ptr<sim::SimDevice> MakeHeadset() {
    return std::make_shared<sim::SimDevice>(Bystander(
        R"(\\?\hid#vid_2f0a&pid_0101&mi_03#7&2b3c4d5e&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})",
        0x2F0A, 0x0101, 0x0100, u"Example Audio", u"Headset Controls"));
}

}  // namespace simdevices
