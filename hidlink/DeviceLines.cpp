#include "hidlink/DeviceLines.h"

#include <cstdio>

#include "common/EscapedText.h"

namespace hidlink {

namespace {

DeviceListing Escaped(DeviceListing device) {
    for (std::string* text :
         {&device.path, &device.manufacturer, &device.product, &device.serial, &device.port})
        *text = common::EscapedForTerminal(*text);
    return device;
}

std::string VendorAndProduct(const HiddAttributes& attributes) {
    char text[10];
    std::snprintf(text, sizeof text, "%04x:%04x", attributes.VendorID, attributes.ProductID);
    return text;
}

}  // namespace

std::string TerminalListLine(const DeviceListing& device) {
    return ListLine(Escaped(device));
}

std::string TerminalChooserLine(const DeviceListing& device) {
    return ChooserLine(Escaped(device));
}

std::string NothingSelected(const DeviceSelector& selector,
                            const std::vector<DeviceListing>& present) {
    std::string asked;
    if (!selector.serial.empty())
        asked = "serial \"" + common::EscapedForTerminal(selector.serial) + "\"";
    if (!selector.port.empty())
        asked += (asked.empty() ? "" : " at ") + std::string("port \"") +
                 common::EscapedForTerminal(selector.port) + "\"";
    std::string text = "No device with " + asked + ".";
    if (present.empty())
        return text + " None is present.\n";
    text += " Present:\n";
    for (const DeviceListing& listed : present) {
        const DeviceListing device = Escaped(listed);
        text += "  " + device.path + "  " +
                (device.product.empty() ? "(no product string)" : "\"" + device.product + "\"") +
                "  " + VendorAndProduct(device.attributes) + "  " +
                (device.serial.empty() ? "no serial" : "serial " + device.serial) + "  " +
                (device.port.empty() ? "no port" : "port " + device.port) + "\n";
    }
    return text;
}

}  // namespace hidlink
