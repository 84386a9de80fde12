// Windows keeps a thread's request not to sleep until the thread clears it; the update runs on
// the window's thread, which takes and clears it.
#include <windows.h>

#include "updater/KeepAwake.h"

namespace updater {
namespace {

class ExecutionState : public KeepAwake {
  public:
    ~ExecutionState() override { Clear(); }

    std::string Hold() override {
        if (SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED) == 0)
            return "SetThreadExecutionState failed";
        held_ = true;
        return {};
    }

    void Release() override { Clear(); }

  private:
    void Clear() {
        if (held_)
            SetThreadExecutionState(ES_CONTINUOUS);
        held_ = false;
    }

    bool held_ = false;
};

}  // namespace

std::unique_ptr<KeepAwake> SystemKeepAwake(const std::string&) {
    return std::make_unique<ExecutionState>();
}

}  // namespace updater
