// usb.ampflash, usb.wheelflash and their uhid twins: the whole updates, judged by what the device
// model received and by the handles the program left.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "FeatureDescriptor.h"
#include "HidrawNodes.h"
#include "ScenarioCapture.h"
#include "Scenarios.h"
#include "ampflash/Layout.h"
#include "ampflash/frmMain.h"
#include "hidlink/DeviceIdentity.h"
#include "simdevices/Amplifier.h"
#include "simdevices/Crc32.h"
#include "simdevices/WheelController.h"
#include "wheelflash/Layout.h"
#include "wheelflash/frmMain.h"
#include "window/headless/HeadlessWindow.h"

namespace kerneltest {

namespace {

// Enough records to show order and completeness, few enough for the 4 ms pauses under TCG.
constexpr std::size_t kRecords = 100;
// Six seconds for the bootloader, the records, a second around the reset and 1.5 s away: the
// whole update takes about ten seconds.
constexpr auto kAmplifierGiveUp = std::chrono::seconds(60);

std::string Hex32(std::uint32_t value) {
    char text[12];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

void CheckReceived(Verdict& verdict, const std::vector<std::uint8_t>& received,
                   const std::vector<std::uint8_t>& image) {
    const std::uint32_t got = simdevices::Crc32(received.data(), received.size());
    const std::uint32_t sent = simdevices::Crc32(image.data(), image.size());
    verdict.Check(got == sent, "the device received " + std::to_string(received.size()) +
                                   " bytes, crc32 " + Hex32(got) + "; the image's whole records: " +
                                   std::to_string(image.size()) + " bytes, crc32 " + Hex32(sent));
}

std::string NodeOf(const std::string& devicePath) {
    return std::filesystem::path(devicePath).filename().string();
}

// The device the program found again must be a new one: a device that left the bus and came
// back has a new HID device folder, whatever its node's name.
void CheckFoundAnew(Verdict& verdict, const hidlink::HidLink& link, const std::string& before) {
    verdict.Check(link.DeviceDetected, "the device was not found again");
    const std::string after = HidDeviceOf(NodeOf(link.DevicePath));
    verdict.Check(!after.empty() && after != before,
                  "found again as " + link.DevicePath + " at " + after + ", before at " + before);
}

std::vector<std::uint8_t> ReportDescriptorOf(const std::string& node) {
    std::ifstream in("/sys/class/hidraw/" + node + "/device/report_descriptor", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

void Ampflash(Verdict& verdict, Carrier carrier) {
    const auto amplifier = std::make_shared<simdevices::Amplifier>();
    const auto device = Carry(carrier, amplifier, AmplifierReportIds());
    ScratchFolder folder;
    const std::vector<std::uint8_t> image =
        WriteImage(folder.Path() / ampflash::kImageFileName, kRecords, 7, 0x2233);
    ScenarioApi api(folder.Path());
    ScenarioCapture capture(api, carrier == Carrier::Usb ? "usb.ampflash" : "uhid.ampflash");
    ui::HeadlessWindow window(ampflash::AmpflashLayout());
    ampflash::frmMain form(window, capture.Api());
    window.AnswerConfirmation = [](const std::string&) { return true; };
    window.Load(form);
    verdict.Check(form.Link().DeviceDetected, "ampflash did not find the amplifier");
    const std::string before = HidDeviceOf(device->Node());

    // ampflash waits for the amplifier without a limit: close the window, as a user would, when
    // it has not come back long after it should have.
    const auto giveUpAt = std::chrono::steady_clock::now() + kAmplifierGiveUp;
    window.OnProcessEvents = [&](int) {
        if (std::chrono::steady_clock::now() > giveUpAt)
            window.RequestClose();
    };
    window.Click("btnUpgradeFW");
    const std::string caption = window.Text("btnUpgradeFW");
    struct Account {
        std::vector<std::uint8_t> received;
        int switches;
        int resets;
        std::uint16_t version;
    };
    const Account a = device->Served().WithModelHeld([&] {
        return Account{amplifier->ReceivedImage(), amplifier->SwitchReports(),
                       amplifier->ResetReports(), amplifier->Description().versionNumber};
    });
    verdict.Check(a.switches == 1 && a.resets == 1,
                  std::to_string(a.switches) + " switch and " + std::to_string(a.resets) +
                      " reset reports arrived; the button says '" + caption + "'");
    CheckReceived(verdict, a.received, image);
    CheckFoundAnew(verdict, form.Link(), before);
    // Over USB the new firmware's release number reaches the window through bcdDevice.
    if (carrier == Carrier::Usb) {
        const std::string m =
            Mismatch("version", hidlink::FormatVersion(a.version), window.Text("lblVersion"));
        verdict.Check(m.empty(), m);
    }
    if (!window.IsUnloaded())
        window.RequestClose();
    CheckNoHandles(verdict, api, "after the update");
}

void Wheelflash(Verdict& verdict, Carrier carrier) {
    const auto wheel = std::make_shared<simdevices::WheelController>();
    const auto device = Carry(carrier, wheel, WheelReportIds());
    ScratchFolder folder;
    const std::vector<std::uint8_t> image =
        WriteImage(folder.Path() / wheelflash::kImageFileName, kRecords, 17, 0x2545F491);
    ScenarioApi api(folder.Path());
    ScenarioCapture capture(api, carrier == Carrier::Usb ? "usb.wheelflash" : "uhid.wheelflash");
    ui::HeadlessWindow window(wheelflash::WheelflashLayout());
    wheelflash::frmMain form(window, capture.Api());
    window.AnswerConfirmation = [](const std::string&) { return true; };
    window.Load(form);
    verdict.Check(form.Link().DeviceDetected, "wheelflash did not find the wheel controller");
    const std::string before = HidDeviceOf(device->Node());
    const std::size_t exchangesBefore = device->Served().Exchanges().size();

    window.Click("Command4");
    const auto [received, mode, reportLength] = device->Served().WithModelHeld([&] {
        return std::make_tuple(wheel->ReceivedImage(), wheel->CurrentMode(),
                               wheel->Description().featureReportByteLength);
    });
    verdict.Check(mode == simdevices::WheelController::Mode::ImageReceiving,
                  "the controller is not in its image-receiving mode; buttons say '" +
                      window.Text("Command4") + "', '" + window.Text("Command2") + "'");
    CheckReceived(verdict, received, image);
    CheckFoundAnew(verdict, form.Link(), before);

    // The upgrade command, then one unnumbered report per record, each as long as the device's
    // reports, its first byte the report ID 0x00.
    const std::vector<Exchange> exchanges = device->Served().Exchanges();
    std::size_t records = 0;
    for (std::size_t i = exchangesBefore + 1; i < exchanges.size(); ++i) {
        const Exchange& e = exchanges[i];
        const bool whole = e.kind == Exchange::Kind::Set && e.bytes.size() == reportLength &&
                           e.bytes[0] == 0x00 && !e.refused;
        verdict.Check(whole, "exchange " + std::to_string(i) + " is no whole record report");
        records += whole ? 1 : 0;
    }
    verdict.Check(records == kRecords, std::to_string(records) + " record reports arrived");
    const std::string node = device->Node();
    verdict.Check(ReportDescriptorOf(node) == FeatureOnlyDescriptor({0x00}, reportLength),
                  "the kernel does not hold the unnumbered report descriptor for " + node);
    if (!window.IsUnloaded())
        window.RequestClose();
    CheckNoHandles(verdict, api, "after the update");
}

}  // namespace kerneltest
