// Serves one simulated device model as a USB gadget until SIGTERM or SIGINT, so that programs
// which are not test programs (the shipped builds, native or under Wine) can be run against a
// real hidraw device in the test machine.
//   kernel_model_server amplifier | wheel | headset [PRODUCT-ID-HEX]
// The amplifier and the wheel controller are served on dummy_udc.0; the headset, a HID device of
// another vendor that the programs must pass over, on dummy_udc.1, so that it can stay on the
// bus beside them. SIGUSR1 pulls the plug, SIGUSR2 puts it back in, each answered by a line.
// Prints "model-server: ready <node>" once usbhid made the node, and on exit what the model
// received, for the caller to compare with what the program said. With MODEL_STATUS_ROWS set, it
// also writes there the values of every status report the model answered, one line each, as
// servodiag's recording has them after its time and device columns.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "../Scenarios.h"
#include "../UsbGadget.h"
#include "servodiag/StatusRecorder.h"
#include "servodiag/StatusReport.h"
#include "simdevices/Amplifier.h"
#include "simdevices/WheelController.h"

namespace {

struct Served {
    std::shared_ptr<sim::SimDevice> model;
    kerneltest::ReportIdsOf reportIds;
    std::function<std::string()> summary;  // called with the model held
    int controller = 0;
};

Served Choose(const std::string& kind, const char* productHex) {
    if (kind == "amplifier") {
        simdevices::AmplifierOptions options;
        if (productHex != nullptr)
            options.productId = static_cast<std::uint16_t>(std::strtoul(productHex, nullptr, 16));
        auto amplifier = std::make_shared<simdevices::Amplifier>(options);
        return {amplifier, kerneltest::AmplifierReportIds(), [amplifier] {
                    return amplifier->Summary() + "; switches " +
                           std::to_string(amplifier->SwitchReports()) + ", resets " +
                           std::to_string(amplifier->ResetReports());
                }};
    }
    if (kind == "wheel") {
        simdevices::WheelControllerOptions options;
        options.productId = 0x1020;  // the product servodiag looks for first
        if (productHex != nullptr)
            options.productId = static_cast<std::uint16_t>(std::strtoul(productHex, nullptr, 16));
        auto wheel = std::make_shared<simdevices::WheelController>(options);
        // It keeps only the records sent with report ID 0x00, as the image-receiving mode's
        // descriptor (without report IDs) requires: its count is of those.
        return {wheel, kerneltest::WheelReportIds(), [wheel] {
                    const bool receiving =
                        wheel->CurrentMode() == simdevices::WheelController::Mode::ImageReceiving;
                    return wheel->Summary() + (receiving ? "; receiving images" : "; normal mode");
                }};
    }
    if (kind == "headset")
        return {kerneltest::HeadsetBystander(), kerneltest::HeadsetReportIds(),
                [] { return std::string("headset served"); }, 1};
    throw std::runtime_error("unknown model '" + kind + "' (amplifier, wheel or headset)");
}

// Decoded as the program decodes them, so a recorded row equal to one of these lines shows the
// report crossed the HID stack whole: no byte lost, shifted or padded on the way.
void WriteStatusRows(const std::vector<kerneltest::Exchange>& exchanges, const char* path) {
    std::ofstream out(path);
    for (const auto& e : exchanges) {
        if (e.kind != kerneltest::Exchange::Kind::Get || e.refused ||
            e.reportId != servodiag::kStatusReportId)
            continue;
        std::vector<std::uint8_t> buffer(e.bytes);
        buffer.resize(std::max(buffer.size(), servodiag::kStatusBufferSize), 0);
        const servodiag::StatusValues values = servodiag::DecodeStatusValues(buffer.data());
        const std::string row = servodiag::StatusCsvRow({}, &values);
        out << row.substr(row.find(',', row.find(',') + 1) + 1) << '\n';
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s amplifier|wheel|headset [PRODUCT-ID-HEX]\n", argv[0]);
        return 2;
    }
    // Blocked before the gadget's thread starts, so only sigwait below sees them.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGUSR1);
    sigaddset(&stop, SIGUSR2);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    try {
        const Served served = Choose(argv[1], argc > 2 ? argv[2] : nullptr);
        kerneltest::UsbGadget gadget(
            served.model, kerneltest::GadgetOptions{served.controller, served.reportIds,
                                                    kerneltest::ServedModel::Clock::Real});
        std::printf("model-server: ready %s\n", gadget.Node().c_str());
        std::fflush(stdout);
        int signal = 0;
        while (sigwait(&stop, &signal) == 0 && (signal == SIGUSR1 || signal == SIGUSR2)) {
            gadget.Served().SetPlugged(signal == SIGUSR2);
            std::printf("model-server: %s\n", signal == SIGUSR2 ? "plugged in" : "unplugged");
            std::fflush(stdout);
        }
        const auto exchanges = gadget.Exchanges();
        std::size_t refused = 0;
        for (const auto& e : exchanges)
            refused += e.refused ? 1 : 0;
        const char* rows = std::getenv("MODEL_STATUS_ROWS");
        if (rows != nullptr && *rows != '\0')
            WriteStatusRows(exchanges, rows);
        std::printf("model-server: %zu feature requests (%zu refused); %s\n", exchanges.size(),
                    refused, gadget.WithModelHeld(served.summary).c_str());
        std::fflush(stdout);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "model-server: %s\n", e.what());
        return 1;
    }
    return 0;
}
