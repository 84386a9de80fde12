#include "simdevices/Bystanders.h"

namespace simdevices {

std::shared_ptr<sim::SimDevice> MakeKeyboard() {
    sim::DeviceDescription d;
    d.path =
        R"(\\?\hid#vid_1a2c&pid_2124&mi_00#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})";
    d.vendorId = 0x1A2C;
    d.productId = 0x2124;
    d.versionNumber = 0x6400;
    d.manufacturer = u"Generic";
    d.product = u"USB Keyboard";
    d.featureReportByteLength = 0;
    d.openable = false;
    return std::make_shared<sim::SimDevice>(d);
}

std::shared_ptr<sim::SimDevice> MakeHeadset() {
    sim::DeviceDescription d;
    d.path =
        R"(\\?\hid#vid_2f0a&pid_0101&mi_03#7&2b3c4d5e&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})";
    d.vendorId = 0x2F0A;
    d.productId = 0x0101;
    d.versionNumber = 0x0100;
    d.manufacturer = u"Example Audio";
    d.product = u"Headset Controls";
    d.featureReportByteLength = 0;
    return std::make_shared<sim::SimDevice>(d);
}

}  // namespace simdevices
