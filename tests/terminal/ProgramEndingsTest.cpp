// How each ending of the real -sim updaters is told: started in a pseudo-terminal or with their
// output into a pipe, signalled at the question, during the transfer or while the device comes
// back, or read by `| head -3`; their status, their last words and their log line.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

namespace {

enum class Input { Terminal, NoTerminal };

struct EndingCase {
    const char* what;
    const char* program;
    std::vector<std::string> args;
    Input input;
    const char* signalWhen;  // the output that the signals follow; nullptr for none
    std::vector<int> signals;
    int linesRead;  // the reader of the output goes away after this many lines; 0: never
    int status;
    const char* says;    // in the output
    const char* logged;  // the outcome in the log line, or nullptr for no line
};

std::ostream& operator<<(std::ostream& out, const EndingCase& c) {
    return out << c.what;
}

constexpr auto kLimit = std::chrono::seconds(60);

struct Ending {
    std::string output;
    int status = -1;
    bool signalled = false;  // the signals were sent when their moment came
};

std::filesystem::path StateFolder() {
    return std::filesystem::temp_directory_path() /
           ("drivanta-endings-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
}

[[noreturn]] void Exec(const EndingCase& c) {
    setenv("XDG_STATE_HOME", StateFolder().c_str(), 1);
    setenv("TERM", "dumb", 1);
    std::vector<char*> argv{const_cast<char*>(c.program)};
    for (const std::string& arg : c.args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(c.program, argv.data());
    _exit(127);
}

// Starts the program; returns its pid and the descriptor its output is read from.
pid_t Start(const EndingCase& c, int* output) {
    if (c.input == Input::Terminal) {
        const pid_t pid = forkpty(output, nullptr, nullptr, nullptr);
        if (pid == 0)
            Exec(c);
        return pid;
    }
    int ends[2];
    if (pipe(ends) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        const int nothing = open("/dev/null", O_RDONLY);
        dup2(nothing, STDIN_FILENO);
        dup2(ends[1], STDOUT_FILENO);
        dup2(ends[1], STDERR_FILENO);
        close(ends[0]);
        Exec(c);
    }
    close(ends[1]);
    *output = ends[0];
    return pid;
}

std::size_t Count(const std::string& text, char c) {
    std::size_t n = 0;
    for (char x : text)
        n += x == c ? 1 : 0;
    return n;
}

Ending RunToItsEnd(const EndingCase& c) {
    Ending ending;
    int output = -1;
    const pid_t pid = Start(c, &output);
    if (pid < 0)
        return ending;
    bool& signalled = ending.signalled;
    signalled = c.signalWhen == nullptr;
    const auto deadline = std::chrono::steady_clock::now() + kLimit;
    while (output >= 0 && std::chrono::steady_clock::now() < deadline) {
        pollfd ready{output, POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0)
            continue;
        char buffer[4096];
        const ssize_t got = read(output, buffer, sizeof buffer);
        if (got <= 0)
            break;  // the end of the pipe, or EIO once the terminal's last writer is gone
        ending.output.append(buffer, static_cast<std::size_t>(got));
        if (!signalled && ending.output.find(c.signalWhen) != std::string::npos) {
            signalled = true;
            for (int signal : c.signals)
                kill(pid, signal);
            if (c.input == Input::Terminal)  // typed after Ctrl+C: never an answer
                static_cast<void>(write(output, "y\n", 2));
        }
        if (c.linesRead > 0 && Count(ending.output, '\n') >= std::size_t(c.linesRead)) {
            close(output);
            output = -1;
        }
    }
    if (output >= 0)
        close(output);
    int status = 0;
    if (std::chrono::steady_clock::now() >= deadline)
        kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    ending.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return ending;
}

std::vector<std::string> LogLines() {
    std::ifstream in(StateFolder() / "drivanta" / "simulated-updates.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class ProgramEndings : public ::testing::TestWithParam<EndingCase> {};

TEST_P(ProgramEndings, StatusWordsAndLogTellWhatHappened) {
    const EndingCase& c = GetParam();
    std::filesystem::remove_all(StateFolder());
    const Ending ending = RunToItsEnd(c);
    ASSERT_TRUE(ending.signalled) << "never saw " << c.signalWhen << " in\n" << ending.output;
    EXPECT_EQ(ending.status, c.status) << ending.output;
    if (c.linesRead == 0) {
        EXPECT_NE(ending.output.find(c.says), std::string::npos) << ending.output;
    }
    const std::vector<std::string> lines = LogLines();
    if (c.logged == nullptr) {
        EXPECT_TRUE(lines.empty()) << lines.front();
    } else {
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find(std::string("\"outcome\":\"") + c.logged + "\""), std::string::npos)
            << lines[0];
    }
    std::filesystem::remove_all(StateFolder());
}

const char kWheel[] = WHEELFLASH_SIM;
const char kAmp[] = AMPFLASH_SIM;
const char kQuestion[] = "Update? [y/N] ";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    SimulatedUpdaters, ProgramEndings,
    ::testing::Values(
        //         what, program, args, input, signals after, signals, lines read, status, says, logged
        EndingCase{"CtrlCAtTheQuestion", kWheel, {"--no-window"}, Input::Terminal, kQuestion,
                   {SIGINT}, 0, 5, "Cancelled.", nullptr},
        EndingCase{"SigtermAtTheQuestion", kWheel, {"--no-window"}, Input::Terminal, kQuestion,
                   {SIGTERM}, 0, 5, "Cancelled.", nullptr},
        EndingCase{"HangUpAtTheQuestion", kWheel, {"--no-window"}, Input::Terminal, kQuestion,
                   {SIGHUP}, 0, 5, "Cancelled.", nullptr},
        EndingCase{"NobodyToAsk", kWheel, {"--no-window"}, Input::NoTerminal, nullptr,
                   {}, 0, 5, "Cannot ask", nullptr},
        // Asked to close while the controller restarts for its image: the whole image still goes,
        // and the close is honoured once the update has ended.
        EndingCase{"SignalsWhileTheControllerComesBack", kWheel, {"--no-window", "--yes"},
                   Input::Terminal, "Please wait", {SIGINT, SIGINT, SIGTERM, SIGHUP}, 0, 0,
                   "received 300 records", "updated"},
        EndingCase{"ReaderGoneDuringTheTransfer", kWheel, {"--no-window", "--yes"},
                   Input::NoTerminal, nullptr, {}, 3, 0, "", "updated"},
        // The amplifier gets its whole image and its reset, and is waited for until it is back.
        EndingCase{"SignalsDuringTheTransfer", kAmp, {"--no-window", "--yes"},
                   Input::NoTerminal, "progress 10 %", {SIGHUP, SIGTERM}, 0, 0, "Resetting",
                   "updated"}),
    [](const ::testing::TestParamInfo<EndingCase>& info) { return info.param.what; });
// clang-format on

}  // namespace
