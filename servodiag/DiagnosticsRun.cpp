#include "servodiag/DiagnosticsRun.h"

#include <cstdio>
#include <memory>

#include "cmdline/CommandLine.h"
#include "servodiag/StatusRecorder.h"

namespace servodiag {

int RunDiagnostics(ui::Window& window, frmMain& form, const std::string& recordPath,
                   StatusReadout& readout, bool endsOnRecordFailure) {
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
    form.OnDeviceChange([&readout] { readout.Forget(); });
    form.OnStatus([&](const std::uint8_t* report) {
        answered = answered || report != nullptr;
        if (report == nullptr && form.State() == DeviceState::NoStatus)
            readout.TakeNoStatus();
        else
            readout.Take(report);
        if (!recorder || recorder->Failed() || recorder->Record(report))
            return;
        std::fprintf(stderr, "servodiag: recording stopped: %s\n", recorder->Problem().c_str());
        window.SetText("lblDeviceState", "Recording stopped: " + recorder->Problem());
        if (endsOnRecordFailure)
            window.Unload();
    });
    window.Run(form);
    if (recorder && recorder->Failed())
        return cmdline::kRecordFailed;
    if (answered)
        return 0;
    return form.DeviceEverFound() ? cmdline::kNoStatus : cmdline::kNoDevice;
}

}  // namespace servodiag
