#include "app/message_loop.h"

#include <exception>

void HandleMessage(TApplication& application, IMessagePump& pump) {
    try {
        if (pump.ProcessOne()) return;
        if (application.Idle() && !application.Terminated()) pump.WaitForMessage();
    } catch (const std::exception& e) {
        application.HandleException(e);
    }
}

void PumpWaitingMessages(TApplication& application, IMessagePump& pump) {
    while (true) {
        try {
            if (!pump.ProcessOne()) break;
        } catch (const std::exception& e) {
            application.HandleException(e);
        }
    }
}

void RunMessageLoop(TApplication& application, IMessagePump& pump) {
    application.ProcessMessagesHook = [&] { PumpWaitingMessages(application, pump); };
    while (!application.Terminated()) HandleMessage(application, pump);
    application.ProcessMessagesHook = nullptr;
}
