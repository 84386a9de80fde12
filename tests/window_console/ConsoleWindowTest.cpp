// The console realisation running the programs' own handlers on the simulated bus, where it
// differs from a window: the update starts by itself, the progress and captions are lines on
// standard error, Ctrl+C is a close request, and servodiag ticks until interrupted.
#include "window/console/ConsoleWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

#include "ampflash/Layout.h"
#include "ampflash/frmMain.h"
#include "cmdline/Launch.h"
#include "hidlink/sim/SimulatedBus.h"
#include "servodiag/ConsoleSetup.h"
#include "servodiag/DiagnosticsRun.h"
#include "servodiag/Layout.h"
#include "servodiag/frmMain.h"
#include "simdevices/Amplifier.h"
#include "simdevices/WheelController.h"

namespace {

// The terminal on the bus's virtual clock; "Ctrl+C" is pressed at the n-th question whether it
// was (counting from 1), or never.
struct Terminal {
    explicit Terminal(sim::VirtualClock& clock, std::string input = {}) : in(input), clock(clock) {}

    ui::ConsoleIo Io(bool terminal = false) {
        return ui::ConsoleIo{out,
                             err,
                             in,
                             terminal,
                             [this] { return clock.NowMs(); },
                             [this](int ms) {
                                 clock.Advance(ms);
                                 ++waits;
                                 if (atEachWait)
                                     atEachWait(clock.NowMs());
                                 if (readerGoneAtMs >= 0 && clock.NowMs() >= readerGoneAtMs)
                                     out.setstate(std::ios::badbit);
                             },
                             [this] {
                                 return ++questions >= interruptAtQuestion ||
                                        (interruptAtMs >= 0 && clock.NowMs() >= interruptAtMs);
                             },
                             outIsTerminal,
                             outHasColours,
                             true,
                             {}};
    }

    std::ostringstream out, err;
    std::istringstream in;
    sim::VirtualClock& clock;
    int waits = 0;
    int questions = 0;
    int interruptAtQuestion = 1 << 30;
    std::int64_t interruptAtMs = -1;
    std::int64_t readerGoneAtMs = -1;  // then writes to standard output fail, as into `| head`
    std::function<void(std::int64_t nowMs)> atEachWait;
    bool outIsTerminal = false;
    bool outHasColours = false;
};

std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(seed + i * 7 + i / 40);
    return bytes;
}

void Write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

struct AmpflashOnConsole : ::testing::Test {
    AmpflashOnConsole() {
        std::filesystem::create_directories(chosen.parent_path());
        bus.SetProgramDirectory(directory.string());
        bus.AddDevice(amplifier);
        Write(directory / ampflash::kImageFileName, Pattern(4000, 1));
        Write(chosen, Pattern(2407, 99));  // 60 whole records and a 7-byte tail
    }
    ~AmpflashOnConsole() override { std::filesystem::remove_all(directory); }

    int Run(Terminal& terminal, bool onTerminal = false, bool yes = true) {
        cmdline::Options options;
        options.yes = yes;
        ui::ConsoleWindow window(ampflash::AmpflashLayout(),
                                 cmdline::UpdaterConsole(options, "btnUpgradeFW"),
                                 terminal.Io(onTerminal));
        ampflash::frmMain form(window, bus, chosen.string());
        return cmdline::RunForm(window, form);
    }

