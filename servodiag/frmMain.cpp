#include "servodiag/frmMain.h"

#include <algorithm>
#include <vector>

#include "hidlink/DeviceIdentity.h"
#include "servodiag/SettingsReport.h"
#include "servodiag/StatusChart.h"
#include "servodiag/StatusReport.h"

namespace servodiag {

namespace {

// A device as it is known again after it left and came back: its port and serial number.
std::string AnsweringDevice(const hidlink::DeviceTarget& target) {
    return target.port + "\n" + target.serial + "\n" + (target.port.empty() ? target.path : "");
}

void SetTextIfAny(ui::Window& window, const char* control, const std::optional<std::string>& text) {
    if (text)
        window.SetText(control, *text);
}

// The controls that show a value the device sent: its identity, its status, its settings.
const char* const kIdentityLabels[] = {"lblManuf", "lblProduct", "lblVersion", "lblSerialNumber"};
const char* const kStatusControls[] = {"USBerr",  "SPIerr",  "amp_fw_ver", "amp_bl_ver",  "amp_sn",
                                       "sfd_pos", "Degrees", "bus_v",      "motor_model", "estop"};
const char* const kSettingsControls[] = {
    "Homing", "TDamp",  "TInertia",    "TFriction",   "Slimit",       "Stiff",
    "Damp",   "Spring", "MotorFilter", "InputFilter", "OverallScale", "DampingScale"};

void ClearText(ui::Window& window, const char* control) {
    if (!window.Text(control).empty())
        window.SetText(control, "");
}

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
    chooser_.RefreshDevices(link_, api_);
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
    // A device that answered before and stopped is not responding, not one without a status
    // report: what it showed is kept until another device is opened.
    statusSinceOpened_ = link_.Target && answeredBy_ == AnsweringDevice(*link_.Target);
    deviceEverFound_ = true;
    ClearDeviceValues();
    hidlink::RefreshDeviceInfo(link_, api_, kProfile, window_);
    chartDevice_ =
        ChartDeviceName(window_.Text("lblSerialNumber"),
                        link_.Target ? link_.Target->port : std::string(), link_.DevicePath);
    ReadSettings();
    ShowState(DeviceState::Live);
    ShowValuesStale(false);
}

// The handles are let go at once: a device that comes back is a new device to the platform.
void frmMain::LoseDevice() {
    hidlink::CloseDevice(link_, api_);
    link_.DeviceDetected = false;
    ticksSinceSearch_ = 0;
    ShowValuesStale(true);
    ShowState(DeviceState::NotResponding);
}

void frmMain::StatusReadFailed() {
    if (state_ == DeviceState::NoStatus) {
        if (!StillThere())
            LoseDevice();
        return;
    }
    if (++failedReads_ < kFailedReadsBeforeLost)
        return;
    // A device that answered before and stopped has likely left; one that never answered and
    // is still there simply has no status to give, and letting it go would only find it again.
    if (!statusSinceOpened_ && StillThere()) {
        ShowState(DeviceState::NoStatus);
        ShowValuesStale(false);
        return;
    }
    LoseDevice();
}

bool frmMain::StillThere() {
    hidlink::HiddAttributes attributes;
    attributes.Size = hidlink::kHiddAttributesSize;
    return api_.HidD_GetAttributes(link_.DeviceHandle, &attributes) != 0;
}

void frmMain::ShowState(DeviceState state) {
    const bool reportsSettings = settingsAnswered_ || !link_.DeviceDetected;
    if (stateShown_ && state == state_ && reportsSettings == stateReportsSettings_)
        return;
    stateShown_ = true;
    state_ = state;
    stateReportsSettings_ = reportsSettings;
    const DeviceStateText text = TextOf(state, reportsSettings);
    window_.SetTitle(title_ + text.titleSuffix);
    window_.SetText("lblDeviceState", text.line);
    window_.SetToolTip("lblDeviceState", text.detail);
}

void frmMain::ClearDeviceValues() {
    for (const char* control : kStatusControls)
        ClearText(window_, control);
    for (const char* control : kSettingsControls)
        ClearText(window_, control);
    for (const auto& [control, color] : signalColors_)
        window_.SetBackColor(control, ui::kSystemWindowBackground);
    signalColors_.clear();
    settingsAnswered_ = false;
    if (changeListener_)
        changeListener_();
}

void frmMain::ShowValuesStale(bool stale) {
    for (const char* control : kIdentityLabels)
        window_.SetEnabled(control, !stale);
    for (const char* control : kStatusControls)
        window_.SetEnabled(control, !stale && state_ != DeviceState::NoStatus);
    for (const char* control : kSettingsControls)
        window_.SetEnabled(control, !stale && settingsAnswered_);
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
    // Blank even when the chosen device cannot be opened: what is shown was the other device's.
    ClearDeviceValues();
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
    RecordStatusExchange(nullptr);
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
        RecordStatusExchange(nullptr);
        return;
    }
    // A device that reports no status is asked again once a second, not on every tick.
    if (state_ == DeviceState::NoStatus && ++ticksSinceStatusAsked_ < kTicksPerSearch) {
        RecordStatusExchange(nullptr);
        return;
    }
    ticksSinceStatusAsked_ = 0;

    // The transfer fills FeatureReportByteLength bytes, which a device may declare longer than
    // the status report; the buffer grows to hold it and only the status report is decoded.
    const std::uint32_t length = link_.Capabilities.FeatureReportByteLength;
    std::vector<std::uint8_t> buffer(std::max<std::size_t>(kStatusBufferSize, length), 0);
    buffer[0] = kStatusReportId;
    link_.LastResult = api_.HidD_GetFeature(link_.OverlappedHandle, buffer.data(), length);
    if (link_.LastResult == 0) {
        // First, so that whoever is told of the tick knows already what became of the device.
        StatusReadFailed();
        RecordStatusExchange(nullptr);
        return;
    }
    RecordStatusExchange(buffer.data());
    failedReads_ = 0;
    statusSinceOpened_ = true;
    if (link_.Target)
        answeredBy_ = AnsweringDevice(*link_.Target);
    if (state_ == DeviceState::NoStatus) {
        ShowState(DeviceState::Live);
        ShowValuesStale(false);
    }

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

void frmMain::RecordStatusExchange(const std::uint8_t* report) {
    if (statusListener_)
        statusListener_(report);
    const ChartTime now = chartClock_.Now();
    const std::string device = link_.DeviceDetected ? chartDevice_ : std::string();
    if (report == nullptr) {
        window_.AddChartSample(kChartControl, StatusChartSample(now, nullptr, device));
        return;
    }
    const StatusValues values = DecodeStatusValues(report);
    window_.AddChartSample(kChartControl, StatusChartSample(now, &values, device));
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
    settingsAnswered_ = link_.LastResult != 0;
    if (settingsAnswered_) {
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
    // The device was found, so its identity is worth reading even when the settings were not.
    window_.SetEnabled("Frame1", true);
}

}  // namespace servodiag
