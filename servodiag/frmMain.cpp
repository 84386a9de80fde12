#include "servodiag/frmMain.h"

#include <algorithm>
#include <vector>

#include "hidlink/DeviceIdentity.h"
#include "servodiag/SettingsReport.h"
#include "servodiag/StatusReport.h"

namespace servodiag {

namespace {

const hidlink::DeviceProfile kProfile{hidlink::ServodiagAccepts, hidlink::NoDeviceRule::BlankAll,
                                      100};

void SetTextIfAny(ui::Window& window, const char* control, const std::optional<std::string>& text) {
    if (text)
        window.SetText(control, *text);
}

void SetColorIfAny(ui::Window& window, const char* control,
                   const std::optional<ui::ColorRef>& color) {
    if (color)
        window.SetBackColor(control, *color);
}

}  // namespace

frmMain::frmMain(ui::Window& window, hidlink::ApiDeclarations& api) : window_(window), api_(api) {}

void frmMain::Form_Load() {
    // On screen and drawn before the search, which takes a third of a second with the identity
    // pauses: shown alone, the window would only be drawn once the load returns.
    window_.Show();
    window_.ProcessPaintEvents();
    link_.DeviceDetected = hidlink::FindTheHid(link_, api_, kProfile);
    hidlink::RefreshDeviceInfo(link_, api_, kProfile, window_);
    if (link_.DeviceDetected)
        ReadSettings();
    window_.SetEnabled("Timer", true);
}

void frmMain::Click(const std::string& control) {
    if (control == "Command1")
        Command1_Click();
    if (control == "Go")
        Go_Click();
}

void frmMain::Timer_Timer() {
    Command1_Click();
}

void frmMain::Form_Unload() {
    // First, so that no tick reaches a closed device.
    window_.SetEnabled("Timer", false);
    hidlink::CloseDevice(link_, api_);
}

void frmMain::Command1_Click() {
    if (!link_.DeviceDetected) {
        if (statusListener_)
            statusListener_(nullptr);
        return;
    }

    // The transfer fills FeatureReportByteLength bytes, which a device may declare longer than
    // the status report; the buffer grows to hold it and only the status report is decoded.
    const std::uint32_t length = link_.Capabilities.FeatureReportByteLength;
    std::vector<std::uint8_t> buffer(std::max<std::size_t>(kStatusBufferSize, length), 0);
    buffer[0] = kStatusReportId;
    link_.LastResult = api_.HidD_GetFeature(link_.OverlappedHandle, buffer.data(), length);
    if (statusListener_)
        statusListener_(link_.LastResult != 0 ? buffer.data() : nullptr);
    if (link_.LastResult == 0)
        return;

    const StatusView view = DecodeStatusReport(buffer.data(), window_.DecimalSeparator());
    SetTextIfAny(window_, "USBerr", view.USBerr);
    SetTextIfAny(window_, "SPIerr", view.SPIerr);
    SetTextIfAny(window_, "amp_fw_ver", view.amp_fw_ver);
    SetTextIfAny(window_, "amp_bl_ver", view.amp_bl_ver);
    SetTextIfAny(window_, "amp_sn", view.amp_sn);
    SetTextIfAny(window_, "motor_model", view.motor_model);
    SetTextIfAny(window_, "sfd_pos", view.sfd_pos);
    SetTextIfAny(window_, "Degrees", view.Degrees);
    SetTextIfAny(window_, "bus_v", view.bus_v);
    SetColorIfAny(window_, "bus_v", view.bus_vColor);
    SetTextIfAny(window_, "estop", view.estop);
    SetColorIfAny(window_, "estop", view.estopColor);
}

// Nothing is ever written to the device from this program.
void frmMain::Go_Click() {}

void frmMain::ReadSettings() {
    // A device that declares a report shorter than the settings gets a zero-padded buffer: the
    // transfer still uses the declared length, and the settings it did not send show as 0, the
    // same way the status column treats a short status report. Its answer is shown rather than
    // discarded because a successful read is the device's own account of its settings.
    const std::uint32_t length = link_.Capabilities.FeatureReportByteLength;
    std::vector<std::uint8_t> buffer(std::max<std::size_t>(kSettingsDecodedBytes, length), 0);
    buffer[0] = kSettingsReportId;
    link_.LastResult = api_.HidD_GetFeature(link_.DeviceHandle, buffer.data(), length);
    if (link_.LastResult != 0) {
        const SettingsView view = DecodeSettingsReport(buffer.data());
        window_.SetText("Slimit", view.Slimit);
        window_.SetText("Homing", view.Homing);
        window_.SetText("Stiff", view.Stiff);
        window_.SetText("Damp", view.Damp);
        window_.SetText("TDamp", view.TDamp);
        window_.SetText("DampingScale", view.DampingScale);
        window_.SetText("OverallScale", view.OverallScale);
        window_.SetText("TInertia", view.TInertia);
        window_.SetText("TFriction", view.TFriction);
        window_.SetText("MotorFilter", view.MotorFilter);
        window_.SetText("InputFilter", view.InputFilter);
        window_.SetText("Spring", view.Spring);
    }
    // The device was found, so its details are worth reading even when the settings were not.
    window_.SetEnabled("Frame1", true);
}

}  // namespace servodiag
