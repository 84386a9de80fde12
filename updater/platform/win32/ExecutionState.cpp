// Windows keeps a thread's request not to sleep until the thread clears it; the update runs on
// the window's thread, which takes and clears it.
#include <windows.h>

#include "updater/KeepAwake.h"

namespace updater {
namespace {

class ExecutionState : public KeepAwake {
  public:
    ~ExecutionState() override { Release(); }

    std::string Hold() override {
        if (SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED) == 0)
            return "SetThreadExecutionState failed";
        held_ = true;
        return {};
    }

    void Release() override {
        if (held_)
            SetThreadExecutionState(ES_CONTINUOUS);
        held_ = false;
    }

  private:
    bool held_ = false;
};

}  // namespace

std::unique_ptr<KeepAwake> SystemKeepAwake(const std::string&) {
    return std::make_unique<ExecutionState>();
}

}  // namespace updater
