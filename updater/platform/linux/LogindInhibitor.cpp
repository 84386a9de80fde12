// logind's inhibitor lock: Inhibit() hands back a file descriptor, and the lock lasts until the
// last copy of it is closed, also when the program dies. The system bus is the one
// DBUS_SYSTEM_BUS_ADDRESS names, or the standard socket.
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <fcntl.h>
#include <cerrno>
#include <cstring>

#include "updater/KeepAwake.h"

namespace updater {
namespace {

// logind answers at once; a bus that does not answer within this must not hold up the update.
constexpr std::uint64_t kCallTimeoutUs = 3'000'000;

class LogindInhibitor : public KeepAwake {
  public:
    explicit LogindInhibitor(std::string program) : program_(std::move(program)) {}
    ~LogindInhibitor() override { Close(); }

    std::string Hold() override {
        Close();
        sd_bus* bus = nullptr;
        int r = sd_bus_open_system(&bus);
        if (r < 0)
            return std::string("no system bus: ") + std::strerror(-r);
        sd_bus_set_method_call_timeout(bus, kCallTimeoutUs);
        sd_bus_error error = SD_BUS_ERROR_NULL;
        sd_bus_message* reply = nullptr;
        r = sd_bus_call_method(bus, "org.freedesktop.login1", "/org/freedesktop/login1",
                               "org.freedesktop.login1.Manager", "Inhibit", &error, &reply, "ssss",
                               "sleep:idle", program_.c_str(), "Updating firmware", "block");
        std::string problem;
        if (r < 0) {
            problem = std::string("logind refused: ") +
                      (error.message ? error.message : std::strerror(-r));
        } else {
            int fd = -1;
            r = sd_bus_message_read(reply, "h", &fd);
            // The reply owns its descriptor: the lock needs a copy of its own.
            if (r < 0 || (fd_ = fcntl(fd, F_DUPFD_CLOEXEC, 3)) < 0)
                problem = "logind's answer held no lock";
        }
        sd_bus_error_free(&error);
        sd_bus_message_unref(reply);
        sd_bus_flush_close_unref(bus);
        return problem;
    }

    void Release() override { Close(); }

  private:
    // The last copy of the descriptor closed, the lock is gone.
    void Close() {
        if (fd_ >= 0)
            close(fd_);
        fd_ = -1;
    }

    std::string program_;
    int fd_ = -1;
};

}  // namespace

std::unique_ptr<KeepAwake> SystemKeepAwake(const std::string& program) {
    return std::make_unique<LogindInhibitor>(program);
}

}  // namespace updater
