#include "hidlink/DeviceOptions.h"

#include <cstdio>
#include <vector>

#include "hidlink/DeviceLines.h"

namespace hidlink {

DeviceSelector SelectorOf(const cmdline::Options& options) {
    return {options.serial, options.port};
}

std::optional<int> SettleDeviceOptions(const cmdline::Options& options, ApiDeclarations& api,
                                       const DeviceProfile& profile, bool waitsForDevice) {
    if (!options.list && !options.noWindow)
        return std::nullopt;
    const DeviceSelector selector = SelectorOf(options);
    const std::vector<DeviceListing> present = ListMatchingDevices(api, profile).devices;
    std::vector<DeviceListing> devices;
    for (const DeviceListing& device : present) {
        if (Selects(selector, device))
            devices.push_back(device);
    }
    if (devices.empty() && (!selector.serial.empty() || !selector.port.empty())) {
        std::fputs(NothingSelected(selector, present).c_str(), stderr);
        if (options.list || !waitsForDevice)
            return cmdline::kNoDevice;
    }
    if (options.list) {
        for (const DeviceListing& device : devices)
            std::printf("%s\n", TerminalListLine(device).c_str());
        return devices.empty() ? cmdline::kNoDevice : cmdline::kUpdated;
    }
    if (Candidates(devices, profile).size() < 2)
        return std::nullopt;
    std::fputs("Several devices match; name one with --serial or --port:\n", stderr);
    for (const DeviceListing& device : devices)
        std::fprintf(stderr, "  %s\n", TerminalChooserLine(device).c_str());
    return cmdline::kWrongUsage;
}

}  // namespace hidlink
