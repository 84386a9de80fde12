// usb.unplug and uhid.unplug: the device pulled out while a request to it is under way.
#include <array>

#include "HidrawNodes.h"
#include "Scenarios.h"
#include "ampflash/Layout.h"
#include "ampflash/frmMain.h"
#include "servodiag/Layout.h"
#include "servodiag/frmMain.h"
#include "simdevices/Amplifier.h"
#include "simdevices/WheelController.h"
#include "window/headless/HeadlessWindow.h"

namespace kerneltest {

namespace {

constexpr std::size_t kRecords = 60;
// The amplifier goes when the 20th record's report arrives, after the switch report.
constexpr std::size_t kPulledAtRecord = 20;

void DuringTransfer(Verdict& verdict, Carrier carrier) {
    const auto amplifier = std::make_shared<simdevices::Amplifier>();
    const auto device = Carry(carrier, amplifier, AmplifierReportIds());
    ScratchFolder folder;
    WriteImage(folder.Path() / ampflash::kImageFileName, kRecords, 0, 0x0BAD);
    ScenarioApi api(folder.Path());
    ui::HeadlessWindow window(ampflash::AmpflashLayout());
    window.AnswerConfirmation = [](const std::string&) { return true; };
    ampflash::frmMain form(window, api);
    window.Load(form);
    verdict.Check(form.Link().DeviceDetected, "ampflash did not find the amplifier");

    device->Served().PullPlugAtRequest(1 + kPulledAtRecord);
    window.Click("btnUpgradeFW");
    const std::string caption = window.Text("btnUpgradeFW");
    verdict.Check(WaitForNoNode([&] { return device->Node(); }),
                  "the amplifier is still on the bus");
    verdict.Check(caption.find("failed") != std::string::npos,
                  "ampflash shows no failure after the unplug: '" + caption + "'");
    const std::size_t received =
        device->Served().WithModelHeld([&] { return amplifier->ReceivedRecords(); });
    verdict.Check(received == kPulledAtRecord - 1,
                  "the amplifier received " + std::to_string(received) + " records");
    CheckNoHandles(verdict, api, "by ampflash after the failed transfer");
    if (!window.IsUnloaded())
        window.RequestClose();
    CheckNoHandles(verdict, api, "by ampflash after closing");
}

// What the status column shows.
std::array<std::string, 4> StatusShown(const ui::HeadlessWindow& window) {
    return {window.Text("Degrees"), window.Text("bus_v"), window.Text("amp_sn"),
            window.Text("estop")};
}

void DuringTicks(Verdict& verdict, Carrier carrier) {
    simdevices::WheelControllerOptions options;
    options.productId = 0x1020;
    const auto wheel = std::make_shared<simdevices::WheelController>(options);
    const auto device = Carry(carrier, wheel, WheelReportIds());
    ScratchFolder folder;
    ScenarioApi api(folder.Path());
    ui::HeadlessWindow window(servodiag::ServodiagLayout());
    servodiag::frmMain form(window, api);
    window.Load(form);
    verdict.Check(form.Link().DeviceDetected, "servodiag did not find the wheel controller");

    device->Served().PullPlugAtRequest(3);  // the third tick's status request
    window.Tick();
    window.Tick();
    const std::array<std::string, 4> lastShown = StatusShown(window);
    verdict.Check(!lastShown[0].empty(), "servodiag showed no status before the unplug");
    for (int tick = 3; tick <= 6; ++tick)
        window.Tick();
    verdict.Check(WaitForNoNode([&] { return device->Node(); }),
                  "the wheel controller is still on the bus");
    verdict.Check(StatusShown(window) == lastShown,
                  "the status column changed after the device was gone");
    window.RequestClose();
    CheckNoHandles(verdict, api, "by servodiag after closing");
}

}  // namespace

void Unplug(Verdict& verdict, Carrier carrier) {
    DuringTransfer(verdict, carrier);
    DuringTicks(verdict, carrier);
}

}  // namespace kerneltest
