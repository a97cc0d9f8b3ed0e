#pragma once
// The Linux side of the idle watch, shared by its monitors: the quit and child signals, which
// stay blocked but while a monitor waits on its descriptor, so that none is lost between a check
// and the wait.
#include <memory>
#include <string>

#include "app/idle_watch.h"

// Blocks SIGTERM, SIGINT, SIGHUP and SIGCHLD and catches them from then on; once per process.
void CatchIdleWatchSignals();
// Waits until fd is readable (Events) or a caught signal arrives (Quit before SaverEnded).
// timeoutMs < 0: no time limit; a timeout reads as Events.
TIdleWake WaitReadableOrSignal(int fd, int timeoutMs = -1);

// The monitors, in the order the session is asked: the Wayland protocols on WAYLAND_DISPLAY,
// then GNOME's D-Bus service. nullptr, with why, when the source is not there.
std::unique_ptr<IIdleMonitor> CreateWaylandIdleMonitor(std::string& why);
std::unique_ptr<IIdleMonitor> CreateMutterIdleMonitor(std::string& why);
