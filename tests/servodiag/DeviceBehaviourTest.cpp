// Devices that answer less than the wheel controller, and a user who switches between devices:
// the window says what the device shown reports, never shows another device's values, does not
// flicker, and a run without a window ends with a status that says whether a status was read.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "cmdline/CommandLine.h"
#include "hidlink/DeviceChooser.h"
#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"
#include "servodiag/ConsoleSetup.h"
#include "servodiag/DiagnosticsRun.h"
#include "servodiag/Layout.h"
#include "servodiag/frmMain.h"
#include "tests/servodiag/ScriptedWheel.h"
#include "window/console/ConsoleWindow.h"
#include "window/headless/HeadlessWindow.h"

namespace servodiag {
namespace {

using testing::ScriptedWheel;

constexpr std::int64_t kRunMs = 8000;
constexpr std::int64_t kTickMs = 200;

const char* const kStatusFields[] = {"USBerr",      "SPIerr",  "amp_fw_ver", "amp_bl_ver", "amp_sn",
                                     "motor_model", "sfd_pos", "Degrees",    "bus_v",      "estop"};
const char* const kSettingsFields[] = {
    "Homing", "TDamp",  "TInertia",    "TFriction",   "Slimit",       "Stiff",
    "Damp",   "Spring", "MotorFilter", "InputFilter", "OverallScale", "DampingScale"};

struct Behaviour {
    bool status;
    bool settings;
};

// At `atMs` the user chooses device `device`; without a window, the device shown leaves the
// bus and that one is back on it.
struct Switch {
    std::int64_t atMs;
    int device;
};

struct BehaviourCase {
    const char* name;
    std::vector<Behaviour> devices;  // in enumeration order; the first is shown at load
    std::vector<Switch> switches;
    const char* stateLine;  // at the end
    // What the state line says after the load, in order: every change counts, so a device that
    // flips between states shows here.
    std::vector<std::string> laterLines;
    int windowlessStatus;
};

void PrintTo(const BehaviourCase& c, std::ostream* out) {
    *out << c.name;
}

const char kConnected[] = "Device connected";
const char kNoSettings[] = "Device connected. It reports no settings.";
const char kNoStatus[] = "This device reports no status.";
const char kNeither[] = "This device reports no status or settings.";

const BehaviourCase kCases[] = {
    {"StatusAndSettings", {{true, true}}, {}, kConnected, {}, cmdline::kUpdated},
    {"SettingsOnly", {{false, true}}, {}, kNoStatus, {kNoStatus}, cmdline::kNoStatus},
    {"Neither", {{false, false}}, {}, kNeither, {kNeither}, cmdline::kNoStatus},
    {"StatusThenADeviceThatAnswersNone",
     {{true, true}, {false, false}},
     {{2000, 1}},
     kNeither,
     {kNoSettings, kNeither},
     cmdline::kUpdated},
    {"AndBack",
     {{true, true}, {false, false}},
     {{2000, 1}, {5000, 0}},
     kConnected,
     {kNoSettings, kNeither, kConnected},
     cmdline::kUpdated},
};

// Device i's own values: its USB error count and its centering spring.
std::string UsbErrorsOf(int device) {
    return std::to_string(10 + device);
}
std::string SpringOf(int device) {
    return std::to_string(30 + device);
}

class DeviceBehaviourTest : public ::testing::TestWithParam<BehaviourCase> {
  protected:
    DeviceBehaviourTest() {
        int i = 0;
        for (const Behaviour& b : GetParam().devices) {
            auto wheel = std::make_shared<ScriptedWheel>();
            sim::DeviceDescription& d = wheel->MutableDescription();
            d.path += std::to_string(i);
            d.serialNumber = u"S" + std::u16string(1, char16_t(u'A' + i));
            d.port = "1-" + std::to_string(i + 1);
            wheel->status[45] = 0x80;  // E-STOP monitored, not pressed: a green "OK"
            wheel->status[47] = static_cast<std::uint8_t>(10 + i);
            wheel->settings[28] = static_cast<std::uint8_t>(30 + i);
            // A report of another length than the device declares is not answered.
            if (!b.status)
                wheel->status.clear();
            if (!b.settings)
                wheel->settings.clear();
            bus.AddDevice(wheel);
            wheels.push_back(wheel);
            ++i;
        }
    }

