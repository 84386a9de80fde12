#include "cmdline/DeviceLines.h"

#include <cstdio>

#include "window/console/EscapedText.h"

namespace cmdline {

namespace {

hidlink::DeviceListing Escaped(hidlink::DeviceListing device) {
    for (std::string* text :
         {&device.path, &device.manufacturer, &device.product, &device.serial, &device.location})
        *text = ui::EscapedForTerminal(*text);
    return device;
}

std::string VendorAndProduct(const hidlink::HiddAttributes& attributes) {
    char text[10];
    std::snprintf(text, sizeof text, "%04x:%04x", attributes.VendorID, attributes.ProductID);
    return text;
}

}  // namespace

std::string ListedLine(const hidlink::DeviceListing& device) {
    return hidlink::ListLine(Escaped(device));
}

std::string ChoiceLine(const hidlink::DeviceListing& device) {
    return hidlink::ChooserLine(Escaped(device));
}

std::string NothingSelected(const hidlink::DeviceSelector& selector,
                            const std::vector<hidlink::DeviceListing>& present) {
    std::string asked;
    if (!selector.serial.empty())
        asked = "serial \"" + ui::EscapedForTerminal(selector.serial) + "\"";
    if (!selector.port.empty())
        asked += (asked.empty() ? "" : " at ") + std::string("port \"") +
                 ui::EscapedForTerminal(selector.port) + "\"";
    std::string text = "No device with " + asked + ".";
    if (present.empty())
        return text + " None is present.\n";
    text += " Present:\n";
    for (const hidlink::DeviceListing& listed : present) {
        const hidlink::DeviceListing device = Escaped(listed);
        text += "  " + device.path + "  " +
                (device.product.empty() ? "(no product string)" : "\"" + device.product + "\"") +
                "  " + VendorAndProduct(device.attributes) + "  " +
                (device.serial.empty() ? "no serial" : "serial " + device.serial) + "  " +
                (device.location.empty() ? "no port" : "port " + device.location) + "\n";
    }
    return text;
}

}  // namespace cmdline
