#pragma once
// The hand-over of a ".SCR" start to the program's ".exe" copy ("Run As EXE").
#include <functional>
#include <string>

#include "app/execute_pro.h"
#include "app/screen_saver_app.h"

struct THandOver {
    bool Done = false;     // the copy ran: this process closes its form and ends
    std::string Failure;   // the copy could not be started: the log line; this process runs instead
};

// What the hand-over does to the form.
struct THandOverForm {
    std::function<void()> MoveOutOfSight;
    std::function<void()> PutBack;
    std::function<void()> Close;
};

// During form creation: when RunAsExe is on, the program is a ".SCR" and the mode has a switch
// for the copy, moves the form out of sight, lowers this process to idle priority, runs the copy
// with the same switch (and parent window) and waits for it, then closes the form and terminates.
// When the copy cannot be started, the form and the priority are put back and nothing ends.
THandOver RunAsProgramLaunch(bool runAsExe, TScreenSaverApp& app, TExecutePro& launcher, IProcessLauncher& system,
                             const THandOverForm& form, const std::string& installPath);
