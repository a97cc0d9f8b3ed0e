#include "app/idle_watch.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace {

// Each wake is what the monitor saw before it: the user went idle or came back.
enum class TSeen { Nothing, Idle, Active };

class FakeMonitor final : public IIdleMonitor {
public:
    std::deque<std::pair<TSeen, TIdleWake>> script;
    std::uint32_t watchedMs = 0;

    std::string Name() const override { return "fake"; }
    void Watch(std::uint32_t idleMs, std::function<void()> onIdle, std::function<void()> onActive) override {
        watchedMs = idleMs;
        onIdle_ = std::move(onIdle);
        onActive_ = std::move(onActive);
    }
    TIdleWake Wait() override {
        if (script.empty()) return TIdleWake::Quit;
        auto [seen, wake] = script.front();
        script.pop_front();
        if (seen == TSeen::Idle) onIdle_();
        if (seen == TSeen::Active) onActive_();
        if (step) step();
        return wake;
    }
    std::function<void()> step;  // after each wake: the test looks or acts

private:
    std::function<void()> onIdle_, onActive_;
};

struct FakeSaver final : ISaverProcess {
    explicit FakeSaver(int& ended) : ended_(ended) {}
    bool Running() override { return running; }
    void End() override {
        running = false;
        ++ended_;
    }
    bool running = true;
    int& ended_;
};

struct FakeStarter final : ISaverStarter {
    std::unique_ptr<ISaverProcess> StartSaver() override {
        ++starts;
        if (fails) return nullptr;
        auto saver = std::make_unique<FakeSaver>(ended);
        last = saver.get();
        return saver;
    }
    int starts = 0, ended = 0;
    bool fails = false;
    FakeSaver* last = nullptr;
};

struct Rig {
    FakeMonitor monitor;
    FakeStarter starter;
    std::vector<std::string> lines;
    TIdleWatch watch{monitor, starter, 60000, [this](const std::string& line) { lines.push_back(line); }};
};

}  // namespace

// Idle starts the saver once; the user's return ends it; a saver that ends by itself (a key
// ended it) is let go and the next idle period starts a new one; a quit signal ends the running
// one and the watch with status 0.
TEST(IdleWatch, StartsOnIdleEndsOnActivityAndRearms) {
    Rig rig;
    std::vector<std::pair<int, int>> seen;  // starts and ends after each wake
    bool keptAfterOtherChild = false;
    rig.monitor.step = [&] {
        seen.emplace_back(rig.starter.starts, rig.starter.ended);
        if (seen.size() == 7) keptAfterOtherChild = rig.watch.SaverRuns();
        if (seen.size() == 7) rig.starter.last->running = false;  // then a key ends it
    };
    rig.monitor.script = {
        {TSeen::Idle, TIdleWake::Events},         // started
        {TSeen::Idle, TIdleWake::Events},         // a repeated idle starts no second one
        {TSeen::Active, TIdleWake::Events},       // ended by the watch
        {TSeen::Active, TIdleWake::Events},       // nothing to end
        {TSeen::Idle, TIdleWake::Events},         // a new one
        {TSeen::Nothing, TIdleWake::SaverEnded},  // another child ended: the saver is kept
        {TSeen::Nothing, TIdleWake::SaverEnded},  // the saver ended by itself: let go
        {TSeen::Idle, TIdleWake::Events},         // re-armed: a third one
        {TSeen::Nothing, TIdleWake::Quit},
    };
    EXPECT_EQ(rig.watch.Run(), 0);
    EXPECT_EQ(rig.monitor.watchedMs, 60000u);
    const std::vector<std::pair<int, int>> expected{{1, 0}, {1, 0}, {1, 1}, {1, 1}, {2, 1},
                                                    {2, 1}, {2, 1}, {3, 1}, {3, 1}};
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(keptAfterOtherChild);
    // The quit ended the third saver.
    EXPECT_EQ(rig.starter.ended, 2);
    EXPECT_FALSE(rig.watch.SaverRuns());
}

// A saver that cannot start is told and tried again at the next idle period; losing the
// monitor ends the running saver and the watch with status 1.
TEST(IdleWatch, FailedStartAndLostMonitor) {
    Rig rig;
    rig.starter.fails = true;
    rig.monitor.step = [&] { rig.starter.fails = false; };
    rig.monitor.script = {{TSeen::Idle, TIdleWake::Events},
                          {TSeen::Active, TIdleWake::Events},
                          {TSeen::Idle, TIdleWake::Events},
                          {TSeen::Nothing, TIdleWake::MonitorLost}};
    EXPECT_EQ(rig.watch.Run(), 1);
    EXPECT_EQ(rig.starter.starts, 2);
    EXPECT_EQ(rig.starter.ended, 1);
    EXPECT_EQ(rig.lines.front(), "idle: the saver could not be started");
}

namespace {

struct FakeSession final : IIdleWatchSession {
    bool another = false, hasMonitor = true;
    FakeMonitor monitor;
    FakeStarter starter;
    bool TakeSessionLock(std::string& message) override {
        if (another) message = "an idle watch runs in this session already";
        return !another;
    }
    std::unique_ptr<IIdleMonitor> CreateMonitor(std::string& why) override {
        if (!hasMonitor) {
            why = "no monitor";
            return nullptr;
        }
        struct Forward final : IIdleMonitor {
            FakeMonitor& m;
            explicit Forward(FakeMonitor& monitor) : m(monitor) {}
            std::string Name() const override { return m.Name(); }
            void Watch(std::uint32_t ms, std::function<void()> i, std::function<void()> a) override {
                m.Watch(ms, std::move(i), std::move(a));
            }
            TIdleWake Wait() override { return m.Wait(); }
        };
        return std::make_unique<Forward>(monitor);
    }
    ISaverStarter& Starter() override { return starter; }
};

}  // namespace

// The run's statuses: a second watch 0, no monitor 1 (each with its one line), else the watch's
// own, with the stored minutes as the idle time.
TEST(IdleWatch, RunStatuses) {
    std::vector<std::string> said;
    const auto say = [&](const std::string& line) { said.push_back(line); };
    FakeSession second;
    second.another = true;
    EXPECT_EQ(RunIdleWatch(second, 10, say), 0);
    EXPECT_EQ(said.back(), "an idle watch runs in this session already");
    FakeSession none;
    none.hasMonitor = false;
    EXPECT_EQ(RunIdleWatch(none, 10, say), 1);
    EXPECT_EQ(said.back(), "no monitor");
    FakeSession session;
    EXPECT_EQ(RunIdleWatch(session, 3, say), 0);
    EXPECT_EQ(session.monitor.watchedMs, 180000u);
    EXPECT_EQ(said.back(), "--idle-watch: watching the session with fake; the saver starts after 3 minutes idle");
}
