#include "servodiag/frmMain.h"

#include <algorithm>
#include <vector>

#include "hidlink/DeviceIdentity.h"
#include "servodiag/SettingsReport.h"
#include "servodiag/StatusChart.h"
#include "servodiag/StatusReport.h"

namespace servodiag {

namespace {

void SetTextIfAny(ui::Window& window, const char* control, const std::optional<std::string>& text) {
    if (text)
        window.SetText(control, *text);
}

// Every control that shows a value the device sent.
const char* const kValueControls[] = {
    "lblManuf",     "lblProduct",  "lblVersion", "lblSerialNumber", "USBerr",      "SPIerr",
    "amp_fw_ver",   "amp_bl_ver",  "amp_sn",     "motor_model",     "sfd_pos",     "Degrees",
    "bus_v",        "estop",       "Homing",     "TDamp",           "TInertia",    "TFriction",
    "Slimit",       "Stiff",       "Damp",       "Spring",          "MotorFilter", "InputFilter",
    "OverallScale", "DampingScale"};

}  // namespace

frmMain::frmMain(ui::Window& window, hidlink::ApiDeclarations& api,
                 hidlink::DeviceSelector selector)
    : window_(window), api_(api), chooser_(window, kProfile, std::move(selector), true) {}

void frmMain::Form_Load() {
    title_ = window_.Title();
    // On screen and drawn before the search, which takes a third of a second with the identity
    // pauses: shown alone, the window would only be drawn once the load returns.
    window_.Show();
    window_.ProcessPaintEvents();
    Search();
    if (!link_.DeviceDetected) {
        // The identity labels say nothing rather than what the window was drawn with.
        hidlink::RefreshDeviceInfo(link_, api_, kProfile, window_);
    }
    window_.SetEnabled("Timer", true);
}

void frmMain::Search() {
    ticksSinceSearch_ = 0;
    chooser_.Survey(link_, api_);
    link_.DeviceDetected = link_.Target && hidlink::FindTheHid(link_, api_, kProfile);
    if (!link_.DeviceDetected) {
        // A device that stopped answering stays "not responding" until it is found again.
        if (link_.LastSearch == hidlink::SearchOutcome::AccessRefused) {
            ShowState(DeviceState::AccessRefused);
        } else if (link_.LastSearch == hidlink::SearchOutcome::InUse) {
            ShowState(DeviceState::InUse);
        } else if (state_ != DeviceState::NotResponding) {
            ShowState(DeviceState::NoDevice);
        }
        return;
    }
    failedReads_ = 0;
    hidlink::RefreshDeviceInfo(link_, api_, kProfile, window_);
    ReadSettings();
    ShowValuesStale(false);
    ShowState(DeviceState::Live);
}

// The handles are let go at once: a device that comes back is a new device to the platform.
void frmMain::LoseDevice() {
    hidlink::CloseDevice(link_, api_);
    link_.DeviceDetected = false;
    ticksSinceSearch_ = 0;
    ShowValuesStale(true);
    ShowState(DeviceState::NotResponding);
}

void frmMain::ShowState(DeviceState state) {
    if (stateShown_ && state == state_)
        return;
    stateShown_ = true;
    state_ = state;
    const DeviceStateText text = TextOf(state);
    window_.SetTitle(title_ + text.titleSuffix);
    window_.SetText("lblDeviceState", text.line);
    window_.SetToolTip("lblDeviceState", text.detail);
}

void frmMain::ShowValuesStale(bool stale) {
    for (const char* control : kValueControls)
        window_.SetEnabled(control, !stale);
    // A bright signal colour reads as a live "OK" or "STOP" whatever its text: a stale one gives
    // way to the window's grey, as the disabled values around it.
    for (const auto& [control, color] : signalColors_)
        window_.SetBackColor(control, stale ? ui::kSystemButtonFace : color);
}

void frmMain::ShowSignalColor(const char* control, const std::optional<ui::ColorRef>& color) {
    if (!color)
        return;
    signalColors_[control] = *color;
    window_.SetBackColor(control, *color);
}

void frmMain::Chosen(const std::string& control, int index) {
    if (control != hidlink::kChooserControl || !chooser_.Choose(link_, index))
        return;
    hidlink::CloseDevice(link_, api_);
    link_.DeviceDetected = false;
    Search();
}

void frmMain::Click(const std::string& control) {
    if (control == "Command1")
        Command1_Click();
    if (control == "Go")
        Go_Click();
}

void frmMain::Timer_Timer() {
    if (link_.DeviceDetected) {
        Command1_Click();
        return;
    }
    // A recording shows the gap: every tick without a device is a tick without an answer.
    Told(nullptr);
    if (++ticksSinceSearch_ >= kTicksPerSearch)
        Search();
}

void frmMain::Form_Unload() {
    // First, so that no tick reaches a closed device.
    window_.SetEnabled("Timer", false);
    hidlink::CloseDevice(link_, api_);
}

void frmMain::Command1_Click() {
    if (!link_.DeviceDetected) {
        Told(nullptr);
        return;
    }

    // The transfer fills FeatureReportByteLength bytes, which a device may declare longer than
    // the status report; the buffer grows to hold it and only the status report is decoded.
    const std::uint32_t length = link_.Capabilities.FeatureReportByteLength;
    std::vector<std::uint8_t> buffer(std::max<std::size_t>(kStatusBufferSize, length), 0);
    buffer[0] = kStatusReportId;
    link_.LastResult = api_.HidD_GetFeature(link_.OverlappedHandle, buffer.data(), length);
    Told(link_.LastResult != 0 ? buffer.data() : nullptr);
    if (link_.LastResult == 0) {
        if (++failedReads_ >= kFailedReadsBeforeLost)
            LoseDevice();
        return;
    }
    failedReads_ = 0;

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
    ShowSignalColor("bus_v", view.bus_vColor);
    SetTextIfAny(window_, "estop", view.estop);
    ShowSignalColor("estop", view.estopColor);
}

void frmMain::Told(const std::uint8_t* report) {
    if (statusListener_)
        statusListener_(report);
    constexpr double kSecondsPerExchange = 0.2;  // the timer's interval
    const double seconds = static_cast<double>(exchanges_++) * kSecondsPerExchange;
    if (report == nullptr) {
        window_.AddChartSample(kChartControl, StatusChartSample(seconds, nullptr));
        return;
    }
    const StatusValues values = DecodeStatusValues(report);
    window_.AddChartSample(kChartControl, StatusChartSample(seconds, &values));
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
