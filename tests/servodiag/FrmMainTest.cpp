#include "servodiag/frmMain.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "hidlink/DeviceChooser.h"
#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"
#include "servodiag/Layout.h"
#include "servodiag/StatusChart.h"
#include "simdevices/Amplifier.h"
#include "simdevices/Bystanders.h"
#include "simdevices/WheelController.h"
#include "tests/servodiag/ScriptedWheel.h"
#include "window/chart/ChartGeometry.h"
#include "window/headless/HeadlessWindow.h"

namespace servodiag {
namespace {

using testing::ScriptedWheel;

const char* const kSettingsFields[] = {
    "Homing", "TDamp",  "TInertia",    "TFriction",   "Slimit",       "Stiff",
    "Damp",   "Spring", "MotorFilter", "InputFilter", "OverallScale", "DampingScale"};
const char* const kStatusControls[] = {"USBerr", "SPIerr",      "amp_fw_ver", "amp_bl_ver",
                                       "amp_sn", "motor_model", "sfd_pos",    "Degrees",
                                       "bus_v",  "estop"};

class FrmMainTest : public ::testing::Test {
  protected:
    // Two HID interfaces that are not the wheel enumerate before it, as on a real machine.
    void Attach(std::uint16_t reportLength = 64) {
        bus.AddDevice(simdevices::MakeKeyboard());
        bus.AddDevice(simdevices::MakeHeadset());
        wheel = std::make_shared<ScriptedWheel>(reportLength);
        bus.AddDevice(wheel);
    }

    std::vector<sim::Call> FeatureReads() const { return bus.CallsNamed("HidD_GetFeature"); }

    // Window events since `from`, other than the tick that caused them.
    std::vector<ui::WindowEvent> ChangesSince(std::size_t from) const {
        std::vector<ui::WindowEvent> out;
        for (std::size_t i = from; i < window.Events().size(); ++i) {
            if (window.Events()[i].what != "timer-tick")
                out.push_back(window.Events()[i]);
        }
        return out;
    }

    // Each control's text, named with it so that a failure says which control showed what.
    void ExpectTexts(const std::vector<std::pair<std::string, std::string>>& expected) const {
        for (const auto& [control, text] : expected)
            EXPECT_EQ(window.Text(control), text) << control;
    }

    void Close() {
        ASSERT_TRUE(window.RequestClose());
        EXPECT_TRUE(bus.HandleProblems().empty()) << ::testing::PrintToString(bus.HandleProblems());
    }

