#include <gtest/gtest.h>

#include <deque>

#include "app/exception.h"
#include "app/message_loop.h"

namespace {

class FakePump final : public IMessagePump {
public:
    std::deque<std::function<void()>> messages;
    int waits = 0;
    bool ProcessOne() override {
        if (messages.empty()) return false;
        auto message = std::move(messages.front());
        messages.pop_front();
        message();
        return true;
    }
    void WaitForMessage() override { ++waits; }
};

TEST(MessageLoop, MessagesFirstThenIdleTurnsWithoutWaitingWhileBusy) {
    TApplication application;
    FakePump pump;
    std::vector<std::string> seen;
    pump.messages.push_back([&] { seen.push_back("message"); });
    int idles = 0;
    application.OnIdle = [&](bool& done) {
        seen.push_back("idle");
        done = ++idles >= 3;  // busy twice, then done
        if (idles == 3) pump.messages.push_back([&] {
            seen.push_back("quit");
            application.Terminate();
        });
    };
    RunMessageLoop(application, pump);
    EXPECT_EQ(seen, (std::vector<std::string>{"message", "idle", "idle", "idle", "quit"}));
    EXPECT_EQ(pump.waits, 1);
}

TEST(MessageLoop, ExceptionsGoToTheApplicationAndTheLoopGoesOn) {
    TApplication application;
    FakePump pump;
    std::vector<std::string> errors;
    application.OnException = [&](const std::exception& e) { errors.push_back(e.what()); };
    pump.messages.push_back([] { throw Exception("in a message"); });
    int idles = 0;
    application.OnIdle = [&](bool& done) {
        done = false;
        if (++idles == 1) throw Exception("in a frame");
        application.Terminate();
    };
    RunMessageLoop(application, pump);
    EXPECT_EQ(errors, (std::vector<std::string>{"in a message", "in a frame"}));
    EXPECT_EQ(pump.waits, 0);
}

TEST(MessageLoop, ProcessMessagesDrainsWhatWaits) {
    TApplication application;
    FakePump pump;
    int handled = 0;
    application.OnIdle = [&](bool&) {
        for (int i = 0; i < 3; ++i) pump.messages.push_back([&] { ++handled; });
        application.ProcessMessages();  // what a waiting launcher does
        application.Terminate();
    };
    RunMessageLoop(application, pump);
    EXPECT_EQ(handled, 3);
    EXPECT_FALSE(application.ProcessMessagesHook);
}

}  // namespace
