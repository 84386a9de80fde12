#include "servodiag/DiagnosticsRun.h"

#include <cstdio>
#include <memory>

#include "cmdline/CommandLine.h"
#include "servodiag/StatusRecorder.h"

namespace servodiag {

int RunDiagnostics(ui::Window& window, frmMain& form, const std::string& recordPath,
                   StatusReadout& readout) {
    std::unique_ptr<StatusRecorder> recorder;
    if (!recordPath.empty()) {
        std::string error;
        recorder = StatusRecorder::Create(recordPath, &error);
        if (!recorder) {
            std::fprintf(stderr, "servodiag: cannot record: %s\n", error.c_str());
            return cmdline::kRecordFailed;
        }
    }
    bool answered = false;
    form.OnStatus([&](const std::uint8_t* report) {
        answered = answered || report != nullptr;
        readout.Take(report);
        if (recorder)
            recorder->Record(report);
    });
    window.Run(form);
    if (recorder && recorder->Failed()) {
        std::fprintf(stderr, "servodiag: could not write every row to %s\n", recordPath.c_str());
        return cmdline::kRecordFailed;
    }
    return answered || form.Link().DeviceDetected ? 0 : cmdline::kNoDevice;
}

}  // namespace servodiag
