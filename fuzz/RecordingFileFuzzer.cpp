// A file given to servodiag --replay: any bytes. The parser must name every bad line within the
// file, keep the good rows in time order, and the replay window must hold exactly those rows.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/Require.h"
#include "servodiag/RecordingFile.h"
#include "servodiag/Replay.h"
#include "servodiag/StatusChart.h"
#include "window/headless/HeadlessWindow.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzz::Require;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const servodiag::Recording recording = servodiag::ParseRecording(text);

    const std::size_t lines = std::count(text.begin(), text.end(), '\n') + 1;
    Require(recording.rows.size() + recording.problems.size() <= lines,
            "no more rows and problems than lines");
    for (const servodiag::RecordingProblem& problem : recording.problems) {
        Require(problem.line >= 1 && problem.line <= lines, "a problem names a line of the file");
        Require(!problem.reason.empty(), "a problem says why");
    }
    for (std::size_t i = 1; i < recording.rows.size(); ++i) {
        Require(recording.rows[i - 1].utcMilliseconds <= recording.rows[i].utcMilliseconds,
                "rows in time order");
    }

    ui::HeadlessWindow window(servodiag::ReplayLayout(recording));
    servodiag::ReplayForm form(window, "fuzz.csv", recording);
    window.Load(form);
    Require(window.Control(servodiag::kChartControl).chart->Size() == recording.rows.size(),
            "the chart holds every good row");
    return 0;
}
