// The command line of the three programs, and the statuses it makes them exit with, as one table.
#include "cmdline/CommandLine.h"

#include <gtest/gtest.h>

#include <ostream>

namespace cmdline {
namespace {

constexpr ProgramInfo kServodiag{Program::Servodiag, false};
constexpr ProgramInfo kServodiagSim{Program::Servodiag, true};
constexpr ProgramInfo kAmpflash{Program::Ampflash, false};
constexpr ProgramInfo kWheelflashSim{Program::Wheelflash, true};

constexpr int kRuns = -1;  // the program goes on to its window

struct LineCase {
    const char* what;
    ProgramInfo program;
    std::vector<std::string> args;
    int status;  // kRuns, or the status it exits with at once
    Options expected{};
    std::string says{};  // part of what a wrong usage prints, when it matters
};

std::ostream& operator<<(std::ostream& out, const LineCase& c) {
    return out << c.what;
}

Options Expect(bool noWindow, bool yes, std::string image, std::string record = {},
               std::optional<double> unplugAt = {}, std::optional<double> replugAt = {}) {
    Options o;
    o.noWindow = noWindow;
    o.yes = yes;
    o.imagePath = std::move(image);
    o.recordPath = std::move(record);
    o.unplugAt = unplugAt;
    o.replugAt = replugAt;
    return o;
}

// The device options, on top of a window run.
Options Picks(std::string serial, std::string port, bool list = false,
              std::vector<std::string> simDevices = {}) {
    Options o;
    o.serial = std::move(serial);
    o.port = std::move(port);
    o.list = list;
    o.simDevices = std::move(simDevices);
    return o;
}

Options Captures(std::string path, bool anonymous) {
    Options o;
    o.capturePath = std::move(path);
    o.captureAnonymous = anonymous;
    return o;
}

Options Replays(std::string path) {
    Options o;
    o.replayPath = std::move(path);
    return o;
}

class CommandLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(CommandLineTest, ParsesAndExitsWithItsStatus) {
    const LineCase& c = GetParam();
    const Options options = ParseCommandLine(c.program, c.args);
    const std::optional<Answer> answer = AnswerWithoutRunning(c.program, options, "/log");
    if (c.status == kRuns) {
        ASSERT_FALSE(answer) << options.problem;
        EXPECT_EQ(options.noWindow, c.expected.noWindow);
        EXPECT_EQ(options.yes, c.expected.yes);
        EXPECT_EQ(options.imagePath, c.expected.imagePath);
        EXPECT_EQ(options.recordPath, c.expected.recordPath);
        EXPECT_EQ(options.replayPath, c.expected.replayPath);
        EXPECT_EQ(options.unplugAt, c.expected.unplugAt);
        EXPECT_EQ(options.replugAt, c.expected.replugAt);
        EXPECT_EQ(options.serial, c.expected.serial);
        EXPECT_EQ(options.port, c.expected.port);
        EXPECT_EQ(options.list, c.expected.list);
        EXPECT_EQ(options.simDevices, c.expected.simDevices);
        EXPECT_EQ(options.capturePath, c.expected.capturePath);
        EXPECT_EQ(options.captureAnonymous, c.expected.captureAnonymous);
        return;
    }
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, c.status);
    if (c.status == kWrongUsage) {
        // The problem, then the usage line, on standard error only.
        EXPECT_EQ(answer->out, "");
        // Appended, not added: GCC 12 at -O3 warns falsely about "\n" + a temporary string.
        const std::string usage = std::string("\n").append(UsageLine(c.program)).append("\n");
        EXPECT_NE(answer->err.find(usage), std::string::npos);
        EXPECT_NE(answer->err.find(c.says), std::string::npos) << answer->err;
    } else {
        EXPECT_EQ(answer->err, "");
        EXPECT_NE(answer->out.find(ProgramName(c.program)), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Programs, CommandLineTest,
    ::testing::Values(
        LineCase{
            "servodiag alone opens its window", kServodiag, {}, kRuns, Expect(false, false, "")},
        LineCase{"servodiag records without a window",
                 kServodiag,
                 {"--no-window", "--record", "s.csv"},
                 kRuns,
                 Expect(true, false, "", "s.csv")},
        LineCase{"record file attached with =",
                 kServodiag,
                 {"--record=s.csv"},
                 kRuns,
                 Expect(false, false, "", "s.csv")},
        LineCase{"record without its file", kServodiag, {"--record"}, kWrongUsage},
        LineCase{"record with an empty file name", kServodiag, {"--record="}, kWrongUsage},
        LineCase{"servodiag takes no --yes", kServodiag, {"--yes"}, kWrongUsage},
        LineCase{"servodiag takes no image", kServodiag, {"image.bin"}, kWrongUsage},
        LineCase{"only the -sim build unplugs", kServodiag, {"--unplug-at", "3"}, kWrongUsage},
        LineCase{"-sim unplugs and replugs",
                 kServodiagSim,
                 {"--unplug-at", "3", "--replug-at=6.5"},
                 kRuns,
                 Expect(false, false, "", "", 3.0, 6.5)},
        LineCase{"replug without unplug", kServodiagSim, {"--replug-at", "6"}, kWrongUsage},
        LineCase{"replug before unplug",
                 kServodiagSim,
                 {"--unplug-at", "6", "--replug-at", "3"},
                 kWrongUsage},
        LineCase{"seconds not a number", kServodiagSim, {"--unplug-at", "3s"}, kWrongUsage},
        LineCase{"negative seconds", kServodiagSim, {"--unplug-at", "-1"}, kWrongUsage},
        LineCase{
            "updater alone: the image beside it", kAmpflash, {}, kRuns, Expect(false, false, "")},
        LineCase{
            "updater with an image", kAmpflash, {"fw.bin"}, kRuns, Expect(false, false, "fw.bin")},
        LineCase{"updater unattended",
                 kWheelflashSim,
                 {"--no-window", "--yes", "dir/fw.bin"},
                 kRuns,
                 Expect(true, true, "dir/fw.bin")},
        LineCase{"options after the image",
                 kAmpflash,
                 {"fw.bin", "--yes", "--no-window"},
                 kRuns,
                 Expect(true, true, "fw.bin")},
        LineCase{"--yes needs --no-window", kAmpflash, {"--yes"}, kWrongUsage},
        LineCase{"--force needs --yes", kAmpflash, {"--no-window", "--force"}, kWrongUsage},
        LineCase{"--force with --yes",
                 kWheelflashSim,
                 {"--no-window", "--yes", "--force"},
                 kRuns,
                 Expect(true, true, "")},
        LineCase{"servodiag takes no --force", kServodiag, {"--force"}, kWrongUsage},
        LineCase{"two images", kAmpflash, {"a.bin", "b.bin"}, kWrongUsage},
        LineCase{"an empty image name", kAmpflash, {""}, kWrongUsage},
        LineCase{"updaters do not record", kAmpflash, {"--record", "s.csv"}, kWrongUsage},
        LineCase{"servodiag replays a recording",
                 kServodiag,
                 {"--replay", "s.csv"},
                 kRuns,
                 Replays("s.csv")},
        LineCase{"a replay is shown in the window",
                 kServodiag,
                 {"--replay", "s.csv", "--no-window"},
                 kWrongUsage,
                 {},
                 "--replay shows a recording in the window"},
        LineCase{"updaters do not replay", kWheelflashSim, {"--replay", "s.csv"}, kWrongUsage},
        LineCase{"a capture with serials hidden",
                 kAmpflash,
                 {"--capture", "run.jsonl", "--capture-anonymous"},
                 kRuns,
                 Captures("run.jsonl", true)},
        LineCase{"serials hidden without a capture",
                 kServodiagSim,
                 {"--capture-anonymous"},
                 kWrongUsage,
                 {},
                 "--capture-anonymous goes with --capture"},
        LineCase{"a capture of a replay without a device",
                 kServodiag,
                 {"--capture=run.jsonl", "--replay", "s.csv"},
                 kWrongUsage},
        LineCase{"a flag given a value", kAmpflash, {"--no-window=1"}, kWrongUsage},
        LineCase{"unknown option", kWheelflashSim, {"--force"}, kWrongUsage},
        LineCase{"a device by serial number",
                 kAmpflash,
                 {"--serial", "DV2A-1"},
                 kRuns,
                 Picks("DV2A-1", "")},
        LineCase{"a device by port, listed",
                 kServodiag,
                 {"--port=1-4.2", "--list"},
                 kRuns,
                 Picks("", "1-4.2", true)},
        LineCase{"a port without its value", kAmpflash, {"--port"}, kWrongUsage},
        LineCase{"the whole system simulated",
                 kWheelflashSim,
                 {"--sim-devices", "amplifier,controller"},
                 kRuns,
                 Picks("", "", false, {"amplifier", "controller"})},
        LineCase{"the base unit beside an amplifier",
                 kServodiagSim,
                 {"--sim-devices=base,amplifier"},
                 kRuns,
                 Picks("", "", false, {"base", "amplifier"})},
        LineCase{"a simulated kind there is not",
                 kWheelflashSim,
                 {"--sim-devices", "amplifier,,controller"},
                 kWrongUsage},
        LineCase{"only -sim builds simulate", kAmpflash, {"--sim-devices=amplifier"}, kWrongUsage},
        LineCase{"-- ends the options",
                 kAmpflash,
                 {"--", "--yes"},
                 kRuns,
                 Expect(false, false, "--yes")},
        LineCase{"options before --",
                 kAmpflash,
                 {"--no-window", "--", "-x.bin"},
                 kRuns,
                 Expect(true, false, "-x.bin")},
        LineCase{"an unknown option with a value",
                 kAmpflash,
                 {"--bogus=1"},
                 kWrongUsage,
                 {},
                 "unknown option --bogus\n"},
        LineCase{"updaters do not know servodiag's options",
                 kAmpflash,
                 {"--record", "5"},
                 kWrongUsage,
                 {},
                 "unknown option --record\n"},
        LineCase{"updaters do not unplug",
                 kWheelflashSim,
                 {"--unplug-at", "3"},
                 kWrongUsage,
                 {},
                 "unknown option --unplug-at\n"},
        LineCase{"a value that is an option",
                 kServodiag,
                 {"--record", "--no-window"},
                 kWrongUsage,
                 {},
                 "not the option --no-window"},
        LineCase{"a value starting with - given with =",
                 kServodiag,
                 {"--record=-s.csv"},
                 kRuns,
                 Expect(false, false, "", "-s.csv")},
        LineCase{"after --, servodiag still takes no argument",
                 kServodiag,
                 {"--", "x"},
                 kWrongUsage,
                 {},
                 "unexpected argument"},
        LineCase{"help", kWheelflashSim, {"--help"}, 0},
        LineCase{"short help", kAmpflash, {"-h"}, 0},
        LineCase{"help before a wrong option", kAmpflash, {"--help", "--frobnicate"}, 0},
        LineCase{"a wrong option before help", kAmpflash, {"--frobnicate", "--help"}, kWrongUsage},
        LineCase{"version", kServodiag, {"--version"}, 0},
        LineCase{"version of a -sim build", kServodiagSim, {"--no-window", "--version"}, 0}));

// What a service technician scripts against: every status, and where the log is.
TEST(HelpTest, UpdatersListEveryStatusAndNameTheLog) {
    for (const ProgramInfo& info : {kAmpflash, kWheelflashSim}) {
        const std::string help = HelpText(info, "/state/drivanta/updates.log");
        for (const char* status :
             {"0  updated", "1  the update failed", "2  wrong usage", "3  no device found",
              "4  the image failed its check", "5  cancelled at the confirmation",
              "8  the image was sent, but the program was closed before the device came back"}) {
            EXPECT_NE(help.find(status), std::string::npos) << status;
        }
        EXPECT_NE(help.find("/state/drivanta/updates.log"), std::string::npos);
        EXPECT_EQ(help.rfind(UsageLine(info), 0), 0u);
    }
}

}  // namespace
}  // namespace cmdline
