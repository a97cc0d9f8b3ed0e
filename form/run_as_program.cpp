#include "form/run_as_program.h"

THandOver RunAsProgramLaunch(bool runAsExe, TScreenSaverApp& app, TExecutePro& launcher, IProcessLauncher& system,
                             const THandOverForm& form, const std::string& installPath) {
    const TRunNeeds& needs = app.Needs();
    if (!ShouldRunAsProgram(runAsExe, app.ExeExtension(), needs.HandOverSwitch)) return {};
    form.MoveOutOfSight();
    system.SetOwnPriorityClass(kIdlePriorityClass);
    launcher.Mode = TExecMode::emProcess;
    launcher.WindowStyle = TExecWindowStyle::ewShow;
    launcher.Priority = TExecPriority::epNormal;
    launcher.Wait = true;
    // The copy's dialog is then modal to the same window as ours would have been.
    const std::string commandLine = RunAsProgramCommandLine(installPath, app.ExeBaseName(), needs.HandOverSwitch,
                                                            needs.DialogOwnedByParent ? app.ParentHandle() : 0);
    if (!launcher.Execute(commandLine)) {
        // Without its copy the ".SCR" does the work itself: ending here would leave the user no
        // way back to the dialog that turns the option off.
        system.SetOwnPriorityClass(PriorityClass(TExecPriority::epNormal));
        form.PutBack();
        return {.Failure = "Run As EXE: " + commandLine + " cannot be started; running here instead."};
    }
    form.Close();
    app.Application().Terminate();
    return {.Done = true};
}
