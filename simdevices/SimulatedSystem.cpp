#include "simdevices/SimulatedSystem.h"

namespace simdevices {

namespace {

// "DV2A-010342" and its successors: the serial number's last digits count the devices of a kind.
std::u16string NthSerial(const std::u16string& first, int n) {
    std::u16string serial = first;
    for (std::size_t i = serial.size(); n > 0 && i-- > 0;) {
        if (serial[i] < u'0' || serial[i] > u'9')
            break;
        const int digit = (serial[i] - u'0') + n;
        serial[i] = static_cast<char16_t>(u'0' + digit % 10);
        n = digit / 10;
    }
    return serial;
}

}  // namespace

std::vector<std::shared_ptr<sim::SimDevice>> AddSimulatedDevices(
    sim::SimulatedBus& bus, const std::vector<std::string>& kinds,
    const AmplifierOptions& amplifier, const WheelControllerOptions& controller,
    const BaseUnitOptions& base) {
    std::vector<std::shared_ptr<sim::SimDevice>> added;
    int amplifiers = 0;
    int controllers = 0;
    int bases = 0;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const std::string port = "1-" + std::to_string(i + 1);
        if (kinds[i] == "amplifier") {
            AmplifierOptions options = amplifier;
            options.port = port;
            options.serialNumber = NthSerial(amplifier.serialNumber, amplifiers++);
            added.push_back(std::make_shared<Amplifier>(options));
        } else if (kinds[i] == "base") {
            BaseUnitOptions options = base;
            options.port = port;
            options.serialNumber = NthSerial(base.serialNumber, bases++);
            added.push_back(std::make_shared<BaseUnit>(options));
        } else {
            WheelControllerOptions options = controller;
            options.port = port;
            options.serialNumber = NthSerial(controller.serialNumber, controllers++);
            added.push_back(std::make_shared<WheelController>(options));
        }
        bus.AddDevice(added.back());
    }
    return added;
}

}  // namespace simdevices
