// An update log that cannot be written is said in the window, and changes neither the update's
// outcome nor its status; and files in folders named in any script: the log from the user's
// state folder, the image from the command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "ampflash/Layout.h"
#include "ampflash/frmMain.h"
#include "cmdline/CommandLine.h"
#include "cmdline/Launch.h"
#include "common/FileAccess.h"
#include "common/PathText.h"
#include "common/SystemText.h"
#include "tests/fault_matrix/UpdaterRun.h"
#include "updater/UpdateLog.h"
#include "window/console/ConsoleWindow.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using fault_matrix::Fault;
using fault_matrix::Program;
using fault_matrix::RunSetup;
using fault_matrix::UpdaterRun;

namespace fs = std::filesystem;

// A folder of its own, named in Cyrillic and CJK letters, removed afterwards.
class ScratchFolder {
  public:
    explicit ScratchFolder(const std::string& name)
        : path_(fs::temp_directory_path() /
                fs::path(std::u8string(name.begin(), name.end()) + u8"-Пользователь-用户")) {
        fs::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    // In UTF-8, as the programs hold paths.
    std::string Utf8(const std::string& below = "") const {
        const fs::path file = path_ / fs::path(std::u8string(below.begin(), below.end()));
        const std::u8string text = (below.empty() ? path_ : file).u8string();
        return std::string(text.begin(), text.end());
    }

  private:
    fs::path path_;
};

std::string Lines(const std::string& path) {
    std::optional<common::File> file = common::File::OpenForReading(path);
    std::string text(1 << 16, '\0');
    const long long got = file ? file->Read(text.data(), text.size()) : -1;
    return got < 0 ? "" : text.substr(0, static_cast<std::size_t>(got));
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

struct LogCase {
    const char* what;
    // Makes the log path of the run; the run itself may break it midway.
    std::function<std::string(const ScratchFolder& folder, RunSetup& setup)> logPath;
    std::vector<Fault> faults;
    int status;
    bool logWritten;
};

const LogCase kLogCases[] = {
    {"a writable log",
     [](const ScratchFolder& f, RunSetup&) { return f.Utf8("updates.log"); },
     {},
     cmdline::kUpdated,
     true},
    {"the log's folder cannot be made: a file holds its name",
     [](const ScratchFolder& f, RunSetup&) {
         static_cast<void>(common::File::CreateEmptied(f.Utf8("state")));
         return f.Utf8("state/drivanta/updates.log");
     },
     {},
     cmdline::kUpdated,
     false},
    {"the log turns into a folder once the update has begun",
     [](const ScratchFolder& f, RunSetup& setup) {
         const std::string log = f.Utf8("updates.log");
         setup.during = [log](UpdaterRun& run, std::int64_t) {
             if (run.Bus().CallsNamed("HidD_SetFeature").size() >= 1 && run.scenarioMark < 0) {
                 run.scenarioMark = 1;
                 fs::path path(std::u8string(log.begin(), log.end()));
                 fs::remove(path);
                 fs::create_directories(path);
             }
         };
         static_cast<void>(common::File::CreateEmptied(log));
         return log;
     },
     {},
     cmdline::kUpdated,
     false},
    {"a failed update and a log that cannot be made",
     [](const ScratchFolder& f, RunSetup&) {
         static_cast<void>(common::File::CreateEmptied(f.Utf8("state")));
         return f.Utf8("state/updates.log");
     },
     {{"HidD_SetFeature", 2}},
     cmdline::kUpdateFailed,
     false},
#ifndef _WIN32
    {"a full disk",
     [](const ScratchFolder&, RunSetup&) { return "/dev/full"; },
     {},
     cmdline::kUpdated,
     false},
#endif
};

TEST(LogProblem, IsSaidInTheWindowAndChangesNoOutcome) {
    for (Program program : {Program::Ampflash, Program::Wheelflash}) {
        // wheelflash tells the outcome on either of its buttons.
        const std::vector<std::string> buttons =
            program == Program::Ampflash ? std::vector<std::string>{"btnUpgradeFW"}
                                         : std::vector<std::string>{"Command2", "Command4"};
        for (const LogCase& c : kLogCases) {
            SCOPED_TRACE(buttons[0] + ", " + c.what);
            ScratchFolder folder("log");
            RunSetup setup;
            setup.logPath = c.logPath(folder, setup);
            UpdaterRun run(program, setup, c.faults);
            testing::internal::CaptureStderr();
            run.LoadAndClick();
            // Said on standard error too, once: a window closed at once is never read.
            const std::string err = testing::internal::GetCapturedStderr();
            EXPECT_EQ(Occurrences(err, "Update log not written: "), c.logWritten ? 0 : 1) << err;
            EXPECT_EQ(run.ExitStatus(), c.status);
            EXPECT_EQ(run.RecordsHeld() == 3, c.status == cmdline::kUpdated);
            const std::string title = run.Window().Title();
            std::string toolTip;
            std::string captions;
            for (const std::string& button : buttons) {
                toolTip += run.Window().Control(button).toolTip;
                captions += run.Window().Text(button) + "|";
            }
            if (c.logWritten) {
                EXPECT_NE(Lines(setup.logPath).find("\"outcome\":\"updated\""), std::string::npos);
                EXPECT_EQ(title.find(updater::kLogNotWritten), std::string::npos);
                EXPECT_TRUE(run.Window().IsUnloaded());
                continue;
            }
            EXPECT_NE(title.find(updater::kLogNotWritten), std::string::npos) << title;
            EXPECT_NE(toolTip.find("Update log not written: " + common::ShownPath(setup.logPath)),
                      std::string::npos)
                << toolTip;
            // The caption still says how the update ended; the window waits to be read.
            EXPECT_EQ(captions.find("Update complete") != std::string::npos,
                      c.status == cmdline::kUpdated)
                << captions;
            EXPECT_FALSE(run.Window().IsUnloaded());
        }
    }
}

// Environment variables as the programs find them: UTF-8 everywhere, UTF-16 under Windows, where
// the process's own block is what a user's folder named in any script reaches it through. Nothing
// unsets.
void SetEnvironment(const char* name, const std::optional<std::string>& value) {
#ifdef _WIN32
    SetEnvironmentVariableW(common::Utf16(name).c_str(),
                            value ? common::Utf16(*value).c_str() : nullptr);
#else
    if (value)
        setenv(name, value->c_str(), 1);
    else
        unsetenv(name);
#endif
}

// The state folder and the image's folder named in letters no ANSI code page holds together: the
// image is found, the device updated and the update logged where the user's state folder is.
TEST(LogProblem, FoldersNamedInAnyScriptAreFoundAndLoggedIn) {
    ScratchFolder state("state");
    ScratchFolder images("images");
#ifdef _WIN32
    const char* stateVariable = "LOCALAPPDATA";
#else
    const char* stateVariable = "XDG_STATE_HOME";
#endif
    const std::optional<std::string> saved = common::EnvironmentText(stateVariable);
    SetEnvironment(stateVariable, state.Utf8());
    const std::string logPath = updater::UpdateLogPath();
    SetEnvironment(stateVariable, saved);
    ASSERT_EQ(logPath.rfind(state.Utf8(), 0), 0u) << logPath;

    const std::string image = images.Utf8("Прошивка 固件.bin");
    ASSERT_TRUE(common::File::CreateEmptied(image)->WriteAll(std::string(3 * 40, '\x5A')));
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    auto amplifier = std::make_shared<simdevices::Amplifier>(simdevices::AmplifierOptions{});
    bus.AddDevice(amplifier);
    ui::HeadlessWindow window(ampflash::AmpflashLayout());
    window.AnswerConfirmation = [](const std::string&) { return true; };
    ampflash::frmMain form(window, bus, image, logPath);
    window.Load(form);
    window.Click("btnUpgradeFW");
    EXPECT_EQ(form.ExitStatus(), cmdline::kUpdated) << window.Text("btnUpgradeFW");
    const std::string logged = Lines(logPath);
    EXPECT_NE(logged.find("\"outcome\":\"updated\""), std::string::npos) << logged;
    EXPECT_NE(logged.find("Прошивка 固件.bin"), std::string::npos) << logged;
}

// The programs' own RunForm runs this window: its loop is one click on the update button.
class ClickingWindow : public ui::HeadlessWindow {
  public:
    using HeadlessWindow::HeadlessWindow;
    int Run(ui::FormHandlers& handlers) override {
        Load(handlers);
        Click("btnUpgradeFW");
        return 0;
    }
};

struct EndingCase {
    const char* what;
    std::size_t afterReports;  // reports sent (the switch, then records) when Windows says so
    // The update cannot go on before the process is ended (a long transfer): the window's thread
    // waits for the handler, as it would never run again.
    bool transferOutlastsGrace;
    std::chrono::milliseconds grace;
    const char* logged;
};

// Windows ends the process soon after its console is closed (or the session ends): the handler,
// on a thread of its own, lets an update about to end log its own line, and otherwise logs the
// attempt once at the record it reached.
TEST(LogProblem, AProcessEndedFromOutsideLogsEachAttemptOnce) {
    const EndingCase cases[] = {
        {"mid-transfer", 3, true, std::chrono::milliseconds(20),
         "\"outcome\":\"interrupted\",\"failure\":\"the console was closed at record 2 of 3\""},
        {"in the last moments", 4, false, updater::kEndingGrace, "\"outcome\":\"updated\""},
    };
    for (const EndingCase& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder("closed");
        const std::string logPath = folder.Utf8("updates.log");
        sim::VirtualClock clock;
        sim::SimulatedBus bus(clock);
        bus.AddDevice(std::make_shared<simdevices::Amplifier>(simdevices::AmplifierOptions{}));
        const std::string image = folder.Utf8("servoamp.bin");
        ASSERT_TRUE(common::File::CreateEmptied(image)->WriteAll(std::string(3 * 40, '\x5A')));
        ClickingWindow window(ampflash::AmpflashLayout());
        window.AnswerConfirmation = [](const std::string&) { return true; };
        ampflash::frmMain form(window, bus, image, logPath);
        std::thread handler;
        bool told = false;
        std::atomic<bool> handlerIn{false};
        window.OnProcessEvents = [&](int) {
            if (told || bus.CallsNamed("HidD_SetFeature").size() != c.afterReports)
                return;
            told = true;
            handler = std::thread([] { ui::ProcessEnding("the console was closed"); });
            if (c.transferOutlastsGrace) {
                handler.join();
                return;
            }
            // The update goes on once the handler is in: with the grace it waits for the update's
            // own line; without it, it would find the attempt under way and log it interrupted.
            while (!handlerIn)
                std::this_thread::yield();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        };
        cmdline::RunForm(window, form, [&](const std::string& cause) {
            handlerIn = true;
            form.LogInterrupted(cause, c.grace);
        });
        if (handler.joinable())
            handler.join();
        const std::string logged = Lines(logPath);
        EXPECT_EQ(std::count(logged.begin(), logged.end(), '\n'), 1) << logged;
        EXPECT_NE(logged.find(c.logged), std::string::npos) << logged;
    }
}

}  // namespace
