// Keeps the computer awake while a device is being written: a laptop that suspends in the middle
// of a transfer leaves the device half-written. Taking the lock never stops an update; whether it
// was taken is written in the update log.
#pragma once

#include <memory>
#include <string>

namespace updater {

class KeepAwake {
  public:
    virtual ~KeepAwake() = default;
    // Asks the system not to sleep (nor to idle) until Release. Empty when the lock is held,
    // otherwise why it was not taken.
    virtual std::string Hold() = 0;
    // Lets the system sleep again; nothing when no lock is held.
    virtual void Release() = 0;
};

// This platform's lock, asked for in the name of `program`: on Linux a logind inhibitor over the
// system D-Bus; on Windows the thread's execution state.
std::unique_ptr<KeepAwake> SystemKeepAwake(const std::string& program);

}  // namespace updater
