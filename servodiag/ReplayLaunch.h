// What servodiag's and servodiag-sim's main()s do with the command line, --replay included, before
// any device is looked for.
#pragma once

#include <cstdio>
#include <optional>

#include "cmdline/Launch.h"
#include "common/SystemText.h"
#include "servodiag/Replay.h"
#include "servodiag/ReplayFile.h"

namespace servodiag {

inline int ReplayFromCommandLine(const cmdline::Options& options) {
    Recording recording;
    {
        // The text goes once parsed: the rows are all that is kept of it.
        std::string error;
        const std::optional<std::string> text = ReadRecordingFile(options.replayPath, &error);
        if (!text) {
            std::fprintf(stderr, "servodiag: cannot replay %s\n", error.c_str());
            return cmdline::kWrongUsage;
        }
        recording = ParseRecording(*text);
    }
    std::unique_ptr<ui::Window> window =
        cmdline::CreateWindowFor(options, ReplayLayout(recording), ui::ConsoleSetup{});
    if (!window)
        return cmdline::kNoDisplay;
    return Replay(options.replayPath, *window, recording);
}

// Answers --help, --version and wrong usage as every program does, and runs --replay; returns the
// status to exit with then, or nothing when the devices are to be diagnosed with *options.
inline std::optional<int> AnswerCommandLine(const cmdline::ProgramInfo& info,
                                            common::Utf8Arguments& arguments,
                                            cmdline::Options* options) {
    if (const auto status =
            cmdline::AnswerCommandLine(info, arguments.Count(), arguments.Values(), "", options))
        return status;
    if (!options->replayPath.empty())
        return ReplayFromCommandLine(*options);
    return std::nullopt;
}

}  // namespace servodiag
