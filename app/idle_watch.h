#pragma once
// The idle watch (--idle-watch): a small resident process that starts the saver, as a process of
// its own, once the session has been idle for the stored time, and ends it when the user is back.
// The session's idle monitor and the process starter come from the platform; the watch itself
// is the state machine below, so that it runs the same over any of them.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// What woke the watch's wait.
enum class TIdleWake : std::uint8_t {
    Events,       // the monitor's events came, and its callbacks ran
    SaverEnded,   // a child process ended (the saver, perhaps)
    Quit,         // SIGTERM, SIGINT or SIGHUP
    MonitorLost,  // the compositor or the bus went away
};

class IIdleMonitor {
public:
    virtual ~IIdleMonitor() = default;
    // Which source it listens to, for the log line ("ext-idle-notify-v1", ...).
    virtual std::string Name() const = 0;
    // onIdle once the user has given no input for idleMs (inhibitors honoured where the source
    // does); onActive at the first input after that. A second call replaces the first watch.
    virtual void Watch(std::uint32_t idleMs, std::function<void()> onIdle, std::function<void()> onActive) = 0;
    // Waits for the next of the wakes above; the monitor's callbacks run inside.
    virtual TIdleWake Wait() = 0;
};

class ISaverProcess {
public:
    virtual ~ISaverProcess() = default;
    virtual bool Running() = 0;
    // Asks it to end (SIGTERM) and waits a little; one that will not is killed.
    virtual void End() = 0;
};

class ISaverStarter {
public:
    virtual ~ISaverStarter() = default;
    // The saver as a child process; nullptr when it cannot be started.
    virtual std::unique_ptr<ISaverProcess> StartSaver() = 0;
};

class TIdleWatch {
public:
    // log: one line per change, for the error stream.
    TIdleWatch(IIdleMonitor& monitor, ISaverStarter& starter, std::uint32_t idleMs,
               std::function<void(const std::string&)> log);
    ~TIdleWatch();

    // Arms the monitor and waits for wakes until a quit signal (status 0) or the monitor's loss
    // (status 1); a saver still running is ended either way.
    int Run();

    bool SaverRuns() const { return saver_ != nullptr; }
    // The steps Run takes, one per wake.
    void Arm();
    void Idle();
    void Active();
    void ChildEnded();
    void EndSaver();

private:
    IIdleMonitor& monitor_;
    ISaverStarter& starter_;
    std::uint32_t idleMs_;
    std::function<void(const std::string&)> log_;
    std::unique_ptr<ISaverProcess> saver_;
};

// The idle time's limits, in minutes.
inline constexpr std::int32_t kIdleMinutesMin = 1, kIdleMinutesMax = 120, kIdleMinutesDefault = 10;

// The platform's side of the watch for this session.
class IIdleWatchSession {
public:
    virtual ~IIdleWatchSession() = default;
    // False, with the one line to print, when another watch runs in this session already.
    virtual bool TakeSessionLock(std::string& message) = 0;
    // The session's idle monitor; nullptr, with why in one line, when it offers none.
    virtual std::unique_ptr<IIdleMonitor> CreateMonitor(std::string& why) = 0;
    virtual ISaverStarter& Starter() = 0;
};

// The whole run of --idle-watch: one watch per session (a second start says so, status 0),
// none without a monitor (status 1). idleMinutes: the stored idle time.
int RunIdleWatch(IIdleWatchSession& session, std::int32_t idleMinutes, std::function<void(const std::string&)> say);
