// usb.two-devices: several matching devices on the bus at once, each a USB gadget on a host
// controller of its own. The update reaches the device chosen, and no report the other.
#include <filesystem>

#include "Scenarios.h"
#include "ampflash/Layout.h"
#include "ampflash/frmMain.h"
#include "hidlink/DeviceChooser.h"
#include "simdevices/Amplifier.h"
#include "simdevices/Crc32.h"
#include "simdevices/WheelController.h"
#include "wheelflash/Layout.h"
#include "wheelflash/frmMain.h"
#include "window/headless/HeadlessWindow.h"

namespace kerneltest {

namespace {

constexpr std::size_t kRecords = 20;

bool Holds(const std::vector<std::uint8_t>& received, const std::vector<std::uint8_t>& image) {
    return simdevices::Crc32(received.data(), received.size()) ==
               simdevices::Crc32(image.data(), image.size()) &&
           received.size() == image.size();
}

// The amplifier and the wheel controller, created in either order: wheelflash takes the
// controller without being told (the only device of its own kind), as it would without a window.
void AmplifierBesideController(Verdict& verdict, bool amplifierFirst) {
    const std::string order = amplifierFirst ? "amplifier first: " : "controller first: ";
    const auto amplifier = std::make_shared<simdevices::Amplifier>();
    const auto wheel = std::make_shared<simdevices::WheelController>();
    std::unique_ptr<ModelCarrier> amplifierDevice;
    std::unique_ptr<ModelCarrier> wheelDevice;
    if (amplifierFirst)
        amplifierDevice = Carry(Carrier::Usb, amplifier, AmplifierReportIds(), 0);
    wheelDevice = Carry(Carrier::Usb, wheel, WheelReportIds(), 1);
    if (!amplifierFirst)
        amplifierDevice = Carry(Carrier::Usb, amplifier, AmplifierReportIds(), 0);

    ScratchFolder folder;
    const std::vector<std::uint8_t> image =
        WriteImage(folder.Path() / wheelflash::kImageFileName, kRecords, 3, 0xB02E);
    ScenarioApi api(folder.Path());
    const auto devices = hidlink::ListMatchingDevices(api, wheelflash::kProfile).devices;
    verdict.Check(
        devices.size() == 2 && hidlink::Candidates(devices, wheelflash::kProfile).size() == 1,
        order + std::to_string(devices.size()) + " devices listed, not one of each");

    ui::HeadlessWindow window(wheelflash::WheelflashLayout());
    wheelflash::frmMain form(window, api);
    window.AnswerConfirmation = [](const std::string&) { return true; };
    window.Load(form);
    window.Click("Command4");
    const auto received =
        wheelDevice->Served().WithModelHeld([&] { return wheel->ReceivedImage(); });
    verdict.Check(Holds(received, image), order + "the controller does not hold the image; '" +
                                              window.Text("Command2") + "'");
    const std::size_t toAmplifier = amplifierDevice->Served().Exchanges().size();
    verdict.Check(toAmplifier == 0,
                  order + std::to_string(toAmplifier) + " reports reached the amplifier");
    if (!window.IsUnloaded())
        window.RequestClose();
    CheckNoHandles(verdict, api, order + "after the update");
}

// Two amplifiers told apart by their serial numbers: ampflash with the second's serial number
// updates the second, and the first receives nothing.
void SecondOfTwoAmplifiers(Verdict& verdict) {
    simdevices::AmplifierOptions second;
    second.serialNumber = u"DV2A-010343";
    const auto first = std::make_shared<simdevices::Amplifier>();
    const auto other = std::make_shared<simdevices::Amplifier>(second);
    const auto firstDevice = Carry(Carrier::Usb, first, AmplifierReportIds(), 0);
    const auto secondDevice = Carry(Carrier::Usb, other, AmplifierReportIds(), 1);

    ScratchFolder folder;
    const std::vector<std::uint8_t> image =
        WriteImage(folder.Path() / ampflash::kImageFileName, kRecords, 5, 0x2233);
    ScenarioApi api(folder.Path());
    ui::HeadlessWindow window(ampflash::AmpflashLayout());
    ampflash::frmMain form(window, api, "", "", hidlink::DeviceSelector{"DV2A-010343", ""});
    window.AnswerConfirmation = [](const std::string& question) {
        return question.find("DV2A-010343") != std::string::npos;
    };
    window.Load(form);
    window.Click("btnUpgradeFW");
    const auto [received, resets] = secondDevice->Served().WithModelHeld(
        [&] { return std::make_pair(other->ReceivedImage(), other->ResetReports()); });
    verdict.Check(
        Holds(received, image) && resets == 1,
        "the second amplifier does not hold the image; '" + window.Text("btnUpgradeFW") + "'");
    // Complete only with the second amplifier back: the first, present all along, is no stand-in.
    verdict.Check(window.IsUnloaded() && form.Link().DevicePath == secondDevice->DevicePath(),
                  "ampflash ended on " + form.Link().DevicePath + "; the second amplifier is " +
                      secondDevice->DevicePath());
    const std::size_t toFirst = firstDevice->Served().Exchanges().size();
    verdict.Check(toFirst == 0, std::to_string(toFirst) + " reports reached the first amplifier");
    if (!window.IsUnloaded())
        window.RequestClose();
    CheckNoHandles(verdict, api, "after the second amplifier's update");
}

}  // namespace

void TwoDevices(Verdict& verdict) {
    AmplifierBesideController(verdict, true);
    AmplifierBesideController(verdict, false);
    SecondOfTwoAmplifiers(verdict);
}

}  // namespace kerneltest
