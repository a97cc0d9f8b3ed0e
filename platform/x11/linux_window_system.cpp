#include "platform/x11/linux_window_system.h"

#include "platform/gtk/gtk_module.h"
#include "platform/x11/x11_window_system.h"

TLinuxWindowSystem::TLinuxWindowSystem(std::unique_ptr<TX11WindowSystem> x11) : x11_(std::move(x11)) {}

TLinuxWindowSystem::~TLinuxWindowSystem() = default;

IMessagePump& TLinuxWindowSystem::Pump() {
    if (gtk_) return *gtk_;
    return *x11_;
}

bool TLinuxWindowSystem::ProcessOne() { return Pump().ProcessOne(); }

void TLinuxWindowSystem::WaitForMessage() { Pump().WaitForMessage(); }

void TLinuxWindowSystem::HandLoopTo(IGtkModule& module) {
    if (!gtk_) gtk_ = module.CreateLoop(*x11_, x11_->Connection(), QuitSignalPipe());
}

void TLinuxWindowSystem::RunLoop(TApplication& application) {
    application.ProcessMessagesHook = [this, &application] { PumpWaitingMessages(application, *this); };
    while (!application.Terminated() && !gtk_) HandleMessage(application, *this);
    application.ProcessMessagesHook = nullptr;
    if (gtk_ && !application.Terminated()) gtk_->RunLoop(application);
}
