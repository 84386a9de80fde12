#include "cmdline/CommandLine.h"

#include <algorithm>
#include <cstdlib>

namespace cmdline {

namespace {

bool IsUpdater(const ProgramInfo& info) {
    return info.program != Program::Servodiag;
}

Options WrongUsage(std::string problem) {
    Options options;
    options.action = Action::WrongUsage;
    options.problem = std::move(problem);
    return options;
}

// "amplifier,controller,base,..." as kinds, or nothing when a kind is not one of these.
std::optional<std::vector<std::string>> SimulatedDevices(const std::string& text) {
    std::vector<std::string> kinds;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        std::string kind = text.substr(start, comma - start);
        if (kind != "amplifier" && kind != "controller" && kind != "base")
            return std::nullopt;
        kinds.push_back(std::move(kind));
        start = comma + 1;
    }
    return kinds;
}

// Seconds as a non-negative decimal number, or nothing.
std::optional<double> Seconds(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !(value >= 0) || value > 1e6)
        return std::nullopt;
    return value;
}

}  // namespace

std::string ProgramName(const ProgramInfo& info) {
    std::string name = info.program == Program::Servodiag  ? "servodiag"
                       : info.program == Program::Ampflash ? "ampflash"
                                                           : "wheelflash";
    return info.simulated ? name + "-sim" : name;
}

std::string UsageLine(const ProgramInfo& info) {
    std::string line = "usage: " + ProgramName(info) +
                       " [--help] [--version] [--list] [--serial S] [--port P] [--no-window]";
    if (IsUpdater(info))
        line += " [--yes [--force]]";
    else
        line += " [--record FILE.csv | --replay FILE.csv]";
    line += " [--capture FILE [--capture-anonymous]]";
    if (info.simulated)
        line += " [--sim-devices KIND,...]";
    if (info.simulated && !IsUpdater(info))
        line += " [--unplug-at SECONDS [--replug-at SECONDS]]";
    return IsUpdater(info) ? line + " [IMAGE]" : line;
}

namespace {

// Splits "--option=value" into the option and its attached value.
std::optional<std::string> SplitAttachedValue(std::string& arg) {
    const std::size_t equals = arg.find('=');
    if (arg.rfind("--", 0) != 0 || equals == std::string::npos)
        return std::nullopt;
    std::string value = arg.substr(equals + 1);
    arg.resize(equals);
    return value;
}

// What is wrong with options that are each right alone; empty when nothing is.
std::string CombinationProblem(const Options& options) {
    if (options.yes && !options.noWindow)
        return "--yes goes with --no-window (the window asks for itself)";
    if (options.force && !options.yes)
        return "--force goes with --yes (a question shows its warning)";
    if (!options.replayPath.empty() &&
        (options.noWindow || !options.recordPath.empty() || options.list ||
         !options.serial.empty() || !options.port.empty()))
        return "--replay shows a recording in the window, with no device: it goes with no "
               "--no-window, --record, --list, --serial or --port";
    if (options.captureAnonymous && options.capturePath.empty())
        return "--capture-anonymous goes with --capture";
    if (!options.capturePath.empty() && !options.replayPath.empty())
        return "--capture writes the calls made to a device, and --replay uses none";
    if (options.replugAt && !options.unplugAt)
        return "--replug-at needs --unplug-at";
    if (options.replugAt && *options.replugAt <= *options.unplugAt)
        return "--replug-at must come after --unplug-at";
    return {};
}

}  // namespace

