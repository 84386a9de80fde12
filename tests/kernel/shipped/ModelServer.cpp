// Serves one simulated device model as a USB gadget on dummy_udc.0 until SIGTERM or SIGINT, so
// that programs which are not test programs (the shipped builds, native or under Wine) can be run
// against a real hidraw device in the test machine.
//   kernel_model_server amplifier | wheel [PRODUCT-ID-HEX]
// Prints "model-server: ready <node>" once usbhid made the node, and on exit what the model
// received, for the caller to compare with what the program said.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>

#include "../Scenarios.h"
#include "../UsbGadget.h"
#include "simdevices/Amplifier.h"
#include "simdevices/WheelController.h"

namespace {

struct Served {
    std::shared_ptr<sim::SimDevice> model;
    kerneltest::ReportIdsOf reportIds;
    std::function<std::string()> summary;  // called with the model held
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
        return {wheel, kerneltest::WheelReportIds(), [] { return std::string("wheel served"); }};
    }
    throw std::runtime_error("unknown model '" + kind + "' (amplifier or wheel)");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s amplifier|wheel [PRODUCT-ID-HEX]\n", argv[0]);
        return 2;
    }
    // Blocked before the gadget's thread starts, so only sigwait below sees them.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    try {
        const Served served = Choose(argv[1], argc > 2 ? argv[2] : nullptr);
        kerneltest::UsbGadget gadget(served.model, kerneltest::GadgetOptions{
                                                       0, served.reportIds,
                                                       kerneltest::ServedModel::Clock::Real});
        std::printf("model-server: ready %s\n", gadget.Node().c_str());
        std::fflush(stdout);
        int signal = 0;
        sigwait(&stop, &signal);
        const auto exchanges = gadget.Exchanges();
        std::size_t refused = 0;
        for (const auto& e : exchanges)
            refused += e.refused ? 1 : 0;
        std::printf("model-server: %zu feature requests (%zu refused); %s\n", exchanges.size(),
                    refused, gadget.WithModelHeld(served.summary).c_str());
        std::fflush(stdout);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "model-server: %s\n", e.what());
        return 1;
    }
    return 0;
}
