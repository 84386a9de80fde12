#include "window/qt/SignalCloseRequests.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QWidget>
#include <csignal>

namespace ui::qt {

namespace {

// The handler may only write to a descriptor; the event loop reads the other end.
int signalWriteEnd = -1;

extern "C" void ForwardSignal(int /*signal*/) {
    const char byte = 1;
    static_cast<void>(write(signalWriteEnd, &byte, 1));
}

}  // namespace

void CloseOnSignals(QWidget* form) {
    std::signal(SIGPIPE, SIG_IGN);
    int ends[2];
    if (signalWriteEnd >= 0 || socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return;
    signalWriteEnd = ends[1];
    auto* notifier = new QSocketNotifier(ends[0], QSocketNotifier::Read, form);
    QObject::connect(notifier, &QSocketNotifier::activated, form, [form, readEnd = ends[0]] {
        char bytes[16];
        static_cast<void>(read(readEnd, bytes, sizeof bytes));
        form->close();  // as the close button: the program may defer it
    });
    struct sigaction action {};
    action.sa_handler = ForwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGHUP, SIGINT, SIGTERM})
        sigaction(signal, &action, nullptr);
}

}  // namespace ui::qt