namespace {

struct OptionShape {
    const char* name;
    bool takesValue;
};

// The options this program knows: each program only its own, so that an option meant for
// another is named as unknown rather than half understood.
std::vector<OptionShape> KnownOptions(const ProgramInfo& info) {
    std::vector<OptionShape> known{
        {"--help", false},      {"-h", false},       {"--version", false},
        {"--no-window", false}, {"--list", false},   {"--serial", true},
        {"--port", true},       {"--capture", true}, {"--capture-anonymous", false}};
    if (IsUpdater(info)) {
        known.push_back({"--yes", false});
        known.push_back({"--force", false});
    } else {
        known.push_back({"--record", true});
        known.push_back({"--replay", true});
    }
    if (info.simulated)
        known.push_back({"--sim-devices", true});
    if (info.simulated && !IsUpdater(info)) {
        known.push_back({"--unplug-at", true});
        known.push_back({"--replug-at", true});
    }
    return known;
}

const OptionShape* FindOption(const std::vector<OptionShape>& known, const std::string& name) {
    for (const OptionShape& option : known) {
        if (name == option.name)
            return &option;
    }
    return nullptr;
}

// A separate value that starts with "-" is almost always a forgotten value followed by the next
// option (`--record --no-window`); attached with "=" it is taken as written.
bool LooksLikeAnOption(const std::string& value) {
    return value.size() > 1 && value[0] == '-';
}

// Acts on one known option other than --help and --version, with its value; returns what is
// wrong with the value, or "" when nothing is.
std::string TakeOption(std::string arg, const std::string& value, Options& options) {
    if (arg == "--no-window") {
        options.noWindow = true;
    } else if (arg == "--list") {
        options.list = true;
    } else if (arg == "--capture-anonymous") {
        options.captureAnonymous = true;
    } else if (arg == "--yes") {
        options.yes = true;
    } else if (arg == "--force") {
        options.force = true;
    } else if (arg == "--serial" || arg == "--port") {
        if (value.empty())
            return arg + " needs a value";
        (arg == "--serial" ? options.serial : options.port) = value;
    } else if (arg == "--sim-devices") {
        const auto kinds = SimulatedDevices(value);
        if (!kinds)
            return "--sim-devices takes amplifier, controller and base, separated by commas, "
                   "not \"" +
                   value + "\"";
        options.simDevices = *kinds;
    } else if (arg == "--capture") {
        if (value.empty())
            return arg + " needs a file name";
        options.capturePath = value;
    } else if (arg == "--record" || arg == "--replay") {
        if (value.empty())
            return arg + " needs a file name";
        (arg == "--record" ? options.recordPath : options.replayPath) = value;
    } else {  // --unplug-at or --replug-at
        const std::optional<double> seconds = Seconds(value);
        if (!seconds)
            return arg.append(" needs a number of seconds, not \"").append(value).append("\"");
        (arg == "--unplug-at" ? options.unplugAt : options.replugAt) = seconds;
    }
    return {};
}

}  // namespace

Options ParseCommandLine(const ProgramInfo& info, const std::vector<std::string>& args) {
    const std::vector<OptionShape> known = KnownOptions(info);
    Options options;
    bool imageGiven = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        const bool isOption = !optionsEnded && arg.size() > 1 && arg[0] == '-';
        if (!isOption) {
            if (!IsUpdater(info) || imageGiven)
                return WrongUsage("unexpected argument \"" + arg + "\"");
            if (arg.empty())
                return WrongUsage("the image file name is empty");
            options.imagePath = arg;
            imageGiven = true;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const std::optional<std::string> attached = SplitAttachedValue(arg);
        const OptionShape* option = FindOption(known, arg);
        if (option == nullptr)
            return WrongUsage("unknown option " + arg);
        if (attached && !option->takesValue)
            return WrongUsage(arg + " takes no value");
        std::string value;
        if (option->takesValue) {
            if (!attached && i + 1 >= args.size())
                return WrongUsage(arg + " needs a value");
            if (!attached && LooksLikeAnOption(args[i + 1]))
                return WrongUsage(std::string(arg)
                                      .append(" needs a value, not the option ")
                                      .append(args[i + 1])
                                      .append(" (write ")
                                      .append(arg)
                                      .append("=VALUE for a value starting with -)"));
            value = attached ? *attached : args[++i];
        }

        if (arg == "--help" || arg == "-h") {
            options.action = Action::Help;
            return options;
        }
        if (arg == "--version") {
            options.action = Action::Version;
            return options;
        }
        if (std::string problem = TakeOption(arg, value, options); !problem.empty())
            return WrongUsage(problem);
    }

    if (std::string problem = CombinationProblem(options); !problem.empty())
        return WrongUsage(problem);
    return options;
}

std::string VersionText(const ProgramInfo& info) {
    return ProgramName(info) + " " DRIVANTA_VERSION "\n";
}

std::optional<Answer> AnswerWithoutRunning(const ProgramInfo& info, const Options& options,
                                           const std::string& updateLogPath) {
    switch (options.action) {
        case Action::Run:
            return std::nullopt;
        case Action::Help:
            return Answer{0, HelpText(info, updateLogPath), {}};
        case Action::Version:
            return Answer{0, VersionText(info), {}};
        case Action::WrongUsage:
            break;
    }
    return Answer{kWrongUsage,
                  {},
                  ProgramName(info) + ": " + options.problem + "\n" + UsageLine(info) + "\n"};
}

namespace {

// Higher is more serious; the statuses of a run without an attempt share the lowest rank.
int Rank(int status) {
    switch (status) {
        case kUpdateFailed:
            return 3;
        case kNotSeenBack:
            return 2;
        case kUpdated:
            return 1;
        default:
            return 0;
    }
}

}  // namespace

int MostSerious(int earlier, int later) {
    return Rank(later) >= Rank(earlier) ? later : earlier;
}

}  // namespace cmdline
