// The three programs' command line: what it asks for, and what --help, --version and a wrong
// usage print. Pure: the programs' main()s act on the result.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cmdline {

enum class Program { Servodiag, Ampflash, Wheelflash };

struct ProgramInfo {
    Program program = Program::Servodiag;
    bool simulated = false;  // the -sim build, on simulated devices
};

// The statuses a program exits with, the same with and without a window.
enum ExitStatus : int {
    kUpdated = 0,  // for servodiag: it ran and a device answered a status read
    kUpdateFailed = 1,
    kWrongUsage = 2,
    kNoDevice = 3,
    kImageRejected = 4,
    kCancelled = 5,  // the updaters: nothing was updated (no, a close, an interruption)
    kNoDisplay = 6,
    kRecordFailed = 7,  // servodiag: the --record file could not be written, or was deleted
    kNotSeenBack = 8,   // the updaters: the image was sent, but closed before the device came back
    kNoStatus = 9,      // servodiag: a device was found, but it answered no status read
};

// The status of a run in which `later` happened after `earlier`: an update attempted outranks
// any later pick, cancel or close, a failure most of all (the device may be half written, and a
// success on another device does not mend it); among outcomes without an attempt, the later one
// tells. Only the updater knows when a retry updated the device that failed.
int MostSerious(int earlier, int later);

enum class Action { Run, Help, Version, WrongUsage };

struct Options {
    Action action = Action::Run;
    std::string problem;  // what was wrong, for Action::WrongUsage
    bool noWindow = false;
    bool yes = false;                // the updaters: answer the confirmation with yes
    bool force = false;              // the updaters: with yes, also send a file that looks wrong
    std::string imagePath;           // the updaters: empty = the image beside the program
    std::string recordPath;          // servodiag: empty = no recording
    std::string replayPath;          // servodiag: a recording to show instead of a device
    std::string capturePath;         // every platform call of the run, written there; or none
    bool captureAnonymous = false;   // serial numbers in the capture replaced by placeholders
    std::optional<double> unplugAt;  // servodiag-sim: seconds after start
    std::optional<double> replugAt;
    // Which device, where several match: listed, or picked by serial number or USB port.
    bool list = false;
    std::string serial;
    std::string port;
    // The -sim programs: the devices on the simulated bus, in enumeration order ("amplifier",
    // "controller", "base"); empty for the program's own device alone.
    std::vector<std::string> simDevices;
};

Options ParseCommandLine(const ProgramInfo& info, const std::vector<std::string>& args);

std::string ProgramName(const ProgramInfo& info);
std::string UsageLine(const ProgramInfo& info);
// `updateLogPath` is where the updaters append their log (named by the updaters' help only).
std::string HelpText(const ProgramInfo& info, const std::string& updateLogPath);
std::string VersionText(const ProgramInfo& info);

// What --help, --version and a wrong usage print, and the status the program then exits with.
struct Answer {
    int status = 0;
    std::string out;  // for standard output
    std::string err;  // for standard error
};
// Nothing when the options ask the program to run.
std::optional<Answer> AnswerWithoutRunning(const ProgramInfo& info, const Options& options,
                                           const std::string& updateLogPath);

}  // namespace cmdline
