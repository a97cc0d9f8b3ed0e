#pragma once
// The hand-over of a ".SCR" start to the program's ".exe" copy ("Run As EXE").
#include <string>

#include "app/execute_pro.h"
#include "app/screen_saver_app.h"

// During form creation: when RunAsExe is on, the program is a ".SCR" and the mode is saver or
// settings, hides the form, lowers this process to idle priority, runs the copy with the same
// switch and waits for it, then closes the form and terminates. Returns true when it did so.
bool RunAsProgramLaunch(bool runAsExe, TScreenSaverApp& app, TExecutePro& launcher, IProcessLauncher& system,
                        IOwnerForm& form, const std::string& installPath);
