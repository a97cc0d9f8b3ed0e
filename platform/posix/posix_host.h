#pragma once
// The application host on Linux: program path from /proc/self/exe, files named after the
// program (the log) beside it when that folder is the user's own and no system folder (a build
// tree), else under $XDG_STATE_HOME/3dtidewell.
#include <functional>
#include <string>
#include <vector>

#include "app/application_pro.h"

class TPosixHost final : public IApplicationHost {
public:
    // Argument 0 becomes the running program's full path unless told to keep it as given.
    explicit TPosixHost(std::vector<std::string> args, bool resolveProgramPath = true);
    // The display's part: finds another instance's open dialog and brings it forward.
    std::function<void()> BringDialogForward;
    const std::vector<std::string>& Arguments() override { return args_; }
    bool DotlessNameIsBaseName() override { return true; }
    std::string WritableDirectory(const std::string& exeDir) override;
    std::FILE* OpenLog(const std::string& path, bool create) override;
    // No taskbar window of our own on X: the saver window carries its own hints.
    void HideApplicationWindow() override {}
    void SetToolWindowStyle() override {}
    void BringSettingsDialogForward() override {
        if (BringDialogForward) BringDialogForward();
    }
    bool RunsHacks() override { return true; }
    std::optional<std::string> HackWindowVariable() override;

private:
    std::vector<std::string> args_;
};

// $XDG_STATE_HOME/3dtidewell/ (~/.local/state/3dtidewell/), created when missing.
std::string StateDirectory();
