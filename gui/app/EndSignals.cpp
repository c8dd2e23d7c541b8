#include "gui/app/EndSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace vx {
namespace {

int signalPipe[2] = {-1, -1};

// Only a write: all a signal handler may safely do. The event loop hears it.
void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

} // namespace

void endOnSignals(QObject* owner, std::function<void()> end)
{
    if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return; // without the pipe the signals keep their default: the recovery file still holds the edits
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [notifier, end = std::move(end)] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(signalPipe[1], &byte, 1);
        notifier->setEnabled(false); // once is enough; a second signal while ending changes nothing
        end();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(number, &action, nullptr);
}

} // namespace vx
