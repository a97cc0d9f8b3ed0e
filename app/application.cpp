#include "app/application.h"

bool TApplication::Idle() {
    bool done = true;
    if (OnIdle) OnIdle(done);
    return done;
}

void TApplication::HandleException(const std::exception& e) {
    if (OnException) OnException(e);
}

void TApplication::ProcessMessages() {
    if (ProcessMessagesHook) ProcessMessagesHook();
}
