// --capture: the program's platform calls written to a file for a problem report. Started after
// the command line and before any device call, so the file holds the whole run.
#pragma once

#include <memory>
#include <optional>

#include "cmdline/CommandLine.h"
#include "hidlink/ApiDeclarations.h"
#include "hidlink/capture/CaptureFile.h"
#include "hidlink/capture/CapturingApi.h"

namespace cmdline {

class ProgramCapture {
  public:
    // The calls go straight to `api` when the options ask for no capture.
    explicit ProgramCapture(hidlink::ApiDeclarations& api) : api_(api) {}
    // Creates the file the options name. A file that cannot be created is said on standard
    // error and returns the status to end the program with (wrong usage), before any device
    // has been touched.
    std::optional<int> Start(const ProgramInfo& info, const Options& options);
    // What the program talks to: the capturing decorator, or `api` itself.
    hidlink::ApiDeclarations& Api() {
        return capturing_ ? static_cast<hidlink::ApiDeclarations&>(*capturing_) : api_;
    }

  private:
    hidlink::ApiDeclarations& api_;
    std::unique_ptr<hidlink::CaptureFile> file_;
    std::unique_ptr<hidlink::CapturingApi> capturing_;
};

}  // namespace cmdline
