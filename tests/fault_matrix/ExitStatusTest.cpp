// How each update ends, as the program's exit status and the update log see it: one table for
// both updaters, on the simulated bus with the headless window; and a click after a failure that
// runs the whole update again.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "cmdline/CommandLine.h"
#include "tests/fault_matrix/UpdaterRun.h"
#include "updater/Crc32.h"

namespace {

using fault_matrix::Fault;
using fault_matrix::Program;
using fault_matrix::RunSetup;
using fault_matrix::UpdaterRun;

class ScratchLog {
  public:
    ScratchLog()
        : path_(std::filesystem::temp_directory_path() /
                ("updaterux-log-" + std::to_string(std::rand()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log")) {
        std::filesystem::remove(path_);
    }
    ~ScratchLog() { std::filesystem::remove(path_); }
    std::string Path() const { return path_.string(); }
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::ifstream in(path_);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

  private:
    std::filesystem::path path_;
};

std::string ButtonOf(Program program) {
    return program == Program::Ampflash         ? "btnUpgradeFW"
           : program == Program::WheelflashLoad ? "Command2"
                                                : "Command4";
}

// The CRC-32 of the image's whole records, as the log should name it.
std::string WholeRecordsCrc(const std::filesystem::path& image) {
    std::ifstream in(image, std::ios::binary);
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>()};
    bytes.resize(bytes.size() / 40 * 40);
    char text[9];
    std::snprintf(text, sizeof text, "%08x",
                  static_cast<unsigned>(updater::Crc32(0, bytes.data(), bytes.size())));
    return text;
}

struct StatusCase {
    const char* name;
    std::function<void(RunSetup&)> setUp;
    std::vector<Fault> faults;
    bool unplugged;      // no device at load nor at the click
    int status;          // cmdline::ExitStatus
    bool sends;          // whether any report reaches the device
    const char* logged;  // the outcome of the one log line, or nullptr for no line
};

const StatusCase kCases[] = {
    {"updated", [](RunSetup&) {}, {}, false, cmdline::kUpdated, true, "updated"},
    {"cancelled at the question",
     [](RunSetup& s) { s.acceptConfirmation = false; },
     {},
     false,
     cmdline::kCancelled,
     false,
     nullptr},
    {"image missing",
     [](RunSetup& s) { s.replaceImage = [](const std::filesystem::path&) {}; },
     {},
     false,
     cmdline::kImageRejected,
     false,
     nullptr},
    {"image too short",
     [](RunSetup& s) {
         s.replaceImage = [](const std::filesystem::path& p) {
             std::ofstream(p, std::ios::binary) << "short";
         };
     },
     {},
     false,
     cmdline::kImageRejected,
     false,
     nullptr},
    {"no device", [](RunSetup&) {}, {}, true, cmdline::kNoDevice, false, nullptr},
    {"closed during the transfer",
     [](RunSetup& s) {
         s.during = [](UpdaterRun& run, std::int64_t) {
             if (run.RecordsHeld() == 1 && run.scenarioMark < 0) {
                 run.scenarioMark = 1;
                 run.Window().RequestClose();
             }
         };
     },
     {},
     false,
     cmdline::kUpdated,
     true,
     "updated"},
    {"a report refused",
     [](RunSetup&) {},
     {{"HidD_SetFeature", 2}},
     false,
     cmdline::kUpdateFailed,
     true,
     "failed"},
};

TEST(ExitStatus, EachEndHasItsStatusAndLogLine) {
    for (Program program : {Program::Ampflash, Program::Wheelflash, Program::WheelflashLoad}) {
        for (const StatusCase& c : kCases) {
            SCOPED_TRACE(ButtonOf(program) + ", " + c.name);
            ScratchLog log;
            RunSetup setup;
            setup.logPath = log.Path();
            c.setUp(setup);
            UpdaterRun run(program, setup, c.faults);
            if (c.unplugged)
                run.Device().Unplug();
            run.LoadAndClick();
            EXPECT_EQ(run.ExitStatus(), c.status);
            EXPECT_EQ(!run.Bus().CallsNamed("HidD_SetFeature").empty(), c.sends);
            const std::vector<std::string> lines = log.Lines();
            if (c.logged == nullptr) {
                EXPECT_TRUE(lines.empty());
            } else {
                ASSERT_EQ(lines.size(), 1u);
                EXPECT_NE(lines[0].find(std::string("\"outcome\":\"") + c.logged + "\""),
                          std::string::npos)
                    << lines[0];
                EXPECT_NE(lines[0].find("\"crc32\":\"" + WholeRecordsCrc(run.ImageFile()) + "\""),
                          std::string::npos)
                    << lines[0];
            }
            // The window stays open after everything but success, and the run is truthful.
            EXPECT_EQ(run.Window().IsUnloaded(), c.status == cmdline::kUpdated);
            EXPECT_EQ(run.Verdict(), "");
        }
    }
}

TEST(ExitStatus, SuccessShowsWhatTheDeviceReportsBeforeClosing) {
    for (Program program : {Program::Ampflash, Program::Wheelflash, Program::WheelflashLoad}) {
        UpdaterRun run(program, {});
        run.LoadAndClick();
        ASSERT_TRUE(run.Window().IsUnloaded());
        const std::string button = program == Program::Ampflash ? "btnUpgradeFW" : "Command2";
        std::string complete;
        for (const ui::WindowEvent& e : run.Window().EventsFor(button)) {
            if (e.what == "text" && e.value.rfind("Update complete", 0) == 0)
                complete = e.value;
        }
        // The amplifier's version as read once it is back; the controller stays in its
        // image-receiving mode, where its version is not the new firmware's, so none is named.
        const std::string label = run.Window().Text("lblVersion");
        EXPECT_EQ(complete,
                  program == Program::Ampflash
                      ? "Update complete: version " + label.substr(label.find_first_not_of(' '))
                      : "Update complete")
            << ButtonOf(program);
        // Events were processed while it was shown, for about two seconds.
        int roundsAfter = 0;
        bool seen = false;
        for (const ui::WindowEvent& e : run.Window().Events()) {
            seen = seen || (e.what == "text" && e.value == complete);
            roundsAfter += seen && e.what == "events" ? 1 : 0;
        }
        EXPECT_GE(roundsAfter, 10) << ButtonOf(program);
    }
}

TEST(ExitStatus, AClickAfterAFailureRunsTheWholeUpdateAgain) {
    for (Program program : {Program::Ampflash, Program::Wheelflash, Program::WheelflashLoad}) {
        SCOPED_TRACE(ButtonOf(program));
        ScratchLog log;
        RunSetup setup;
        setup.logPath = log.Path();
        UpdaterRun run(program, setup, {{"HidD_SetFeature", 2}});
        run.LoadAndClick();
        ASSERT_EQ(run.ExitStatus(), cmdline::kUpdateFailed);
        const std::size_t reportsBefore = run.Bus().CallsNamed("HidD_SetFeature").size();
        const auto questions = [&run] {
            int n = 0;
            for (const ui::WindowEvent& e : run.Window().Events())
                n += e.what == "confirm" ? 1 : 0;
            return n;
        };
        ASSERT_EQ(questions(), 1);

        run.Window().Click(ButtonOf(program));
        EXPECT_EQ(questions(), 2) << "not asked again";
        EXPECT_EQ(run.ExitStatus(), cmdline::kUpdated);
        EXPECT_TRUE(run.Window().IsUnloaded());
        // The second attempt sends what a good run sends, from the start of the sequence.
        UpdaterRun good(program, {});
        good.LoadAndClick();
        const std::vector<sim::Call> all = run.Bus().CallsNamed("HidD_SetFeature");
        const std::vector<sim::Call> expected = good.Bus().CallsNamed("HidD_SetFeature");
        ASSERT_EQ(all.size(), reportsBefore + expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(all[reportsBefore + i].bytes, expected[i].bytes) << "report " << i;
        // The simulated controller keeps what it held before a second transfer; the amplifier
        // starts over at its switch report, so it holds exactly the image again.
        if (program == Program::Ampflash) {
            EXPECT_EQ(run.Verdict(), "");
        }
        EXPECT_EQ(log.Lines().size(), 2u);
    }
}

TEST(ExitStatus, AClickWithNoDeviceSearchesAgainAndFindsOneThatCameSince) {
    for (Program program : {Program::Ampflash, Program::Wheelflash}) {
        SCOPED_TRACE(ButtonOf(program));
        UpdaterRun run(program, {});
        run.Device().Unplug();
        run.LoadAndClick();
        EXPECT_EQ(run.Window().Text(ButtonOf(program)), "Device not found");
        EXPECT_EQ(run.ExitStatus(), cmdline::kNoDevice);

        run.Device().Replug();
        run.Window().Click(ButtonOf(program));
        EXPECT_EQ(run.ExitStatus(), cmdline::kUpdated);
        EXPECT_EQ(run.Verdict(), "");
    }
}

}  // namespace
