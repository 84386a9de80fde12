// usb.identity and usb.servodiag: what the programs read from a USB device through usbhid.
#include <algorithm>
#include <functional>
#include <vector>

#include "HidrawNodes.h"
#include "ScenarioCapture.h"
#include "Scenarios.h"
#include "ampflash/Layout.h"
#include "ampflash/frmMain.h"
#include "hidlink/DeviceIdentity.h"
#include "servodiag/Layout.h"
#include "servodiag/SettingsReport.h"
#include "servodiag/StatusReport.h"
#include "servodiag/frmMain.h"
#include "simdevices/Amplifier.h"
#include "simdevices/WheelController.h"
#include "wheelflash/Layout.h"
#include "wheelflash/frmMain.h"
#include "window/headless/HeadlessWindow.h"

namespace kerneltest {

namespace {

// A program's window on the headless window, loaded.
struct LoadedProgram {
    std::unique_ptr<ui::HeadlessWindow> window;
    std::unique_ptr<ui::FormHandlers> form;
};

template <class Form, ui::FormLayout (*MakeLayout)()>
LoadedProgram Load(hidlink::ApiDeclarations& api) {
    LoadedProgram program{std::make_unique<ui::HeadlessWindow>(MakeLayout()), nullptr};
    program.form = std::make_unique<Form>(*program.window, api);
    program.window->Load(*program.form);
    return program;
}

std::shared_ptr<sim::SimDevice> Wheel(std::uint16_t productId) {
    simdevices::WheelControllerOptions options;
    options.productId = productId;
    return std::make_shared<simdevices::WheelController>(options);
}

struct IdentityCase {
    const char* program;
    std::function<std::shared_ptr<sim::SimDevice>()> model;
    ReportIdsOf reportIds;
    LoadedProgram (*load)(hidlink::ApiDeclarations& api);
};

int NodeNumber(const std::string& node) {
    return node.empty() ? -1 : std::stoi(node.substr(std::string("hidraw").size()));
}

// The settings report as servodiag's buffer holds it after the transfer.
std::vector<std::uint8_t> Padded(std::vector<std::uint8_t> bytes, std::size_t size) {
    bytes.resize(std::max(bytes.size(), size), 0);
    return bytes;
}

const Exchange* LastGet(const std::vector<Exchange>& exchanges, std::uint8_t reportId) {
    for (auto it = exchanges.rbegin(); it != exchanges.rend(); ++it) {
        if (it->kind == Exchange::Kind::Get && it->reportId == reportId)
            return &*it;
    }
    return nullptr;
}

std::string SettingsMismatch(const ui::HeadlessWindow& window, const Exchange& sent) {
    const servodiag::SettingsView v = servodiag::DecodeSettingsReport(
        Padded(sent.bytes, servodiag::kSettingsDecodedBytes).data());
    const std::pair<const char*, const std::string*> labels[] = {{"Slimit", &v.Slimit},
                                                                 {"Homing", &v.Homing},
                                                                 {"Stiff", &v.Stiff},
                                                                 {"Damp", &v.Damp},
                                                                 {"TDamp", &v.TDamp},
                                                                 {"DampingScale", &v.DampingScale},
                                                                 {"OverallScale", &v.OverallScale},
                                                                 {"TInertia", &v.TInertia},
                                                                 {"TFriction", &v.TFriction},
                                                                 {"MotorFilter", &v.MotorFilter},
                                                                 {"InputFilter", &v.InputFilter},
                                                                 {"Spring", &v.Spring}};
    for (const auto& [control, expected] : labels) {
        if (std::string m = Mismatch(control, *expected, window.Text(control)); !m.empty())
            return m;
    }
    return {};
}

std::string StatusMismatch(const ui::HeadlessWindow& window, const Exchange& sent) {
    const servodiag::StatusView v = servodiag::DecodeStatusReport(
        Padded(sent.bytes, servodiag::kStatusBufferSize).data(), window.DecimalSeparator());
    const std::pair<const char*, const std::optional<std::string>*> labels[] = {
        {"USBerr", &v.USBerr},         {"SPIerr", &v.SPIerr},
        {"amp_fw_ver", &v.amp_fw_ver}, {"amp_bl_ver", &v.amp_bl_ver},
        {"amp_sn", &v.amp_sn},         {"motor_model", &v.motor_model},
        {"sfd_pos", &v.sfd_pos},       {"Degrees", &v.Degrees},
        {"bus_v", &v.bus_v},           {"estop", &v.estop}};
    for (const auto& [control, expected] : labels) {
        if (!*expected)
            continue;
        if (std::string m = Mismatch(control, **expected, window.Text(control)); !m.empty())
            return m;
    }
    return {};
}

}  // namespace

void UsbIdentity(Verdict& verdict) {
    const IdentityCase cases[] = {
        {"servodiag", [] { return Wheel(0x1020); }, WheelReportIds(),
         &Load<servodiag::frmMain, servodiag::ServodiagLayout>},
        {"ampflash", [] { return std::make_shared<simdevices::Amplifier>(); }, AmplifierReportIds(),
         &Load<ampflash::frmMain, ampflash::AmpflashLayout>},
        {"wheelflash", [] { return Wheel(0xB02E); }, WheelReportIds(),
         &Load<wheelflash::frmMain, wheelflash::WheelflashLayout>},
    };
    // Another vendor's USB HID device, on the other controller, enumerated before each device.
    const auto bystander = Carry(Carrier::Usb, HeadsetBystander(), HeadsetReportIds(), 0);
    for (const IdentityCase& c : cases) {
        const std::string program = std::string(c.program) + ": ";
        const std::shared_ptr<sim::SimDevice> model = c.model();
        const auto device = Carry(Carrier::Usb, model, c.reportIds, 1);
        const std::string node = device->Node();
        verdict.Check(NodeNumber(bystander->Node()) < NodeNumber(node),
                      program + "the bystander (" + bystander->Node() +
                          ") did not enumerate before the device (" + node + ")");

        ScratchFolder folder;
        ScenarioApi api(folder.Path());
        LoadedProgram loaded = c.load(api);
        const ui::HeadlessWindow& window = *loaded.window;
        const sim::DeviceDescription& d = model->Description();
        const std::string mismatches[] = {
            Mismatch("manufacturer", Shown(Narrow(d.manufacturer)), window.Text("lblManuf")),
            Mismatch("product", Shown(Narrow(d.product)), window.Text("lblProduct")),
            Mismatch("serial number", Shown(Narrow(d.serialNumber)),
                     window.Text("lblSerialNumber")),
            Mismatch("version", hidlink::FormatVersion(d.versionNumber), window.Text("lblVersion")),
        };
        for (const std::string& m : mismatches)
            verdict.Check(m.empty(), program + m);

        const auto bystanderOpens =
            std::count(api.Opened().begin(), api.Opened().end(), bystander->DevicePath());
        verdict.Check(bystanderOpens == 1, program + "the bystander was opened " +
                                               std::to_string(bystanderOpens) + " times");
        std::vector<std::string> open = OpenHidrawNodes();
        verdict.Check(
            open == std::vector<std::string>{node, node},
            program + "open after the load: " + Joined(open) + ", expected " + node + " twice");
        loaded.window->RequestClose();
        CheckNoHandles(verdict, api, "by " + std::string(c.program) + " after closing");
    }
}

void Servodiag(Verdict& verdict, Carrier carrier) {
    const std::shared_ptr<sim::SimDevice> wheel = Wheel(0x1020);
    const auto device = Carry(carrier, wheel, WheelReportIds());
    ScratchFolder folder;
    ScenarioApi api(folder.Path());
    ScenarioCapture capture(api, carrier == Carrier::Usb ? "usb.servodiag" : "uhid.servodiag");
    ui::HeadlessWindow window(servodiag::ServodiagLayout());
    servodiag::frmMain form(window, capture.Api());
    window.Load(form);
    verdict.Check(form.Link().DeviceDetected, "the wheel controller was not found");

    const std::vector<Exchange> atLoad = device->Served().Exchanges();
    const Exchange* settings = LastGet(atLoad, servodiag::kSettingsReportId);
    verdict.Check(settings != nullptr && !settings->refused, "no settings report was answered");
    if (settings != nullptr)
        verdict.Check(SettingsMismatch(window, *settings).empty(),
                      "settings: " + SettingsMismatch(window, *settings));

    constexpr int kTicks = 5;
    for (int tick = 1; tick <= kTicks && verdict.Passed(); ++tick) {
        const std::size_t before = device->Served().Exchanges().size();
        window.Tick();
        const std::vector<Exchange> exchanges = device->Served().Exchanges();
        const Exchange* status = LastGet(exchanges, servodiag::kStatusReportId);
        const std::string at = "tick " + std::to_string(tick) + ": ";
        verdict.Check(exchanges.size() == before + 1 && status != nullptr && !status->refused,
                      at + "the status report was not answered");
        if (status != nullptr)
            verdict.Check(StatusMismatch(window, *status).empty(),
                          at + StatusMismatch(window, *status));
    }
    window.RequestClose();
    CheckNoHandles(verdict, api, "after closing");
}

}  // namespace kerneltest