    // One folder per test: ctest runs the tests of this fixture side by side.
    std::filesystem::path directory =
        std::filesystem::temp_directory_path() /
        ("drivanta-console-test-" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::path chosen = directory / "chosen" / "amp-new.bin";
    sim::VirtualClock clock;
    sim::SimulatedBus bus{clock};
    std::shared_ptr<simdevices::Amplifier> amplifier = std::make_shared<simdevices::Amplifier>();
};

TEST_F(AmpflashOnConsole, UpdatesWithTheChosenImageAndPrintsEachTenthOnce) {
    Terminal terminal(clock);
    EXPECT_EQ(Run(terminal), 0);

    const std::vector<std::uint8_t> image = Pattern(2407, 99);
    EXPECT_EQ(amplifier->ReceivedImage(),
              std::vector<std::uint8_t>(image.begin(), image.begin() + 2400));
    EXPECT_EQ(bus.HandleProblems(), std::vector<std::string>{});
    // The question, answered by --yes, then the update's captions.
    std::vector<std::string> err = Lines(terminal.err.str());
    const auto answered = std::find(err.begin(), err.end(), "Answered yes (--yes).");
    ASSERT_NE(answered, err.end()) << terminal.err.str();
    EXPECT_NE(terminal.err.str().find("amp-new.bin, 2407 bytes, 60 records"), std::string::npos);
    err.erase(err.begin(), answered + 1);
    EXPECT_EQ(err, (std::vector<std::string>{
                       "Switching to bootloader...", "Updating firmware...", "progress 10 %",
                       "progress 20 %", "progress 30 %", "progress 40 %", "progress 50 %",
                       "progress 60 %", "progress 70 %", "progress 80 %", "progress 90 %",
                       "Resetting...", "progress 100 %", "Update complete: version 2.4"}));
    const std::string out = terminal.out.str();
    EXPECT_EQ(out.rfind("Manufacturer:  ", 0), 0u) << out;
    EXPECT_NE(out.find("Now:\n"), std::string::npos) << out;
}

TEST_F(AmpflashOnConsole, RedrawsTheBarInPlaceOnATerminal) {
    Terminal terminal(clock);
    EXPECT_EQ(Run(terminal, true), 0);
    const std::string err = terminal.err.str();
    EXPECT_NE(err.find("\r[###############...............] 50 %"), std::string::npos);
    // The bar's line is ended before the next caption.
    EXPECT_NE(err.find(" %\nResetting...\n"), std::string::npos) << err;
}

TEST_F(AmpflashOnConsole, CtrlCDuringTheUpdateWaitsForItsEnd) {
    Terminal terminal(clock);
    terminal.interruptAtQuestion = 3;  // after the update started (before the click, the question)
    // The close is honoured once the update has ended, the amplifier back.
    EXPECT_EQ(Run(terminal), cmdline::kUpdated);
    EXPECT_EQ(amplifier->ReceivedRecords(), 60u);
    EXPECT_EQ(bus.HandleProblems(), std::vector<std::string>{});
}

TEST_F(AmpflashOnConsole, NoAtTheQuestionSendsNothingAndEndsWithFive) {
    for (const char* answer : {"n\n", "\n", ""}) {
        Terminal terminal(clock, answer);
        EXPECT_EQ(Run(terminal, false, false), cmdline::kCancelled) << answer;
        EXPECT_EQ(bus.CallsNamed("HidD_SetFeature").size(), 0u) << answer;
        EXPECT_EQ(amplifier->CurrentMode(), simdevices::Amplifier::Mode::Application);
        EXPECT_EQ(bus.HandleProblems(), std::vector<std::string>{});
    }
}

TEST_F(AmpflashOnConsole, CtrlCBeforeTheUpdateSendsNothing) {
    Terminal terminal(clock);
    terminal.interruptAtQuestion = 1;
    EXPECT_EQ(Run(terminal), cmdline::kCancelled);  // nothing was updated
    EXPECT_EQ(bus.CallsNamed("HidD_SetFeature").size(), 0u);
    EXPECT_EQ(bus.HandleProblems(), std::vector<std::string>{});
}

TEST(ServodiagOnConsole, TicksOnItsCadenceUntilInterrupted) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    bus.AddDevice(simdevices::MakeDiagnosticsWheel());
    Terminal terminal(clock);
    ui::ConsoleWindow window(servodiag::ServodiagLayout(), cmdline::ServodiagConsole(),
                             terminal.Io());
    servodiag::frmMain form(window, bus);
    int ticks = 0;
    std::int64_t firstTickAt = -1;
    form.OnStatus([&](const std::uint8_t*) {
        ++ticks;
        if (firstTickAt < 0)
            firstTickAt = clock.NowMs();
        // Ctrl+C after the fifth reading.
        if (ticks == 5)
            terminal.interruptAtQuestion = terminal.questions + 1;
    });

