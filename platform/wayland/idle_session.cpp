// The idle watch's session on Linux: the signals, the saver as a child process of the same
// program ("<program> /s"), one watch per Wayland display, and the choice of monitor.
#include "platform/wayland/idle_session.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/posix/flock_guard.h"
#include "platform/services.h"

namespace {

volatile sig_atomic_t quitCaught = 0;
volatile sig_atomic_t childCaught = 0;
sigset_t unblocked;  // the mask the process had before the watch blocked its signals

void OnQuit(int) { quitCaught = 1; }
void OnChild(int) { childCaught = 1; }

constexpr int kQuitSignals[] = {SIGTERM, SIGINT, SIGHUP};

}  // namespace

void CatchIdleWatchSignals() {
    static bool caught = false;
    if (caught) return;
    caught = true;
    sigset_t blocked;
    sigemptyset(&blocked);
    for (const int s : kQuitSignals) sigaddset(&blocked, s);
    sigaddset(&blocked, SIGCHLD);
    sigprocmask(SIG_BLOCK, &blocked, &unblocked);
    for (const int s : kQuitSignals) sigdelset(&unblocked, s);
    sigdelset(&unblocked, SIGCHLD);
    struct sigaction action {};
    action.sa_handler = OnQuit;
    sigemptyset(&action.sa_mask);
    for (const int s : kQuitSignals) sigaction(s, &action, nullptr);
    action.sa_handler = OnChild;
    action.sa_flags = SA_NOCLDSTOP;
    sigaction(SIGCHLD, &action, nullptr);
}

TIdleWake WaitReadableOrSignal(int fd, int timeoutMs) {
    pollfd watched{fd, POLLIN, 0};
    timespec limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000000L};
    for (;;) {
        if (quitCaught) return TIdleWake::Quit;
        if (childCaught) {
            childCaught = 0;
            return TIdleWake::SaverEnded;
        }
        const int ready = ppoll(&watched, 1, timeoutMs < 0 ? nullptr : &limit, &unblocked);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0 || (watched.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) return TIdleWake::MonitorLost;
        return TIdleWake::Events;
    }
}

namespace {

class TSaverChild final : public ISaverProcess {
public:
    explicit TSaverChild(pid_t pid) : pid_(pid) {}
    ~TSaverChild() override {
        if (Running()) End();
    }
    bool Running() override {
        if (ended_) return false;
        int status = 0;
        const pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == 0) return true;
        ended_ = true;
        return false;
    }
    void End() override {
        if (!Running()) return;
        kill(pid_, SIGTERM);
        // Three seconds for a clean end (the display mode back, the Auto theme stored).
        const timespec pause{0, 20 * 1000 * 1000};
        for (int i = 0; i < 150 && Running(); ++i) nanosleep(&pause, nullptr);
        if (!Running()) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        ended_ = true;
    }

private:
    pid_t pid_;
    bool ended_ = false;
};

class TChildStarter final : public ISaverStarter {
public:
    explicit TChildStarter(std::string program) : program_(std::move(program)) {}
    std::unique_ptr<ISaverProcess> StartSaver() override {
        const char* argv[] = {program_.c_str(), "/s", nullptr};
        const pid_t pid = fork();
        if (pid == 0) {
            // The saver starts with the signals as the watch found them.
            signal(SIGCHLD, SIG_DFL);
            sigprocmask(SIG_SETMASK, &unblocked, nullptr);
            execv(argv[0], const_cast<char* const*>(argv));
            _exit(127);
        }
        if (pid < 0) return nullptr;
        return std::make_unique<TSaverChild>(pid);
    }

private:
    std::string program_;
};

class TLinuxIdleWatchSession final : public IIdleWatchSession {
public:
    explicit TLinuxIdleWatchSession(std::string program) : starter_(std::move(program)) {}

    bool TakeSessionLock(std::string& message) override {
        const char* display = std::getenv("WAYLAND_DISPLAY");
        bool another = false;
        lock_ = guard_.Create(std::string("3dtidewell-idle-watch-") + (display && *display ? display : "none"), another);
        if (another) message = "an idle watch runs in this session already";
        return !another;
    }

    std::unique_ptr<IIdleMonitor> CreateMonitor(std::string& why) override {
        const char* display = std::getenv("WAYLAND_DISPLAY");
        if (!display || !*display) {
            why = "--idle-watch needs a Wayland session (WAYLAND_DISPLAY is not set); on X11 xscreensaver starts the saver";
            return nullptr;
        }
        CatchIdleWatchSignals();
        std::string waylandWhy, busWhy;
        if (auto monitor = CreateWaylandIdleMonitor(waylandWhy)) return monitor;
        if (auto monitor = CreateMutterIdleMonitor(busWhy)) return monitor;
        why = "--idle-watch: this session tells no idleness (" + waylandWhy + "; " + busWhy + ")";
        return nullptr;
    }

    ISaverStarter& Starter() override { return starter_; }

private:
    TFlockGuard guard_;
    std::unique_ptr<IInstanceHandle> lock_;
    TChildStarter starter_;
};

}  // namespace

std::unique_ptr<IIdleWatchSession> CreateIdleWatchSession(const std::string& program) {
    return std::make_unique<TLinuxIdleWatchSession>(program);
}
