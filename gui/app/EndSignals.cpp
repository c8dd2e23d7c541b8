#include "gui/app/EndSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/socket.h>
#include <unistd.h>

namespace vx {
namespace {

constexpr unsigned EndingLimitSeconds = 5;
int signalPipe[2] = {-1, -1};

// Only what a signal handler may safely do: a write the event loop hears, and the alarm that
// ends the process should the event loop never get to it.
void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
    ::alarm(EndingLimitSeconds);
}

void onEndingTooLong(int)
{
    static const char text[] = "vexalon2editor: ending on a signal took too long; ended without it.\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, text, sizeof text - 1);
    ::_exit(1);
}

} // namespace

void endProcessNow()
{
    std::fflush(nullptr);
    std::_Exit(0);
}

void endOnSignals(QObject* owner, std::function<void()> keep, std::function<void()> end)
{
    if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return; // without the pipe the signals keep their default: the recovery file still holds the edits
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner,
                     [notifier, keep = std::move(keep), end = std::move(end)] {
                         char byte = 0;
                         [[maybe_unused]] const ssize_t got = ::read(signalPipe[1], &byte, 1);
                         notifier->setEnabled(false); // a second signal while ending changes nothing
                         keep();
                         end();
                         ::alarm(0); // only where `end` returns: a test's
                     });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(number, &action, nullptr);
    struct sigaction limit {};
    limit.sa_handler = onEndingTooLong;
    sigemptyset(&limit.sa_mask);
    ::sigaction(SIGALRM, &limit, nullptr);
}

} // namespace vx
