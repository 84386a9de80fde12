// servodiag, ampflash and wheelflash on the base unit, the device that answers 2233 in its normal
// mode and takes both updates: each program does its whole work on it, on the simulated bus.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "ampflash/Layout.h"
#include "ampflash/frmMain.h"
#include "hidlink/HidLink.h"
#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"
#include "servodiag/Layout.h"
#include "servodiag/frmMain.h"
#include "simdevices/BaseUnit.h"
#include "simdevices/Bystanders.h"
#include "updater/FirmwareImage.h"
#include "wheelflash/Layout.h"
#include "wheelflash/frmMain.h"
#include "window/headless/HeadlessWindow.h"

namespace {

using Mode = simdevices::BaseUnit::Mode;

enum class Program { Servodiag, Ampflash, Wheelflash };

struct BaseUnitCase {
    const char* name;
    Program program;
    simdevices::BaseUnitOptions unit;
};

std::ostream& operator<<(std::ostream& out, const BaseUnitCase& c) {
    return out << c.name;
}

simdevices::BaseUnitOptions WithoutSerialWhileReceiving() {
    simdevices::BaseUnitOptions o;
    o.serialInImageMode = false;
    o.imageModeReportLength = 48;
    return o;
}

// A keyboard, then the base unit; the image in a directory of the test's own.
class BaseUnitPrograms : public ::testing::TestWithParam<BaseUnitCase> {
  protected:
    BaseUnitPrograms() {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        directory_ = std::filesystem::temp_directory_path() /
                     ("base-unit-test-" + std::to_string(std::random_device{}()) + "-" + name);
        std::filesystem::create_directories(directory_);
        bus.SetProgramDirectory(directory_.string());
        bus.AddDevice(simdevices::MakeKeyboard());
        unit = std::make_shared<simdevices::BaseUnit>(GetParam().unit);
        bus.AddDevice(unit);
    }
    ~BaseUnitPrograms() override { std::filesystem::remove_all(directory_); }

    // Whole records that differ from one another, and a tail the updaters never send.
    std::vector<std::uint8_t> WriteImage(const char* fileName) {
        std::vector<std::uint8_t> bytes(25 * 40 + 13);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>((i * 13 + i / 40) & 0xFF);
        std::ofstream(directory_ / fileName, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        bytes.resize(bytes.size() / 40 * 40);
        return bytes;
    }

    // Clicks the updater's button with the question answered yes; the window must close itself
    // after "Update complete".
    void RunUpdate(ui::HeadlessWindow& window, ui::FormHandlers& form, const char* button) {
        window.AnswerConfirmation = [](const std::string&) { return true; };
        window.Load(form);
        window.Click(button);
        const auto& events = window.Events();
        EXPECT_TRUE(std::any_of(events.begin(), events.end(), [](const ui::WindowEvent& e) {
            return e.what == "text" && e.value.starts_with("Update complete");
        })) << window.Text(button);
        EXPECT_TRUE(window.IsUnloaded());
    }

    // The unit as the bus lists it once its restart is over.
    sim::DeviceDescription AfterRestart() {
        clock.Advance(GetParam().unit.returnAfterMs + 1);
        hidlink::ListMatchingDevices(bus, servodiag::kProfile);
        return unit->Description();
    }

    sim::VirtualClock clock;
    sim::SimulatedBus bus{clock};
    std::shared_ptr<simdevices::BaseUnit> unit;

  private:
    std::filesystem::path directory_;
};

TEST_P(BaseUnitPrograms, DoesItsWholeWork) {
    switch (GetParam().program) {
        case Program::Servodiag: {
            ui::HeadlessWindow window(servodiag::ServodiagLayout());
            servodiag::frmMain form(window, bus);
            window.Load(form);
            for (int tick = 0; tick < 5; ++tick) {
                clock.Advance(200);
                window.Tick();
            }
            EXPECT_EQ(window.Text("lblProduct"), " Drivanta v2 Wheel Base");
            EXPECT_EQ(window.Text("lblSerialNumber"), " DV2B-003156");
            // A settings field and status fields, as the unit reports them.
            EXPECT_NE(window.Text("Homing").find("1250"), std::string::npos)
                << window.Text("Homing");
            EXPECT_EQ(window.Text("amp_sn"), "20417");
            EXPECT_EQ(window.Text("motor_model"), "6010");
            EXPECT_EQ(window.Text("estop"), "OK");
            EXPECT_TRUE(bus.CallsNamed("HidD_SetFeature").empty());
            EXPECT_TRUE(window.RequestClose());
            break;
        }
        case Program::Ampflash: {
            const std::vector<std::uint8_t> image = WriteImage(ampflash::kImageFileName);
            ui::HeadlessWindow window(ampflash::AmpflashLayout());
            ampflash::frmMain form(window, bus);
            RunUpdate(window, form, "btnUpgradeFW");
            EXPECT_EQ(unit->AmplifierImage(), image);
            EXPECT_TRUE(unit->ControllerImage().empty());
            EXPECT_EQ(unit->CurrentMode(), Mode::Normal);
            EXPECT_EQ(unit->Description().productId, 0x2233);
            EXPECT_EQ(unit->Restarts(), 1);
            break;
        }
        case Program::Wheelflash: {
            const std::vector<std::uint8_t> image = WriteImage(wheelflash::kImageFileName);
            ui::HeadlessWindow window(wheelflash::WheelflashLayout());
            wheelflash::frmMain form(window, bus);
            RunUpdate(window, form, "Command4");
            EXPECT_EQ(unit->ControllerImage(), image);
            EXPECT_TRUE(unit->AmplifierImage().empty());
            // Let go of, it restarts into its normal mode.
            const sim::DeviceDescription back = AfterRestart();
            EXPECT_EQ(unit->CurrentMode(), Mode::Normal);
            EXPECT_TRUE(back.present);
            EXPECT_EQ(back.productId, 0x2233);
            EXPECT_EQ(unit->Restarts(), 1);
            break;
        }
    }
    EXPECT_TRUE(bus.HandleProblems().empty()) << ::testing::PrintToString(bus.HandleProblems());
}

INSTANTIATE_TEST_SUITE_P(
    Programs, BaseUnitPrograms,
    ::testing::Values(BaseUnitCase{"servodiag", Program::Servodiag, {}},
                      BaseUnitCase{"ampflash", Program::Ampflash, {}},
                      BaseUnitCase{"wheelflash", Program::Wheelflash, {}},
                      BaseUnitCase{"wheelflash_no_serial_and_shorter_reports_while_receiving",
                                   Program::Wheelflash, WithoutSerialWhileReceiving()}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