    sim::VirtualClock clock;
    sim::SimulatedBus bus{clock};
    std::vector<std::shared_ptr<ScriptedWheel>> wheels;
};

// What the window shows is the device's own, or blank and disabled where it reports nothing.
void ExpectOnlyTheValuesOf(const ui::HeadlessWindow& window, int device, const Behaviour& b) {
    const std::string usb = window.Text("USBerr");
    if (b.status) {
        EXPECT_TRUE(usb.empty() || usb == UsbErrorsOf(device)) << usb;
    } else {
        for (const char* field : kStatusFields) {
            EXPECT_EQ(window.Text(field), "") << field;
        }
        EXPECT_NE(window.Control("estop").backColor, ui::kGreen) << "another device's OK";
    }
    if (b.settings) {
        EXPECT_EQ(window.Text("Spring"), SpringOf(device));
        EXPECT_TRUE(window.Control("Spring").enabled);
    } else {
        for (const char* field : kSettingsFields) {
            EXPECT_EQ(window.Text(field), "") << field;
            EXPECT_FALSE(window.Control(field).enabled) << field;
        }
    }
}

TEST_P(DeviceBehaviourTest, TheWindowShowsTheDeviceAsItIs) {
    const BehaviourCase& c = GetParam();
    ui::HeadlessWindow window(ServodiagLayout());
    frmMain form(window, bus);
    window.Load(form);
    const std::size_t eventsAtLoad = window.EventsFor("lblDeviceState").size();

    int shown = 0;
    std::size_t nextSwitch = 0;
    for (std::int64_t t = kTickMs; t <= kRunMs; t += kTickMs) {
        clock.Advance(kTickMs);
        if (nextSwitch < c.switches.size() && t >= c.switches[nextSwitch].atMs) {
            shown = c.switches[nextSwitch++].device;
            window.Choose(hidlink::kChooserControl, shown);
            SCOPED_TRACE("just after choosing device " + std::to_string(shown));
            ExpectOnlyTheValuesOf(window, shown, c.devices[shown]);
        }
        window.Tick();
        SCOPED_TRACE("at " + std::to_string(t) + " ms");
        ExpectOnlyTheValuesOf(window, shown, c.devices[shown]);
    }

    EXPECT_EQ(window.Text("lblDeviceState"), c.stateLine);
    std::vector<std::string> laterLines;
    const std::vector<ui::WindowEvent> lines = window.EventsFor("lblDeviceState");
    for (std::size_t i = eventsAtLoad; i < lines.size(); ++i) {
        if (lines[i].what == "text")
            laterLines.push_back(lines[i].value);
    }
    EXPECT_EQ(laterLines, c.laterLines);
    if (c.devices[shown].status) {
        EXPECT_EQ(window.Text("USBerr"), UsbErrorsOf(shown));
    }
    ASSERT_TRUE(window.RequestClose());
    EXPECT_TRUE(bus.HandleProblems().empty()) << ::testing::PrintToString(bus.HandleProblems());
}

TEST_P(DeviceBehaviourTest, WithoutAWindowTheExitStatusSaysWhetherAStatusWasRead) {
    const BehaviourCase& c = GetParam();
    std::ostringstream out, err;
    std::istringstream in;
    int shown = 0;
    std::size_t nextSwitch = 0;
    const auto wait = [&](int ms) {
        clock.Advance(ms);
        if (nextSwitch < c.switches.size() && clock.NowMs() >= c.switches[nextSwitch].atMs) {
            wheels[shown]->Unplug();
            shown = c.switches[nextSwitch++].device;
            wheels[shown]->Replug();
        }
    };
    ui::ConsoleIo io{out,
                     err,
                     in,
                     false,
                     [&] { return clock.NowMs(); },
                     wait,
                     [&] { return clock.NowMs() >= kRunMs; },
                     false,
                     false,
                     false,
                     {}};
    StatusReadout readout{[&] { return clock.NowMs(); }};
    ui::ConsoleSetup setup;
    AddSettingsAndStatus(setup, readout);
    ui::ConsoleWindow window(ServodiagLayout(), setup, io);
    frmMain form(window, bus);

    EXPECT_EQ(RunDiagnostics(window, form, "", readout, true), c.windowlessStatus) << out.str();
    EXPECT_TRUE(bus.HandleProblems().empty()) << ::testing::PrintToString(bus.HandleProblems());
    if (!c.devices.front().status && c.switches.empty()) {
        EXPECT_EQ(out.str().find("not responding"), std::string::npos) << out.str();
        EXPECT_NE(out.str().find("this device reports no status"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(Devices, DeviceBehaviourTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace servodiag
