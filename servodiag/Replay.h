// servodiag --replay FILE: the diagnostics window on a file written by --record, without any
// device. The title and the identity rows say it is a recording, which file, when it started and
// ended; the chart holds every good row; rows that are not good are named on the state line and
// on standard error.
#pragma once

#include <string>

#include "servodiag/RecordingFile.h"
#include "window/Window.h"

namespace servodiag {

// The diagnostics layout with a chart that holds every row of the recording.
ui::FormLayout ReplayLayout(const Recording& recording);

class ReplayForm : public ui::FormHandlers {
  public:
    ReplayForm(ui::Window& window, std::string fileName, const Recording& recording)
        : window_(window), fileName_(std::move(fileName)), recording_(recording) {}

    void Form_Load() override;
    void Click(const std::string& /*control*/) override {}
    void Form_Unload() override {}

  private:
    void ShowIdentity();
    void ShowRows();

    ui::Window& window_;
    std::string fileName_;
    const Recording& recording_;
};

// "FILE:LINE: reason" for each bad row, as standard error and the state line say it.
std::string ProblemLine(const std::string& fileName, const RecordingProblem& problem);
// "and N more rows that are not good": those past the problems kept.
std::string MoreProblems(const Recording& recording);

// Says the recording's bad rows on standard error and shows it in the window until closed; the
// status to exit with: 0 when it had good rows, else kWrongUsage.
int Replay(const std::string& path, ui::Window& window, const Recording& recording);

}  // namespace servodiag
