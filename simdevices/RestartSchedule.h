// A restart as the bus sees it: the device leaves a while after the command that restarts it and
// comes back a while after leaving, in the mode the command asked for.
#pragma once

#include <cstdint>

namespace simdevices {

class RestartSchedule {
  public:
    // Off the bus leaveAfterMs from nowMs, back returnAfterMs after that.
    void Plan(std::int64_t nowMs, std::int64_t leaveAfterMs, std::int64_t returnAfterMs) {
        leaveAtMs_ = nowMs + leaveAfterMs;
        returnAtMs_ = leaveAtMs_ + returnAfterMs;
    }

    // While restarting: runs leave() once when its time has come, then comeBack() once the device
    // has left and its time has come too; both in one call when a late call finds both due.
    template <typename Leave, typename ComeBack>
    void Advance(std::int64_t nowMs, Leave leave, ComeBack comeBack) {
        if (leaveAtMs_ >= 0 && nowMs >= leaveAtMs_) {
            leave();
            leaveAtMs_ = -1;
        }
        if (leaveAtMs_ < 0 && nowMs >= returnAtMs_)
            comeBack();
    }

  private:
    std::int64_t leaveAtMs_ = -1;
    std::int64_t returnAtMs_ = -1;
};

}  // namespace simdevices
