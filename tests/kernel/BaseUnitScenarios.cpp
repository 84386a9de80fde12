// usb.base-unit.wheelflash: wheelflash on the base unit served as a USB gadget. The unit answers
// 2233 in its normal mode; the upgrade command takes it off the bus and back as b02e on the same
// port, where the image must arrive; once let go of, it is 2233 again on that port.
#include <algorithm>
#include <filesystem>
#include <optional>

#include "HidrawNodes.h"
#include "Scenarios.h"
#include "hidlink/HidLink.h"
#include "servodiag/frmMain.h"
#include "simdevices/BaseUnit.h"
#include "wheelflash/Layout.h"
#include "wheelflash/frmMain.h"
#include "window/headless/HeadlessWindow.h"

namespace kerneltest {

namespace {

constexpr std::size_t kRecords = 40;

std::string NodeOf(const std::string& devicePath) {
    return std::filesystem::path(devicePath).filename().string();
}

// The device the program holds while the records go out.
struct Receiver {
    std::string hidDevice;
    std::string port;
    std::uint16_t productId = 0;
};

}  // namespace

void BaseUnitWheelflash(Verdict& verdict) {
    const auto unit = std::make_shared<simdevices::BaseUnit>();
    const auto device = Carry(Carrier::Usb, unit, BaseUnitReportIds());
    ScratchFolder folder;
    const std::vector<std::uint8_t> image =
        WriteImage(folder.Path() / wheelflash::kImageFileName, kRecords, 5, 0xBA5E);
    ScenarioApi api(folder.Path());
    const std::string home = api.DevicePort(device->DevicePath());
    const std::string before = HidDeviceOf(device->Node());
    verdict.Check(!home.empty(), "the base unit's port is not known");

    ui::HeadlessWindow window(wheelflash::WheelflashLayout());
    wheelflash::frmMain form(window, api);
    window.AnswerConfirmation = [](const std::string&) { return true; };
    window.Load(form);
    verdict.Check(form.Link().DeviceDetected && form.Link().Attributes.ProductID == 0x2233,
                  "wheelflash did not find the base unit in its normal mode");

    std::optional<Receiver> receiver;
    window.OnProcessEvents = [&](int) {
        const hidlink::HidLink& link = form.Link();
        if (receiver || !link.DeviceDetected ||
            device->Served().WithModelHeld([&] { return unit->ControllerImage().empty(); }))
            return;
        receiver = Receiver{HidDeviceOf(NodeOf(link.DevicePath)), api.DevicePort(link.DevicePath),
                            link.Attributes.ProductID};
    };
    window.Click("Command4");
    const auto [controllerImage, amplifierImage] = device->Served().WithModelHeld(
        [&] { return std::make_pair(unit->ControllerImage(), unit->AmplifierImage()); });
    const std::string buttons =
        "; buttons say '" + window.Text("Command4") + "', '" + window.Text("Command2") + "'";
    verdict.Check(controllerImage == image, "the unit received " +
                                                std::to_string(controllerImage.size()) + " of " +
                                                std::to_string(image.size()) + " bytes" + buttons);
    verdict.Check(amplifierImage.empty(), "records reached the amplifier's bootloader");
    verdict.Check(receiver.has_value(), "no record arrived while the program held the unit");
    if (receiver) {
        verdict.Check(receiver->productId == 0xB02E,
                      "the records went to product " + std::to_string(receiver->productId));
        verdict.Check(receiver->port == home,
                      "the records went to port " + receiver->port + ", not " + home);
        verdict.Check(!receiver->hidDevice.empty() && receiver->hidDevice != before,
                      "the records went to the device as it was before the upgrade command");
    }
    const auto& events = window.Events();
    verdict.Check(std::any_of(events.begin(), events.end(),
                              [](const ui::WindowEvent& e) {
                                  return e.what == "text" && e.value.starts_with("Update complete");
                              }),
                  "wheelflash did not say \"Update complete\"" + buttons);
    if (!window.IsUnloaded())
        window.RequestClose();
    CheckNoHandles(verdict, api, "after the update");

    // Let go of, the unit restarts into its normal mode on its own port.
    device->Served().LetGo();
    const std::string back = WaitForNode([&] {
        for (const hidlink::DeviceListing& d :
             hidlink::ListMatchingDevices(api, servodiag::kProfile).devices) {
            if (d.attributes.ProductID == 0x2233 && d.port == home)
                return NodeOf(d.path);
        }
        return std::string();
    });
    verdict.Check(!back.empty(), "the unit did not come back as 2233 on port " + home);
    CheckNoHandles(verdict, api, "after listing the unit back");
}

}  // namespace kerneltest
