// What servodiag's and servodiag-sim's main()s do for --replay, before any device is looked for.
#pragma once

#include <cstdio>

#include "cmdline/Launch.h"
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

}  // namespace servodiag
