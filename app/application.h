#pragma once
// The application object: title, help file, the idle and exception events the message loop
// raises, and termination. The platform's message loop drives it; components hook its events.
#include <exception>
#include <functional>
#include <string>
#include <vector>

// An exception that aborts an operation silently: handlers that report errors skip it.
class EAbort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

using TNotifyEvent = std::function<void()>;
using TIdleEvent = std::function<void(bool& done)>;
using TExceptionEvent = std::function<void(const std::exception& e)>;

class TApplication {
public:
    std::string Title;
    std::string HelpFile;
    // False keeps the message loop from showing the main form (second instance, password change).
    bool ShowMainForm = true;

    TIdleEvent OnIdle;
    TExceptionEvent OnException;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;
    // Set by the platform loop: handles the messages waiting now, without blocking.
    TNotifyEvent ProcessMessagesHook;

    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }

    // One idle turn of the message loop. Returns the done flag: true lets the loop wait for
    // the next message, false calls the idle event again at once.
    bool Idle();
    // An exception that reached the message loop. Without a handler it is dropped.
    void HandleException(const std::exception& e);
    void ProcessMessages();

private:
    bool terminated_ = false;
};
