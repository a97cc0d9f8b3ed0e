#include "app/idle_watch.h"

TIdleWatch::TIdleWatch(IIdleMonitor& monitor, ISaverStarter& starter, std::uint32_t idleMs,
                       std::function<void(const std::string&)> log)
    : monitor_(monitor), starter_(starter), idleMs_(idleMs), log_(std::move(log)) {}

TIdleWatch::~TIdleWatch() { EndSaver(); }

void TIdleWatch::Arm() {
    monitor_.Watch(idleMs_, [this] { Idle(); }, [this] { Active(); });
}

void TIdleWatch::Idle() {
    if (saver_) return;
    saver_ = starter_.StartSaver();
    log_(saver_ ? "idle: the saver started" : "idle: the saver could not be started");
}

void TIdleWatch::Active() {
    if (!saver_) return;
    log_("active: the saver ends");
    EndSaver();
}

void TIdleWatch::ChildEnded() {
    // A saver that ended by itself (a key ended it, or it failed) leaves the watch ready for the
    // next idle period.
    if (saver_ && !saver_->Running()) {
        saver_.reset();
        log_("the saver ended");
    }
}

void TIdleWatch::EndSaver() {
    if (!saver_) return;
    if (saver_->Running()) saver_->End();
    saver_.reset();
}

int TIdleWatch::Run() {
    Arm();
    for (;;) {
        switch (monitor_.Wait()) {
            case TIdleWake::Events: break;
            case TIdleWake::SaverEnded: ChildEnded(); break;
            case TIdleWake::Quit: EndSaver(); return 0;
            case TIdleWake::MonitorLost:
                EndSaver();
                log_("the idle monitor's connection closed");
                return 1;
        }
    }
}

int RunIdleWatch(IIdleWatchSession& session, std::int32_t idleMinutes, std::function<void(const std::string&)> say) {
    std::string message;
    if (!session.TakeSessionLock(message)) {
        say(message);
        return 0;
    }
    auto monitor = session.CreateMonitor(message);
    if (!monitor) {
        say(message);
        return 1;
    }
    say("--idle-watch: watching the session with " + monitor->Name() + "; the saver starts after " + std::to_string(idleMinutes) +
        (idleMinutes == 1 ? " minute" : " minutes") + " idle");
    TIdleWatch watch(*monitor, session.Starter(), static_cast<std::uint32_t>(idleMinutes) * 60000u,
                     [&say](const std::string& line) { say("--idle-watch: " + line); });
    return watch.Run();
}
