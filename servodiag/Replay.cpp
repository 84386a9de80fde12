#include "servodiag/Replay.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "cmdline/CommandLine.h"
#include "common/PathText.h"
#include "servodiag/Layout.h"
#include "servodiag/StatusChart.h"
#include "window/chart/ChartText.h"

namespace servodiag {

ui::FormLayout ReplayLayout(const Recording& recording) {
    ui::FormLayout layout = ServodiagLayout();
    // The identity rows hold what the recording is, not a device's identity.
    const std::map<std::string, std::string> captions{
        {"Label4", "Source"}, {"Label5", "File"}, {"Label2", "Started"}, {"Label3", "Ended"}};
    for (ui::ControlSpec& c : layout.controls) {
        if (c.name == kChartControl)
            c.chartCapacity = std::max<std::size_t>(recording.rows.size(), 1);
        if (const auto caption = captions.find(c.name); caption != captions.end())
            c.caption = caption->second;
    }
    return layout;
}

std::string ProblemLine(const std::string& fileName, const RecordingProblem& problem) {
    return fileName + ":" + std::to_string(problem.line) + ": " + problem.reason;
}

void ReplayForm::Form_Load() {
    window_.SetTitle(window_.Title() + " \u2014 recording " + common::BaseName(fileName_));
    ShowIdentity();
    ShowRows();
    window_.Show();
}

// Where the device's identity stands, what the values come from: a file, and its time span.
void ReplayForm::ShowIdentity() {
    window_.SetText("lblManuf", "Recording (no device)");
    window_.SetText("lblProduct", common::BaseName(fileName_));
    if (!recording_.rows.empty()) {
        window_.SetText("lblVersion", ui::UtcText(recording_.rows.front().utcMilliseconds));
        window_.SetText("lblSerialNumber", ui::UtcText(recording_.rows.back().utcMilliseconds));
    }
    window_.SetEnabled("Frame1", true);
}

void ReplayForm::ShowRows() {
    const std::int64_t startMs =
        recording_.rows.empty() ? 0 : recording_.rows.front().utcMilliseconds;
    // The axis live charts have: seconds from the first reading.
    for (const RecordedRow& row : recording_.rows) {
        const ChartTime when{double(row.utcMilliseconds - startMs) / 1000, row.utcMilliseconds};
        window_.AddChartSample(kChartControl,
                               StatusChartSample(when, row.values ? &*row.values : nullptr, {}));
    }
    std::string state = std::to_string(recording_.rows.size()) + " readings replayed";
    if (!recording_.problems.empty()) {
        state = ProblemLine(common::BaseName(fileName_), recording_.problems.front());
        if (recording_.problemCount > 1)
            state.append(" (and ")
                .append(std::to_string(recording_.problemCount - 1))
                .append(" more)");
        // The list where the state line has no room for it.
        std::string all;
        for (const RecordingProblem& problem : recording_.problems)
            all += ProblemLine(common::BaseName(fileName_), problem) + "\n";
        if (recording_.problemCount > recording_.problems.size())
            all += MoreProblems(recording_) + "\n";
        window_.SetToolTip("lblDeviceState", all);
    }
    window_.SetText("lblDeviceState", state);
}

std::string MoreProblems(const Recording& recording) {
    return "and " + std::to_string(recording.problemCount - recording.problems.size()) +
           " more rows that are not good";
}

int Replay(const std::string& path, ui::Window& window, const Recording& recording) {
    for (const RecordingProblem& problem : recording.problems)
        std::fprintf(stderr, "servodiag: %s\n",
                     ProblemLine(common::ShownPath(path), problem).c_str());
    if (recording.problemCount > recording.problems.size())
        std::fprintf(stderr, "servodiag: %s: %s\n", common::ShownPath(path).c_str(),
                     MoreProblems(recording).c_str());
    ReplayForm form(window, path, recording);
    window.Run(form);
    return recording.rows.empty() ? cmdline::kWrongUsage : 0;
}

}  // namespace servodiag
