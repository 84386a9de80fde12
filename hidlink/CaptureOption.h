// --capture: the program's platform calls written to a file for a problem report. Started after
// the command line and before any device call, so the file holds the whole run.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cmdline/CommandLine.h"
#include "hidlink/ApiDeclarations.h"
#include "hidlink/capture/CaptureFile.h"
#include "hidlink/capture/CapturingApi.h"

namespace hidlink {

class ProgramCapture {
  public:
    // The calls go straight to `api` when the options ask for no capture.
    explicit ProgramCapture(ApiDeclarations& api) : api_(api) {}
    // Creates the file the options name. A file that cannot be created, or that is one of the
    // run's own files (the image, the recording, `otherFiles` such as the update log), is said
    // on standard error and returns the status to end the program with (wrong usage), before
    // any device has been touched.
    std::optional<int> Start(const cmdline::ProgramInfo& info, const cmdline::Options& options,
                             const std::vector<std::string>& otherFiles = {});
    // Says on standard error how many lines the disk refused, if any.
    ~ProgramCapture();
    // What the program talks to: the capturing decorator, or `api` itself.
    ApiDeclarations& Api() {
        return capturing_ ? static_cast<ApiDeclarations&>(*capturing_) : api_;
    }

  private:
    ApiDeclarations& api_;
    std::unique_ptr<CaptureFile> file_;
    std::unique_ptr<CapturingApi> capturing_;
};

}  // namespace hidlink
