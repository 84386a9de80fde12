#include "servodiag/Replay.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "cmdline/CommandLine.h"
#include "servodiag/Layout.h"
#include "servodiag/StatusChart.h"

namespace servodiag {

namespace {

// The name without its folders: the title has room for little more.
std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

ui::FormLayout ReplayLayout(const Recording& recording) {
    ui::FormLayout layout = ServodiagLayout();
    for (ui::ControlSpec& c : layout.controls) {
        if (c.name == kChartControl)
            c.chartCapacity = std::max<std::size_t>(recording.rows.size(), 1);
    }
    return layout;
}

std::string ProblemLine(const std::string& fileName, const RecordingProblem& problem) {
    return fileName + ":" + std::to_string(problem.line) + ": " + problem.reason;
}

void ReplayForm::Form_Load() {
    window_.SetTitle(window_.Title() + " \u2014 recording " + BaseName(fileName_));
    ShowIdentity();
    ShowRows();
    window_.Show();
}

// Where the device's identity stands, what the values come from: a file, and its time span.
void ReplayForm::ShowIdentity() {
    window_.SetText("lblManuf", "Recording (no device)");
    window_.SetText("lblProduct", BaseName(fileName_));
    if (!recording_.rows.empty()) {
        window_.SetText("lblVersion", "from " + recording_.rows.front().time);
        window_.SetText("lblSerialNumber", "to " + recording_.rows.back().time);
    }
    window_.SetEnabled("Frame1", true);
}

void ReplayForm::ShowRows() {
    const std::int64_t startMs =
        recording_.rows.empty() ? 0 : recording_.rows.front().utcMilliseconds;
    for (const RecordedRow& row : recording_.rows) {
        const double seconds = double(row.utcMilliseconds - startMs) / 1000;
        window_.AddChartSample(kChartControl,
                               StatusChartSample(seconds, row.values ? &*row.values : nullptr));
    }
    std::string state = std::to_string(recording_.rows.size()) + " readings replayed";
    if (!recording_.problems.empty()) {
        state = ProblemLine(BaseName(fileName_), recording_.problems.front());
        if (recording_.problems.size() > 1)
            state.append(" (and ")
                .append(std::to_string(recording_.problems.size() - 1))
                .append(" more)");
        // The whole list where the state line has no room for it.
        std::string all;
        for (const RecordingProblem& problem : recording_.problems)
            all += ProblemLine(BaseName(fileName_), problem) + "\n";
        window_.SetToolTip("lblDeviceState", all);
    }
    window_.SetText("lblDeviceState", state);
}

std::optional<std::string> ReadRecordingFile(const std::string& path, std::string* error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *error = path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

int Replay(const std::string& path, ui::Window& window, const Recording& recording) {
    for (const RecordingProblem& problem : recording.problems)
        std::fprintf(stderr, "servodiag: %s\n", ProblemLine(path, problem).c_str());
    ReplayForm form(window, path, recording);
    window.Run(form);
    return recording.rows.empty() ? cmdline::kWrongUsage : 0;
}

}  // namespace servodiag
