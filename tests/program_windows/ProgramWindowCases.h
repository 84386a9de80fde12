// The three programs' windows as the toolkit tests open them: each program's own handlers on a
// simulated bus with its device, and what its window must show once loaded. The Qt and the
// Win32 tests read these texts back from the real controls.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "ampflash/Layout.h"
#include "ampflash/frmMain.h"
#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"
#include "servodiag/Layout.h"
#include "servodiag/StatusReport.h"
#include "servodiag/frmMain.h"
#include "simdevices/Amplifier.h"
#include "simdevices/Bystanders.h"
#include "simdevices/WheelController.h"
#include "simdevices/WheelTelemetry.h"
#include "wheelflash/Layout.h"
#include "wheelflash/frmMain.h"
#include "window/Window.h"

namespace program_windows {

using Texts = std::vector<std::pair<const char*, const char*>>;  // control, text

struct ProgramCase {
    const char* name;
    ui::FormLayout (*layout)();
    int clientWidthTwips;
    int clientHeightTwips;
    void (*attachDevices)(sim::SimulatedBus& bus);
    std::unique_ptr<ui::FormHandlers> (*makeForm)(ui::Window& window,
                                                  hidlink::ApiDeclarations& api);
    Texts afterLoad;
};

// The program's handlers, counted on their way: ticks delivered and unloads run.
class CountingHandlers : public ui::FormHandlers {
  public:
    explicit CountingHandlers(ui::FormHandlers& program) : program_(program) {}
    void Form_Load() override { program_.Form_Load(); }
    void Click(const std::string& control) override { program_.Click(control); }
    void Timer_Timer() override {
        program_.Timer_Timer();
        ++ticks;
    }
    void Chosen(const std::string& control, int index) override {
        program_.Chosen(control, index);
    }
    bool Form_QueryUnload() override { return program_.Form_QueryUnload(); }
    void Form_Unload() override {
        program_.Form_Unload();
        ++unloads;
    }
    void Form_Terminate() override { program_.Form_Terminate(); }

    int ticks = 0;
    int unloads = 0;

  private:
    ui::FormHandlers& program_;
};

inline void AttachWheel(sim::SimulatedBus& bus, std::uint16_t productId) {
    simdevices::WheelControllerOptions wheel;
    wheel.productId = productId;
    bus.AddDevice(std::make_shared<simdevices::WheelController>(wheel));
}

template <typename Form>
std::unique_ptr<ui::FormHandlers> MakeForm(ui::Window& window, hidlink::ApiDeclarations& api) {
    return std::make_unique<Form>(window, api);
}

inline const std::vector<ProgramCase>& ProgramCases() {
    static const std::vector<ProgramCase> cases = {
        {"servodiag",
         servodiag::ServodiagLayout,
         8100,
         14300,  // the chart below the original 9980
         [](sim::SimulatedBus& bus) {
             bus.AddDevice(simdevices::MakeKeyboard());
             bus.AddDevice(simdevices::MakeHeadset());
             AttachWheel(bus, 0x1020);
         },
         MakeForm<servodiag::frmMain>,
         {{"lblManuf", " Drivanta"},
          {"lblProduct", " Drivanta v2 Wheel"},
          {"lblVersion", " 1.5"},
          {"lblSerialNumber", " DV2W-004817"},
          {"Homing", "-1250"},
          {"Slimit", "22500"},
          {"Stiff", "180"},
          {"TDamp", "40"},
          {"OverallScale", "90"},
          {"DampingScale", "80"},
          {"InputFilter", "500"},
          {"Spring", "20"}}},
        {"ampflash",
         ampflash::AmpflashLayout,
         5420,
         3010,
         [](sim::SimulatedBus& bus) {
             bus.AddDevice(simdevices::MakeKeyboard());
             bus.AddDevice(std::make_shared<simdevices::Amplifier>());
         },
         MakeForm<ampflash::frmMain>,
         {{"lblManuf", " Drivanta"},
          {"lblProduct", " Drivanta v2 Servo Amplifier"},
          {"lblVersion", " 2.3"},
          {"lblSerialNumber", " DV2A-010342"},
          {"btnUpgradeFW", "Upgrade Firmware"}}},
        {"wheelflash",
         wheelflash::WheelflashLayout,
         5420,
         3280,
         [](sim::SimulatedBus& bus) {
             bus.AddDevice(simdevices::MakeKeyboard());
             AttachWheel(bus, 0xB02E);
         },
         MakeForm<wheelflash::frmMain>,
         {{"lblManuf", " Drivanta"},
          {"lblProduct", " Drivanta v2 Wheel"},
          {"lblVersion", " 1.5"},
          {"lblSerialNumber", " DV2W-004817"},
          {"Command4", "Upgrade Firmware"},
          {"Command2", "2. Load Firmware"}}},
    };
    return cases;
}

inline const ProgramCase& ProgramCaseNamed(const std::string& name) {
    for (const ProgramCase& program : ProgramCases()) {
        if (program.name == name)
            return program;
    }
    throw std::out_of_range("no program named " + name);
}

// Names the case in the test list instead of dumping its bytes.
inline void PrintTo(const ProgramCase& program, std::ostream* out) {
    *out << program.name;
}

inline std::string CaseName(const ::testing::TestParamInfo<ProgramCase>& info) {
    return info.param.name;
}

// The diagnostics window's status column after it has been open this long: the simulated wheel
// stands left of centre (a negative, fractional angle), its supply is on, its E-STOP released.
inline constexpr std::int64_t kServodiagOpenMs = 40000;
inline constexpr int kServodiagTimerMs = 200;

inline const Texts& ServodiagStatusTexts() {
    static const Texts texts = {{"amp_fw_ver", "2.1A"},  {"amp_bl_ver", "1.3"}, {"amp_sn", "20417"},
                                {"motor_model", "6010"}, {"estop", "OK"},       {"SPIerr", "2"}};
    return texts;
}

// The angle the wheel reports at this moment of the bus's clock, as the window shows it.
inline std::string ServodiagDegreesAt(std::int64_t nowMs, const std::string& decimalSeparator) {
    std::uint8_t report[servodiag::kStatusBufferSize] = {servodiag::kStatusReportId};
    simdevices::FillStatusReport(report, sizeof report, nowMs);
    return *servodiag::DecodeStatusReport(report, decimalSeparator).Degrees;
}

}  // namespace program_windows