    EXPECT_EQ(window.Run(form), 0);
    EXPECT_EQ(ticks, 5);
    EXPECT_EQ(clock.NowMs() - firstTickAt, 4 * 200);
    EXPECT_TRUE(window.IsUnloaded());
    EXPECT_EQ(bus.HandleProblems(), std::vector<std::string>{});
    EXPECT_NE(terminal.out.str().find("Serial number:  DV2W-004817\n"), std::string::npos);
}

// servodiag as main() runs it without a window, on a wheel controller pulled out after a second.
struct ServodiagWithoutWindow : ::testing::Test {
    ServodiagWithoutWindow() {
        wheel->PlanUnplug(1000, -1);
        bus.AddDevice(wheel);
    }

    int Run(const std::string& recordPath = "") {
        ui::ConsoleSetup setup = cmdline::ServodiagConsole();
        servodiag::AddSettingsAndStatus(setup, readout);
        ui::ConsoleWindow window(servodiag::ServodiagLayout(), setup, terminal.Io());
        servodiag::frmMain form(window, bus);
        const int status = servodiag::RunDiagnostics(window, form, recordPath, readout, true);
        stateLine = window.Text("lblDeviceState");
        EXPECT_TRUE(window.IsUnloaded());
        EXPECT_EQ(bus.HandleProblems(), std::vector<std::string>{});
        return status;
    }

    sim::VirtualClock clock;
    sim::SimulatedBus bus{clock};
    Terminal terminal{clock};
    servodiag::StatusReadout readout{[this] { return clock.NowMs(); }};
    std::string stateLine;  // as the run left it
    std::shared_ptr<simdevices::WheelController> wheel =
        std::make_shared<simdevices::WheelController>(
            simdevices::WheelControllerOptions{.productId = 0x1020});
};

TEST_F(ServodiagWithoutWindow, RedrawsTheStatusInPlaceAndSaysSinceWhenTheDeviceIsSilent) {
    terminal.outIsTerminal = terminal.outHasColours = true;
    terminal.interruptAtMs = 2500;
    EXPECT_EQ(Run(), 0);

    const std::string out = terminal.out.str();
    EXPECT_NE(out.find("Settings:\n  Centre offset:        -1250 counts\n"), std::string::npos);
    // Each block but the first is drawn over the one before; the title saying the device is not
    // responding, and why the values stay, lead the block: nothing piles up above it.
    const std::string up = "\x1b[11A";
    const std::size_t firstBlock = out.find("Device:            ok");
    ASSERT_NE(firstBlock, std::string::npos) << out;
    EXPECT_EQ(out.find(up), out.find(up, firstBlock));
    EXPECT_EQ(out.find("A\x1b[J"), std::string::npos) << "a block taken away";
    EXPECT_NE(out.find("E-STOP:            \x1b[32mOK\x1b[0m"), std::string::npos);
    EXPECT_EQ(terminal.err.str().find("not responding"), std::string::npos) << terminal.err.str();
    // The last block: ticks every 200 ms from 300 ms (after the identity's pauses), the last
    // reading at 900 ms, before the cable was pulled, and the last tick at 2300 ms.
    const std::string last = out.substr(out.rfind("\x1b[13A"));
    EXPECT_NE(last.find(" \u2014 not responding\x1b[K\n  The values shown are the last"),
              std::string::npos)
        << last;
    EXPECT_NE(last.find("\x1b[31mnot responding, last good reading 1.4 s ago\x1b[0m"),
              std::string::npos)
        << last;
    EXPECT_NE(last.find("E-STOP:            \x1b[2;32mOK"), std::string::npos) << last;
}

