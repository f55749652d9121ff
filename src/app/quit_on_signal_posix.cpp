#include "app/quit_on_signal.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace vrx {

namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int) {
    // Only what is safe in a signal handler: one byte into the pipe, read on the event loop.
    const char byte = 1;
    (void)!::write(signalPipe[1], &byte, 1);
}

} // namespace

void OnTerminationSignals(QObject& context, std::function<void()> action) {
    if (signalPipe[0] < 0 &&
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) {
        return; // the signals keep their default action
    }
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &context);
    QObject::connect(notifier, &QSocketNotifier::activated, &context, [action = std::move(action)] {
        char byte = 0;
        (void)!::read(signalPipe[0], &byte, 1);
        action();
    });
    struct sigaction handler {};
    handler.sa_handler = OnSignal;
    sigemptyset(&handler.sa_mask);
    handler.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        sigaction(signal, &handler, nullptr);
    }
}

} // namespace vrx
