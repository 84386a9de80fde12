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
int signalReadEnd = -1;

extern "C" void ForwardSignal(int /*signal*/) {
    const char byte = 1;
    static_cast<void>(write(signalWriteEnd, &byte, 1));
}

}  // namespace

void CloseOnSignals(QWidget* form) {
    std::signal(SIGPIPE, SIG_IGN);
    if (signalReadEnd < 0) {
        int ends[2];
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
            return;
        signalReadEnd = ends[0];
        signalWriteEnd = ends[1];
        struct sigaction action {};
        action.sa_handler = ForwardSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (const int signal : {SIGHUP, SIGINT, SIGTERM})
            sigaction(signal, &action, nullptr);
    }
    // Each window listens for as long as it lives.
    auto* notifier = new QSocketNotifier(signalReadEnd, QSocketNotifier::Read, form);
    QObject::connect(notifier, &QSocketNotifier::activated, form, [form] {
        char bytes[16];
        static_cast<void>(read(signalReadEnd, bytes, sizeof bytes));
        form->close();  // as the close button: the program may defer it
    });
}

}  // namespace ui::qt