TEST_F(ServodiagWithoutWindow, PrintsALinePerReadingIntoAPipeAndEndsWhenItsReaderGoesAway) {
    terminal.readerGoneAtMs = 1000;
    EXPECT_EQ(Run(), 0);

    const std::vector<std::string> lines = Lines(terminal.out.str());
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[4].rfind("Settings: Centre offset -1250 counts, Overall damping 40, ", 0), 0u);
    for (std::size_t i = 5; i < lines.size(); ++i)
        EXPECT_NE(lines[i].find(" ok position_counts="), std::string::npos) << lines[i];
    EXPECT_EQ(terminal.out.str().find('\x1b'), std::string::npos);
    // Nothing after the reader left: no tick, so no failed reading either.
    EXPECT_LE(clock.NowMs(), 1200);
}

#ifndef _WIN32  // Windows refuses to delete a file held open
// Rows written into a file nobody can open any more are lost: the run says so and ends.
TEST_F(ServodiagWithoutWindow, ARecordingDeletedMeanwhileEndsTheRunWithSeven) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "drivanta-deleted-recording.csv";
    terminal.interruptAtMs = 2500;
    terminal.atEachWait = [&](std::int64_t nowMs) {
        if (nowMs >= 500)
            std::filesystem::remove(path);
    };
    EXPECT_EQ(Run(path.string()), cmdline::kRecordFailed);
    EXPECT_EQ(stateLine.rfind("Recording stopped: ", 0), 0u) << stateLine;
    EXPECT_NE(stateLine.find("deleted"), std::string::npos) << stateLine;
}
#endif

TEST_F(ServodiagWithoutWindow, ShowsADevicePluggedInLaterAtOnce) {
    wheel->PlanUnplug(0, 1500);
    terminal.interruptAtMs = 2500;
    EXPECT_EQ(Run(), 0);

    const std::string out = terminal.out.str();
    const std::size_t found = out.find("Manufacturer:   Drivanta\n");
    EXPECT_EQ(out.rfind("No device found.\n", 0), 0u) << out;
    ASSERT_NE(found, std::string::npos) << out;
    EXPECT_NE(out.find("Settings: Centre offset -1250 counts", found), std::string::npos);
    EXPECT_EQ(out.find("Now:"), std::string::npos);
}

struct AnswerCase {
    const char* what;
    std::string input;
    bool assumeYes;
    bool confirmed;
    bool inIsTerminal = true;
    bool interrupted = false;        // Ctrl+C while the question waits
    std::string says = "";           // the end of what was printed
    bool interruptedBefore = false;  // a signal came before the question
};

std::ostream& operator<<(std::ostream& out, const AnswerCase& c) {
    return out << c.what;
}

class ConfirmTest : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(ConfirmTest, OnlyYesGoesOn) {
    sim::VirtualClock clock;
    Terminal terminal(clock, GetParam().input);
    ui::ConsoleSetup setup;
    setup.assumeYes = GetParam().assumeYes;
    if (GetParam().interruptedBefore)
        terminal.interruptAtQuestion = 1;
    ui::ConsoleIo io = terminal.Io();
    io.inIsTerminal = GetParam().inIsTerminal;
    if (GetParam().interrupted)
        io.readAnswer = [] { return std::optional<std::string>(); };
    ui::ConsoleWindow window(ampflash::AmpflashLayout(), setup, io);
    EXPECT_EQ(window.Confirm("Update DV2A-010342 with amp.bin?", "Update"), GetParam().confirmed);
    const std::string err = terminal.err.str();
    EXPECT_EQ(err.rfind("Update DV2A-010342 with amp.bin?\n", 0), 0u);
    const std::string& says = GetParam().says;
    EXPECT_EQ(err.substr(err.size() - std::min(err.size(), says.size())), says) << err;
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ConfirmTest,
    ::testing::Values(AnswerCase{"y", "y\n", false, true}, AnswerCase{"Yes", "Yes\n", false, true},
                      AnswerCase{"Return alone is no", "\n", false, false},
                      AnswerCase{"n", "n\n", false, false, true, false, "Cancelled.\n"},
                      AnswerCase{"a space before y", " y\n", false, false},
                      AnswerCase{"end of input", "", false, false},
                      AnswerCase{"--yes reads nothing", "", true, true},
                      AnswerCase{"no terminal to ask on", "y\n", false, false, false, false,
                                 "Cannot ask: standard input is not a "
                                 "terminal (--yes answers for a script).\n"
                                 "Cancelled.\n"},
                      AnswerCase{"no terminal, but --yes", "", true, true, false},
                      AnswerCase{"Ctrl+C at the question", "y\n", false, false, true, true,
                                 "\nCancelled.\n"},
                      AnswerCase{"--yes after a signal", "", true, false, false, false,
                                 "Interrupted.\nCancelled.\n", true},
                      AnswerCase{"y typed after a signal", "y\n", false, false, true, false,
                                 "Interrupted.\nCancelled.\n", true}));

