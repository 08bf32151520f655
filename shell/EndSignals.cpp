#include "shell/EndSignals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <QSocketNotifier>

namespace korva {

namespace {

constexpr std::array<int, 3> WatchedSignals = {SIGTERM, SIGHUP, SIGINT};

// The socket pair's ends: the handler writes, the notifier reads. Plain
// integers, set before any handler is installed, are all a handler may read.
int WriteEnd = -1;
int ReadEnd = -1;

bool isIgnored(int signalNumber) {
    struct sigaction current {};
    return ::sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

void SetAction(int signalNumber, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signalNumber, &action, nullptr);
}

}  // namespace

EndSignals::EndSignals(std::function<void(int)> received, QObject* parent)
    : QObject(parent), Received_(std::move(received)) {
    std::array<int, 2> ends{-1, -1};
    // Non-blocking: a handler never waits, even on a full socket.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends.data()) != 0) {
        qWarning("KORVA: no socket pair for signals: %s", std::strerror(errno));
        return;
    }
    ReadEnd = ends[0];
    WriteEnd = ends[1];
    Notifier_ = new QSocketNotifier(ReadEnd, QSocketNotifier::Read, this);
    connect(Notifier_, &QSocketNotifier::activated, this, &EndSignals::ReadSignal);
    for (const int signalNumber : WatchedSignals) {
        if (!isIgnored(signalNumber)) {
            SetAction(signalNumber, &EndSignals::Handler);
        }
    }
}

EndSignals::~EndSignals() {
    if (!Notifier_) {
        return;
    }
    for (const int signalNumber : WatchedSignals) {
        if (!isIgnored(signalNumber)) {
            SetAction(signalNumber, SIG_DFL);
        }
    }
    ::close(ReadEnd);
    ::close(WriteEnd);
    ReadEnd = WriteEnd = -1;
}

// Only write() and errno: both are async-signal-safe.
void EndSignals::Handler(int signalNumber) {
    const int savedErrno = errno;
    const auto number = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(WriteEnd, &number, 1);
    errno = savedErrno;
}

void EndSignals::ReadSignal() {
    unsigned char number = 0;
    if (::read(ReadEnd, &number, 1) == 1) {
        Received_(number);
    }
}

void EndSignals::EndBy(int signalNumber) {
    SetAction(signalNumber, SIG_DFL);
    sigset_t only{};
    sigemptyset(&only);
    sigaddset(&only, signalNumber);
    ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signalNumber);
    // Not reached unless the signal's default action was changed meanwhile.
    std::_Exit(128 + signalNumber);
}

}  // namespace korva
