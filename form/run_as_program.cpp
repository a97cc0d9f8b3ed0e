#include "form/run_as_program.h"

THandOver RunAsProgramLaunch(bool runAsExe, TScreenSaverApp& app, TExecutePro& launcher, IProcessLauncher& system,
                             IOwnerForm& form, const std::string& installPath) {
    if (!ShouldRunAsProgram(runAsExe, app.ExeExtension(), app.SaverMode())) return {};
    const int left = form.Left(), top = form.Top(), width = form.Width(), height = form.Height();
    form.SetBounds(-width, -height, 0, 0);
    system.SetOwnPriorityClass(kIdlePriorityClass);
    launcher.Mode = TExecMode::emProcess;
    launcher.WindowStyle = TExecWindowStyle::ewShow;
    launcher.Priority = TExecPriority::epNormal;
    launcher.Wait = true;
    const std::string commandLine =
        RunAsProgramCommandLine(installPath, app.ExeBaseName(), app.SaverMode(), app.ParentHandle());
    if (!launcher.Execute(commandLine)) {
        // Without its copy the ".SCR" does the work itself: ending here would leave the user no
        // way back to the dialog that turns the option off.
        system.SetOwnPriorityClass(PriorityClass(TExecPriority::epNormal));
        form.SetBounds(left, top, width, height);
        return {.Failure = "Run As EXE: " + commandLine + " cannot be started; running here instead."};
    }
    form.Close();
    app.Application().Terminate();
    return {.Done = true};
}