// What a button says reaches standard error once, whole: not a shortened caption before its
// whole text, nor the button's own caption put back.
struct CaptionCase {
    const char* what;
    std::vector<std::pair<std::string, std::string>> shown;  // {caption, tooltip}
    std::vector<std::string> printed;
};

class CaptionForm : public ui::FormHandlers {
  public:
    CaptionForm(ui::Window& window, std::vector<std::pair<std::string, std::string>> shown)
        : window_(window), shown_(std::move(shown)) {}
    void Form_Load() override {}
    void Click(const std::string& button) override {
        for (const auto& [caption, toolTip] : shown_) {
            window_.SetText(button, caption);
            window_.SetToolTip(button, toolTip);
        }
    }
    void Form_Unload() override {}

  private:
    ui::Window& window_;
    std::vector<std::pair<std::string, std::string>> shown_;
};

// A device's strings in the identity fields cannot drive the terminal.
class IdentityForm : public ui::FormHandlers {
  public:
    explicit IdentityForm(ui::Window& window) : window_(window) {}
    void Form_Load() override {
        window_.SetText("lblProduct", " Amp\x1b[2J\tfake\nSerial number:  X");
    }
    void Click(const std::string&) override {}
    void Form_Unload() override {}

  private:
    ui::Window& window_;
};

TEST(ConsoleIdentity, ControlCharactersInDeviceStringsAreShownEscaped) {
    sim::VirtualClock clock;
    Terminal terminal(clock);
    ui::ConsoleWindow window(ampflash::AmpflashLayout(), cmdline::UpdaterConsole({}, ""),
                             terminal.Io());
    IdentityForm form(window);
    window.Run(form);
    EXPECT_NE(terminal.out.str().find("Product:        Amp\\x1b[2J\\tfake\\nSerial number:  X\n"),
              std::string::npos)
        << terminal.out.str();
}

TEST(ConsoleCaptions, PrintsWhatTheButtonSaysOnceAndWhole) {
    const std::string whole = "Not the wheel controller's image: it holds amplifier records";
    const std::vector<CaptionCase> cases = {
        {"shortened", {{"Not the wheel controller's imag...", whole}}, {whole}},
        {"the button's own caption back",
         {{"Updating firmware...", ""}, {"Upgrade Firmware", ""}},
         {"Updating firmware..."}},
        {"a caption with help beside it",
         {{"Device access refused", "Install the udev rule."}},
         {"Device access refused", "  Install the udev rule."}},
        {"two in a row",
         {{"Cannot read...", "Cannot read: gone"}, {"Done", ""}},
         {"Cannot read: gone", "Done"}},
    };
    for (const CaptionCase& c : cases) {
        SCOPED_TRACE(c.what);
        sim::VirtualClock clock;
        Terminal terminal(clock);
        ui::ConsoleSetup setup = cmdline::UpdaterConsole({}, "btnUpgradeFW");
        ui::ConsoleWindow window(ampflash::AmpflashLayout(), setup, terminal.Io());
        CaptionForm form(window, c.shown);
        window.Run(form);
        EXPECT_EQ(Lines(terminal.err.str()), c.printed);
    }
}

}  // namespace
