#include "form/run_as_program.h"

bool RunAsProgramLaunch(bool runAsExe, TScreenSaverApp& app, TExecutePro& launcher, IProcessLauncher& system,
                        IOwnerForm& form, const std::string& installPath) {
    if (!ShouldRunAsProgram(runAsExe, app.ExeExtension(), app.SaverMode())) return false;
    form.SetBounds(-form.Width(), -form.Height(), 0, 0);
    system.SetOwnPriorityClass(kIdlePriorityClass);
    launcher.Mode = TExecMode::emProcess;
    launcher.WindowStyle = TExecWindowStyle::ewShow;
    launcher.Priority = TExecPriority::epNormal;
    launcher.Wait = true;
    launcher.Execute(RunAsProgramCommandLine(installPath, app.ExeBaseName(), app.SaverMode()));
    form.Close();
    app.Application().Terminate();
    return true;
}
