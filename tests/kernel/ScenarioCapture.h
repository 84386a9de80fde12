// A scenario's platform calls captured as the programs' --capture writes them, and printed on the
// console when the scenario ends ("capture <name>: <line>"), where run-kernel-tests.sh collects
// them into captures/<name>.jsonl: the exchanges of the real hidraw stack, which the ordinary
// test run replays from tests/capture/fixtures.
#pragma once

#include <memory>
#include <string>

#include "hidlink/capture/CaptureFile.h"
#include "hidlink/capture/CapturingApi.h"

namespace kerneltest {

class ScenarioCapture {
  public:
    ScenarioCapture(hidlink::ApiDeclarations& api, std::string name);
    ~ScenarioCapture();
    ScenarioCapture(const ScenarioCapture&) = delete;
    ScenarioCapture& operator=(const ScenarioCapture&) = delete;

    // What the program is given: the scenario's api, captured.
    hidlink::ApiDeclarations& Api() { return *capturing_; }

  private:
    std::string name_;
    std::string path_;
    std::unique_ptr<hidlink::CaptureFile> file_;
    std::unique_ptr<hidlink::CapturingApi> capturing_;
};

}  // namespace kerneltest