    sim::VirtualClock clock;
    sim::SimulatedBus bus{clock};
    ui::HeadlessWindow window{ServodiagLayout()};
    frmMain form{window, bus};
    std::shared_ptr<ScriptedWheel> wheel;
};

TEST_F(FrmMainTest, LoadShowsTheWindowThenReadsIdentityAndSettingsThenStartsTheTimer) {
    Attach();
    bool shownWhenSearchStarted = false;
    bool paintedWhenSearchStarted = false;
    wheel->onSearchStarts = [&] {
        shownWhenSearchStarted = window.Shown();
        paintedWhenSearchStarted = window.PaintEventsCount() > 0;
    };
    bool timerRanDuringSettingsRead = true;
    wheel->onGetFeature = [&] { timerRanDuringSettingsRead = window.TimerEnabled(); };

    window.Load(form);

    EXPECT_TRUE(shownWhenSearchStarted);
    EXPECT_TRUE(paintedWhenSearchStarted);
    EXPECT_FALSE(timerRanDuringSettingsRead);
    // From the end of the search that opened the device (the listing before it reads the
    // strings on its own, without pauses).
    std::vector<std::string> sequence;
    for (const sim::Call& c : bus.Calls()) {
        if (c.name == "SetupDiDestroyDeviceInfoList")
            sequence.clear();
        if (c.name == "Sleep")
            sequence.push_back("Sleep " + std::to_string(c.length));
        if (c.name.rfind("HidD_Get", 0) == 0 && c.name != "HidD_GetHidGuid" &&
            c.name != "HidD_GetAttributes" && c.name != "HidD_GetPreparsedData") {
            sequence.push_back(c.name);
        }
    }
    EXPECT_EQ(sequence,
              (std::vector<std::string>{
                  "HidD_GetManufacturerString", "Sleep 100", "HidD_GetProductString", "Sleep 100",
                  "HidD_GetSerialNumberString", "Sleep 100", "HidD_GetFeature"}));
    const sim::Call settingsRead = FeatureReads().at(0);
    EXPECT_EQ(settingsRead.handle, form.Link().DeviceHandle);
    EXPECT_EQ(settingsRead.length, 64u);
    ASSERT_EQ(wheel->requests.size(), 1u);
    EXPECT_EQ(wheel->requests[0].reportId, 8);

    EXPECT_EQ(window.Text("lblManuf"), " Drivanta");
    EXPECT_EQ(window.Text("lblVersion"), " 1.A");
    EXPECT_TRUE(window.Control("Frame1").enabled);
    const ui::WindowEvent& last = window.Events().back();
    EXPECT_EQ(last.what + " " + last.control + " " + last.value, "enabled Timer true");
    EXPECT_EQ(window.Events().front().what, "show");
    Close();
}

TEST_F(FrmMainTest, ShowsTheSettingsTheDeviceSent) {
    Attach();
    wheel->settings[17] = 0x1E;  // centre offset -1250
    wheel->settings[18] = 0xFB;
    wheel->settings[22] = 230;
    wheel->settings[26] = 0xF4;  // input filter 500
    wheel->settings[27] = 0x01;

    window.Load(form);

    EXPECT_EQ(window.Text("Homing"), "-1250");
    EXPECT_EQ(window.Text("OverallScale"), "90");
    EXPECT_EQ(window.Text("InputFilter"), "500");
    EXPECT_EQ(window.Text("Stiff"), "0");
    Close();
}

TEST_F(FrmMainTest, ATickReadsTheStatusReportOnTheOverlappedHandle) {
    Attach();
    wheel->status[5] = 0x10;  // a quarter turn
    wheel->status[6] = 0x27;
    wheel->status[47] = 2;
    wheel->status[45] = 0xA0;
    window.Load(form);

    window.Tick();

    const sim::Call statusRead = FeatureReads().back();
    EXPECT_EQ(statusRead.handle, form.Link().OverlappedHandle);
    EXPECT_NE(statusRead.handle, form.Link().DeviceHandle);
    EXPECT_EQ(statusRead.length, 64u);
    EXPECT_EQ(wheel->requests.back().reportId, 17);
    ExpectTexts({{"sfd_pos", "10000"}, {"Degrees", "90"}, {"USBerr", "2"}, {"estop", "STOP"}});
    EXPECT_EQ(window.Control("estop").backColor, ui::kRed);
    Close();
}

TEST_F(FrmMainTest, ATickWritesTheStatusControlsInOrder) {
    Attach();
    wheel->status[45] = 0x80;
    window.Load(form);
    const std::size_t before = window.Events().size();

    window.Tick();

    std::vector<std::string> order;
    for (const ui::WindowEvent& e : ChangesSince(before))
        order.push_back(e.what + " " + e.control);
    EXPECT_EQ(order, (std::vector<std::string>{
                         "text USBerr", "text SPIerr", "text amp_fw_ver", "text amp_bl_ver",
                         "text amp_sn", "text motor_model", "text sfd_pos", "text Degrees",
                         "text bus_v", "backcolor bus_v", "text estop", "backcolor estop"}));
    Close();
}

TEST_F(FrmMainTest, AFailedStatusReadChangesNothing) {
    Attach();
    wheel->status[47] = 1;
    window.Load(form);
    window.Tick();
    wheel->status[47] = 9;
    wheel->status[49] = 0x01;
    bus.FailNext("HidD_GetFeature");
    const std::size_t before = window.Events().size();

    window.Tick();

    EXPECT_TRUE(ChangesSince(before).empty());
    EXPECT_EQ(window.Text("USBerr"), "1");
    EXPECT_EQ(form.Link().LastResult, 0);
    Close();
}

TEST_F(FrmMainTest, WhatTheReportNoLongerSaysKeepsItsLastDisplay) {
    Attach();
    wheel->status[5] = 0x10;
    wheel->status[6] = 0x27;
    wheel->status[45] = 0xA0;  // STOP on red
    window.Load(form);
    window.Tick();

    wheel->status[46] = 0x01;  // amplifier details unavailable
    wheel->status[45] = 0x00;  // E-STOP not monitored
    wheel->status[47] = 5;
    window.Tick();

    ExpectTexts({{"sfd_pos", ""},
                 {"amp_fw_ver", ""},
                 {"Degrees", "90"},
                 {"USBerr", "5"},
                 {"estop", "bypassed"}});
    EXPECT_EQ(window.Control("estop").backColor, ui::kRed);
    Close();
}

TEST_F(FrmMainTest, WithoutADeviceTheWindowSaysSoAndSearchesAgainEverySecond) {
    bus.AddDevice(simdevices::MakeKeyboard());
    bus.AddDevice(simdevices::MakeHeadset());

    window.Load(form);

    EXPECT_EQ(window.Title(), "Drivanta v2 diagnostics \u2014 no device");
    EXPECT_EQ(window.Text("lblDeviceState"), "No device found. Looking again every second.");
    for (const char* label : {"lblManuf", "lblProduct", "lblSerialNumber", "lblVersion"}) {
        EXPECT_EQ(window.Text(label), "") << label;
    }
    EXPECT_FALSE(window.Control("Frame1").enabled);
    for (const char* field : kSettingsFields)
        EXPECT_EQ(window.Text(field), "") << field;
    EXPECT_TRUE(window.TimerEnabled());

    // A search every fifth tick (one second), and nothing else: no report is ever asked for.
    std::vector<std::size_t> searchesAfterTick;
    for (int i = 0; i < 10; ++i) {
        clock.Advance(200);
        window.Tick();
        searchesAfterTick.push_back(bus.CallsNamed("SetupDiGetClassDevsA").size());
    }
    EXPECT_EQ(searchesAfterTick, (std::vector<std::size_t>{1, 1, 1, 1, 2, 2, 2, 2, 2, 3}));
    EXPECT_TRUE(FeatureReads().empty());
    EXPECT_EQ(window.EventsFor("lblDeviceState").size(), 2u) << "said once, not at every search";
    for (const char* control : kStatusControls)
        EXPECT_EQ(window.Text(control), "") << control;
    bus.ClearCalls();
    Close();
    EXPECT_TRUE(bus.CallsNamed("CloseHandle").empty());
}

TEST_F(FrmMainTest, ADeviceThatAppearsIsReadAsAtStartUp) {
    bus.AddDevice(simdevices::MakeKeyboard());
    wheel = std::make_shared<ScriptedWheel>();
    wheel->settings[28] = 33;  // centering spring
    wheel->status[47] = 4;
    wheel->Unplug();
    bus.AddDevice(wheel);
    window.Load(form);
    ASSERT_EQ(form.State(), DeviceState::NoDevice);

    wheel->Replug();
    for (int i = 0; i < frmMain::kTicksPerSearch; ++i)
        window.Tick();

    EXPECT_EQ(form.State(), DeviceState::Live);
    EXPECT_EQ(window.Title(), "Drivanta v2 diagnostics");
    EXPECT_EQ(window.Text("lblDeviceState"), "Device connected");
    EXPECT_EQ(window.Text("lblManuf"), " Drivanta");
    EXPECT_EQ(window.Text("lblSerialNumber"), " S1");
    EXPECT_EQ(window.Text("Spring"), "33");
    EXPECT_TRUE(window.Control("Frame1").enabled);
    EXPECT_EQ(window.Text("USBerr"), "") << "the status comes with the next tick";
    window.Tick();
    EXPECT_EQ(window.Text("USBerr"), "4");
    Close();
}

// A device found but not opened is named with the cause: no access for this user (the udev rule
// missing), or another program holding it; once that is mended it is found at the next search.
struct CannotOpenCase {
    bool heldElsewhere;
    DeviceState state;
    const char* title;
    const char* text;
    const char* hint;  // found in the tool tip
};

class CannotOpenTest : public FrmMainTest, public ::testing::WithParamInterface<CannotOpenCase> {};

TEST_P(CannotOpenTest, NamesTheLikelyCauseUntilMended) {
    const CannotOpenCase& c = GetParam();
    Attach();
    wheel->MutableDescription().openable = false;
    wheel->MutableDescription().heldElsewhere = c.heldElsewhere;
    window.Load(form);
    EXPECT_EQ(form.State(), c.state);
    EXPECT_EQ(window.Title(), c.title);
    EXPECT_EQ(window.Text("lblDeviceState"), c.text);
    EXPECT_NE(window.Control("lblDeviceState").toolTip.find(c.hint), std::string::npos);

    wheel->MutableDescription().openable = true;
    for (int i = 0; i < frmMain::kTicksPerSearch; ++i)
        window.Tick();
    EXPECT_EQ(form.State(), DeviceState::Live);
    EXPECT_EQ(window.Control("lblDeviceState").toolTip, "");
    Close();
}

INSTANTIATE_TEST_SUITE_P(
    Causes, CannotOpenTest,
    ::testing::Values(CannotOpenCase{false, DeviceState::AccessRefused,
                                     "Drivanta v2 diagnostics \u2014 access refused",
                                     "Device access refused: install the udev rule.",
                                     "Linux: device access without root"},
                      CannotOpenCase{
                          true, DeviceState::InUse, "Drivanta v2 diagnostics \u2014 in use",
                          "Device in use by another program. Looking again every second.",
                          "Close that program"}),
    [](const auto& info) { return info.param.heldElsewhere ? "HeldElsewhere" : "NotPermitted"; });

// Which status reads fail (1) and succeed (0), tick by tick, and where the window ends up.
struct FailureCase {
    const char* name;
    std::vector<int> failures;
    DeviceState expected;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.name;
}

class StatusFailureTest : public FrmMainTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(StatusFailureTest, OnlyReadsFailingInARowMakeTheDeviceNotResponding) {
    Attach();
    window.Load(form);
    for (int fails : GetParam().failures) {
        if (fails)
            bus.FailNext("HidD_GetFeature");
        window.Tick();
    }
    EXPECT_EQ(form.State(), GetParam().expected);
    Close();
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, StatusFailureTest,
    ::testing::Values(FailureCase{"OneFailure", {1}, DeviceState::Live},
                      FailureCase{"TwoInARow", {0, 1, 1}, DeviceState::Live},
                      FailureCase{"ThreeInARow", {0, 1, 1, 1}, DeviceState::NotResponding},
                      FailureCase{
                          "ASuccessStartsTheCountAgain", {1, 1, 0, 1, 1, 0}, DeviceState::Live},
                      // Still on the bus and never answered: a device without a status report.
                      FailureCase{"ThreeAtLoad", {1, 1, 1}, DeviceState::NoStatus}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FrmMainTest, AnUnpluggedDeviceGreysItsLastValuesAndIsReadAgainWhenBack) {
    Attach();
    wheel->status[47] = 6;
    wheel->status[45] = 0x80;  // E-STOP monitored, not active: a green "OK"
    window.Load(form);
    window.Tick();
    const hidlink::Handle device = form.Link().DeviceHandle;
    const hidlink::Handle overlapped = form.Link().OverlappedHandle;
    const std::optional<ui::ColorRef> estopLive = window.Control("estop").backColor;
    ASSERT_EQ(estopLive, ui::kGreen);

    wheel->Unplug();
    bus.ClearCalls();
    for (int i = 0; i < frmMain::kFailedReadsBeforeLost; ++i)
        window.Tick();

    EXPECT_EQ(window.Title(), "Drivanta v2 diagnostics \u2014 not responding");
    EXPECT_EQ(window.Text("lblDeviceState"),
              "Device not responding. Looking for it again every second.");
    EXPECT_EQ(window.Text("USBerr"), "6") << "the last value stays, greyed";
    for (const char* control : {"USBerr", "estop", "Degrees", "lblSerialNumber", "Spring"})
        EXPECT_FALSE(window.Control(control).enabled) << control;
    EXPECT_EQ(window.Control("estop").backColor, ui::kSystemButtonFace) << "no live OK";
    const std::vector<sim::Call> closes = bus.CallsNamed("CloseHandle");
    ASSERT_EQ(closes.size(), 2u) << "both dead handles let go at once";
    EXPECT_EQ(closes[0].handle, device);
    EXPECT_EQ(closes[1].handle, overlapped);

    // Still away after a search: nothing changes, nothing is read.
    bus.ClearCalls();
    for (int i = 0; i < frmMain::kTicksPerSearch; ++i)
        window.Tick();
    EXPECT_EQ(bus.CallsNamed("SetupDiGetClassDevsA").size(), 1u);
    EXPECT_TRUE(FeatureReads().empty());
    EXPECT_EQ(form.State(), DeviceState::NotResponding);

    wheel->Replug();
    wheel->status[47] = 7;
    for (int i = 0; i < frmMain::kTicksPerSearch + 1; ++i)
        window.Tick();

    EXPECT_EQ(window.Title(), "Drivanta v2 diagnostics");
    EXPECT_EQ(window.Text("USBerr"), "7");
    for (const char* control : {"USBerr", "estop", "Degrees", "lblSerialNumber", "Spring"})
        EXPECT_TRUE(window.Control(control).enabled) << control;
    EXPECT_EQ(window.Control("estop").backColor, estopLive);
    ASSERT_EQ(wheel->requests.size(), 4u) << "settings, status, then settings and status again";
    EXPECT_EQ(wheel->requests[2].reportId, 8);
    EXPECT_EQ(wheel->requests[3].reportId, 17);
    EXPECT_NE(form.Link().DeviceHandle, device) << "new handles for the device that came back";
    Close();
}

TEST_F(FrmMainTest, AFailedSettingsReadLeavesTheFieldsEmptyAndStillEnablesTheDetails) {
    Attach();
    bus.FailNext("HidD_GetFeature");

    window.Load(form);

    for (const char* field : kSettingsFields) {
        EXPECT_EQ(window.Text(field), "") << field;
        for (const ui::WindowEvent& e : window.EventsFor(field))
            EXPECT_NE(e.what, "text") << field;
    }
    EXPECT_TRUE(window.Control("Frame1").enabled);
    EXPECT_TRUE(window.TimerEnabled());
    Close();
}

TEST_F(FrmMainTest, UnloadStopsTheTimerBeforeClosingEachHandleOnce) {
    Attach();
    window.Load(form);
    window.Tick();
    int closesWhileTimerRan = 0;
    wheel->onHandleClosed = [&] { closesWhileTimerRan += window.TimerEnabled() ? 1 : 0; };
    const hidlink::Handle device = form.Link().DeviceHandle;
    const hidlink::Handle overlapped = form.Link().OverlappedHandle;
    const std::size_t readsBefore = FeatureReads().size();
    bus.ClearCalls();

    Close();
    window.Tick();

    EXPECT_EQ(closesWhileTimerRan, 0);
    const std::vector<sim::Call> closes = bus.CallsNamed("CloseHandle");
    ASSERT_EQ(closes.size(), 2u);
    EXPECT_EQ(closes[0].handle, device);
    EXPECT_EQ(closes[1].handle, overlapped);
    EXPECT_EQ(FeatureReads().size(), 0u);
    EXPECT_GT(readsBefore, 0u);
}

// A device may declare feature reports longer than the status report: the transfer takes the
// declared length without writing past the buffer (the sanitizer build checks the bounds).
TEST_F(FrmMainTest, ALongReportIsReadWhole) {
    Attach(200);
    wheel->status[47] = 7;
    wheel->status[150] = 0xFF;
    wheel->settings[28] = 33;
    window.Load(form);

    window.Tick();

    EXPECT_EQ(FeatureReads().back().length, 200u);
    EXPECT_EQ(window.Text("USBerr"), "7");
    EXPECT_EQ(window.Text("Spring"), "33");
    Close();
}

// A report shorter than the fields read leaves the missing fields at zero.
TEST_F(FrmMainTest, AShortReportShowsZeroForWhatItDoesNotHold) {
    Attach(20);
    for (std::size_t i = 1; i < 20; ++i)
        wheel->status[i] = wheel->settings[i] = 0x11;
    window.Load(form);

    window.Tick();

    EXPECT_EQ(FeatureReads().front().length, 20u);
    EXPECT_EQ(window.Text("Slimit"), std::to_string(0x1111));
    EXPECT_EQ(window.Text("Stiff"), "17");
    EXPECT_EQ(window.Text("Damp"), "0");
    EXPECT_EQ(window.Text("InputFilter"), "0");
    EXPECT_EQ(window.Text("Spring"), "0");
    EXPECT_EQ(window.Text("sfd_pos"), std::to_string(0x11111111));
    EXPECT_EQ(window.Text("amp_bl_ver"), "0.0");
    EXPECT_EQ(window.Text("USBerr"), "0");
    EXPECT_EQ(window.Text("estop"), "bypassed");
    Close();
}

// Beside an amplifier, two wheel controllers: the first controller is shown, the others are
// offered, and a choice moves every status read to the chosen device.
TEST_F(FrmMainTest, SeveralDevicesShowTheFirstControllerAndAChoiceMovesTheReads) {
    simdevices::AmplifierOptions amplifierOptions;
    amplifierOptions.port = "1-1";
    const auto amplifier = std::make_shared<simdevices::Amplifier>(amplifierOptions);
    std::shared_ptr<simdevices::WheelController> controllers[2];
    for (int i = 0; i < 2; ++i) {
        simdevices::WheelControllerOptions options;
        options.productId = 0x1020;
        options.port = "1-" + std::to_string(i + 2);
        options.serialNumber = i == 0 ? u"W-A" : u"W-B";
        controllers[i] = std::make_shared<simdevices::WheelController>(options);
    }
    bus.AddDevice(amplifier);
    bus.AddDevice(controllers[0]);
    bus.AddDevice(controllers[1]);

    window.Load(form);
    const ui::ControlState& chooser = window.Control(hidlink::kChooserControl);
    ASSERT_TRUE(chooser.visible);
    EXPECT_FALSE(window.Control("lblProduct").visible);
    ASSERT_EQ(chooser.items.size(), 3u);
    EXPECT_EQ(chooser.items[0],
              "Drivanta v2 Servo Amplifier (1d47:2233), serial DV2A-010342, port 1-1");
    EXPECT_EQ(chooser.choice, 1);
    EXPECT_EQ(window.Text("lblSerialNumber"), " W-A");
    window.Tick();

    window.Choose(hidlink::kChooserControl, 2);
    EXPECT_EQ(window.Text("lblSerialNumber"), " W-B");
    const int readsOfTheFirst = controllers[0]->FeatureReportsReached();
    window.Tick();
    window.Tick();
    EXPECT_EQ(controllers[0]->FeatureReportsReached(), readsOfTheFirst);
    EXPECT_EQ(controllers[1]->FeatureReportsReached(), 3);  // the settings, then two ticks
    EXPECT_EQ(amplifier->FeatureReportsReached(), 0);
    // The chart names each reading's device and marks where the chosen one's begin.
    const ui::ChartData& chart = *window.Control(kChartControl).chart;
    ASSERT_EQ(chart.Size(), 3u);
    EXPECT_EQ(chart.At(0).device, "W-A on port 1-2");
    EXPECT_EQ(chart.At(1).device, "W-B on port 1-3");
    EXPECT_EQ(ui::DeviceSwitches(chart, {0, 3}), std::vector<std::size_t>{1});
    Close();
}

}  // namespace
}  // namespace servodiag
