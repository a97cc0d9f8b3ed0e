#include "platform/posix/quit_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <initializer_list>

namespace {

volatile sig_atomic_t quitSignal = 0;
volatile sig_atomic_t quitSignalSeen = 0;  // never taken
int quitPipe[2] = {-1, -1};

void NoteQuitSignal(int) {
    const int saved = errno;
    quitSignal = 1;
    quitSignalSeen = 1;
    if (quitPipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const auto written = write(quitPipe[1], &byte, 1);
    }
    errno = saved;
}

}  // namespace

int QuitSignalPipe() {
    if (quitPipe[0] < 0 && pipe2(quitPipe, O_CLOEXEC | O_NONBLOCK) != 0) quitPipe[0] = quitPipe[1] = -1;
    return quitPipe[0];
}

void WatchQuitSignalsFromNow() {
    quitSignal = 0;
    char buffer[16];
    while (QuitSignalPipe() >= 0 && read(quitPipe[0], buffer, sizeof buffer) > 0) {
    }
    struct sigaction action {};
    action.sa_handler = NoteQuitSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a wait in progress returns, and the loop looks at the flag.
    action.sa_flags = 0;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

bool TakeQuitSignal() {
    if (!quitSignal) return false;
    quitSignal = 0;
    return true;
}

bool QuitSignalPending() { return quitSignal != 0; }

bool QuitSignalSeen() { return quitSignalSeen != 0; }
