// Both updaters against the devices users may have, not only our models' timings: amplifiers back
// from their reset at once or after seconds, HID stacks that notice a restart late, controllers
// that leave at once or seconds after the upgrade command and come back with another report
// length or without a serial number, strings that cannot be read after the restart, and the base
// unit in place of either. Each of these can take its update, so each run must end "Update
// complete" with the whole image at the device under update and nothing at any other; and what the
// window shows of the device afterwards is what it reported, never what it reported before.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cmdline/CommandLine.h"
#include "tests/fault_matrix/UpdaterRun.h"

namespace {

using fault_matrix::Program;
using fault_matrix::RunSetup;
using fault_matrix::UpdaterRun;

struct Behaviour {
    std::string name;
    RunSetup setup;
    std::string unreadLabel;  // the label of the string that fails after the restart, if any
};

// Once the device has left the bus (however briefly), every read of that string fails.
void FailAfterRestart(RunSetup& setup, const std::string& call) {
    setup.during = [call](UpdaterRun& run, std::int64_t) {
        const std::int64_t generation = run.Device().Generation();
        if (run.scenarioMark < 0)
            run.scenarioMark = generation;  // at the load
        if (run.scenarioMark >= 0 && generation != run.scenarioMark) {
            run.scenarioMark = generation;
            run.Bus().FailNext(call, 1000);
        }
    };
}

// The string reads that may fail after the restart, with the label each fills.
const std::vector<std::pair<std::string, std::string>> kUnreadable = {
    {"", ""},
    {"HidD_GetSerialNumberString", "lblSerialNumber"},
    {"HidD_GetProductString", "lblProduct"},
};

std::vector<Behaviour> AmplifierBehaviours() {
    std::vector<Behaviour> all;
    for (const bool base : {false, true}) {
        for (const std::int64_t back :
             {0, 10, 50, 100, 200, 400, 600, 1000, 1500, 3000, 10000, 25000}) {
            for (const std::int64_t noticed : {0, 300, 2000}) {
                if (base && noticed != 0)
                    continue;
                for (const auto& [call, label] : kUnreadable) {
                    Behaviour b;
                    b.name = std::string(base ? "base unit" : "amplifier") + " back " +
                             std::to_string(back) + " ms after the reset, noticed after " +
                             std::to_string(noticed) + " ms" +
                             (call.empty() ? "" : ", " + call + " failing after it");
                    if (base) {
                        b.setup.baseUnit = simdevices::BaseUnitOptions{};
                        b.setup.baseUnit->returnAfterMs = back;
                    }
                    b.setup.amplifier.returnAfterMs = back;
                    b.setup.amplifier.listedAfterResetMs = noticed;
                    if (!call.empty())
                        FailAfterRestart(b.setup, call);
                    b.unreadLabel = label;
                    all.push_back(std::move(b));
                }
            }
        }
    }
    return all;
}

std::vector<Behaviour> ControllerBehaviours() {
    std::vector<Behaviour> all;
    for (const bool base : {false, true}) {
        for (const std::int64_t leave : {0, 10, 100, 450, 500, 700, 1000, 2000, 3000}) {
            for (const std::int64_t back : {0, 200, 1500, 10000}) {
                for (const std::uint16_t length : {41, 64, 65}) {
                    for (const bool serial : {true, false}) {
                        for (const auto& [call, label] : {kUnreadable[0], kUnreadable[2]}) {
                            Behaviour b;
                            b.name = std::string(base ? "base unit" : "controller") + " leaving " +
                                     std::to_string(leave) + " ms after the command, back " +
                                     std::to_string(back) + " ms later with " +
                                     std::to_string(length) + "-byte reports" +
                                     (serial ? "" : " and no serial number") +
                                     (call.empty() ? "" : ", " + call + " failing after it");
                            if (base) {
                                simdevices::BaseUnitOptions& o = b.setup.baseUnit.emplace();
                                o.leaveAfterMs = leave;
                                o.returnAfterMs = back;
                                o.imageModeReportLength = length;
                                o.serialInImageMode = serial;
                            }
                            b.setup.controller.leaveAfterMs = leave;
                            b.setup.controller.returnAfterMs = back;
                            b.setup.controller.imageModeReportLength = length;
                            b.setup.controller.serialInImageMode = serial;
                            if (!call.empty())
                                FailAfterRestart(b.setup, call);
                            b.unreadLabel = !serial ? "lblSerialNumber" : label;
                            all.push_back(std::move(b));
                        }
                    }
                }
            }
        }
    }
    return all;
}

void ExpectEveryUpdateCompletes(Program program, const std::vector<Behaviour>& behaviours) {
    for (const Behaviour& b : behaviours) {
        UpdaterRun run(program, b.setup);
        run.LoadAndClick();
        EXPECT_EQ(run.ExitStatus(), cmdline::kUpdated) << b.name;
        // A string not read after the restart is shown as not read, not as it was before.
        if (!b.unreadLabel.empty()) {
            EXPECT_EQ(run.Window().Text(b.unreadLabel), "") << b.name;
        }
        EXPECT_EQ(run.Verdict(), "") << b.name;
    }
}

TEST(DeviceSpace, EveryAmplifierThatRestartsIsFoundBackWithItsWholeImage) {
    ExpectEveryUpdateCompletes(Program::Ampflash, AmplifierBehaviours());
}

TEST(DeviceSpace, EveryControllerGetsItsImageOnlyAfterItRestarted) {
    ExpectEveryUpdateCompletes(Program::Wheelflash, ControllerBehaviours());
}

}  // namespace

namespace {

// A passing fault while a device is still there must not pass for its restart: the amplifier
// the host lists for 2 s after its reset, and the controller leaving 2 s after the command, each
// with every call of its good run failed once. No run may end in success with the device as it
// was, and no record may go to a controller before it restarted.
TEST(DeviceSpace, APassingFaultIsNotTakenForARestart) {
    RunSetup amplifier;
    amplifier.amplifier.listedAfterResetMs = 2000;
    RunSetup controller;
    controller.controller.leaveAfterMs = 2000;
    for (const auto& [program, setup] :
         {std::pair{Program::Ampflash, amplifier}, std::pair{Program::Wheelflash, controller}}) {
        UpdaterRun good(program, setup);
        good.LoadAndClick();
        ASSERT_EQ(good.ExitStatus(), cmdline::kUpdated);
        for (const fault_matrix::Fault& fault :
             fault_matrix::FailablePositions(good.Bus().Calls())) {
            UpdaterRun run(program, setup, {fault});
            run.LoadAndClick();
            const std::string where = fault.call + " #" + std::to_string(fault.nth);
            const std::string caption = run.Window().Text("Command2");
            EXPECT_TRUE(caption.rfind("Controller did not restart into", 0) != 0 ||
                        fault.call == "HidD_SetFeature")
                << where << ": a record went to the controller before it restarted";
            EXPECT_EQ(run.Verdict(), "") << where;
        }
    }
}

}  // namespace
