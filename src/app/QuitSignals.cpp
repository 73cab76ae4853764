// The system's request to end the program; see QuitSignals.h.
#include "QuitSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The socket pair's ends: the handler writes to [0], the notifier reads [1].
int Pair[2] = {-1, -1};

extern "C" void WriteQuitByte(int signal)
{
    // 1: to end at once; 2: a person's request from the terminal.
    const char byte = signal == SIGINT ? 2 : 1;
    // Nothing else is safe in a signal handler; a full pipe drops the byte
    // of a request already pending.
    [[maybe_unused]] const ssize_t written = ::write(Pair[0], &byte, 1);
}

} // namespace

TQuitSignals::TQuitSignals(QObject *parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, Pair) != 0)
        return;
    m_Notifier = new QSocketNotifier(Pair[1], QSocketNotifier::Read, this);
    connect(m_Notifier, &QSocketNotifier::activated, this, &TQuitSignals::Read);
    struct sigaction action = {};
    action.sa_handler = WriteQuitByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

TQuitSignals::~TQuitSignals()
{
    if (!m_Notifier)
        return;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        std::signal(signal, SIG_DFL);
    ::close(Pair[0]);
    ::close(Pair[1]);
    Pair[0] = Pair[1] = -1;
}

void TQuitSignals::Read()
{
    char bytes[16];
    bool endAtOnce = false;
    bool quit = false;
    ssize_t count = 0;
    while ((count = ::read(Pair[1], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < count; ++i)
            (bytes[i] == 2 ? quit : endAtOnce) = true;
    }
    // The system's request wins over a person's.
    if (endAtOnce)
        emit EndRequested();
    else if (quit)
        emit QuitRequested();
}
