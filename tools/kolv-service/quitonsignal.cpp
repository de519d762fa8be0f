#include "quitonsignal.h"

#include <QCoreApplication>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    const ssize_t written = ::write(signalPipe[0], &byte, 1);
    (void)written;  // a full pipe already holds a pending quit
}

}  // namespace

bool quitOnSignal(QCoreApplication &app)
{
    if (signalPipe[0] >= 0)
        return true;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return false;
    auto *notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
        notifier->setEnabled(false);
        char byte;
        const ssize_t got = ::read(signalPipe[1], &byte, 1);
        (void)got;
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &action, nullptr) == 0 && ::sigaction(SIGTERM, &action, nullptr) == 0;
}

#else

// Elsewhere the console's own handling ends the program; ISALIVE then stays as it was.
bool quitOnSignal(QCoreApplication &)
{
    return true;
}

#endif
