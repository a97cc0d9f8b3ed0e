#pragma once
// The Windows implementations of the frame's interfaces (see platform/services.h).
#include <string>
#include <vector>

#include "app/application_pro.h"
#include "app/execute_pro.h"
#include "app/screen_saver_app.h"
#include "display/video_modes.h"
#include "form/sound.h"

// The single-instance marker: a named semaphore (initial count 0, maximum 1).
class TSemaphoreGuard final : public IInstanceGuard {
public:
    std::unique_ptr<IInstanceHandle> Create(const std::string& name, bool& alreadyExisted) override;
};

class TWin32Host final : public IApplicationHost {
public:
    // Argument 0 becomes the module's file name.
    explicit TWin32Host(std::vector<std::string> args);
    const std::vector<std::string>& Arguments() override { return args_; }
    bool DotlessNameIsBaseName() override { return false; }
    // The program's folder when files can be made in it, else %LOCALAPPDATA%\3D Tidewell\ (a
    // ".scr" usually lives in System32 or Program Files, which a user cannot write).
    std::string WritableDirectory(const std::string& exeDir) override;
    std::FILE* OpenLog(const std::string& path, bool create) override;
    // The saver's windows are top-level windows of their own with the tool-window style; there
    // is no separate application window to hide.
    void HideApplicationWindow() override {}
    void SetToolWindowStyle() override {}
    // The shown settings dialog of another instance (marked with kSettingsDialogProperty), or
    // the box open over it, to the foreground.
    void BringSettingsDialogForward() override;

private:
    std::vector<std::string> args_;
};

// dir when a file can be created in it, else localAppData + "3D Tidewell\" (created).
std::string WritableDirectoryFor(const std::string& dir, const std::string& localAppData);
// The user's local application data folder with a trailing backslash.
std::string LocalAppDataDirectory();

class TWin32SaverSystem final : public ISaverSystem {
public:
    void SetSystemParameter(std::uint32_t action, std::uint32_t value) override;
    int ShowCursor(bool show) override;
    TWindowHandle ForegroundWindow() override;
    bool WindowSize(TWindowHandle window, int& width, int& height) override;
    std::string SystemDirectory() override;
    TLibraryHandle OpenLibrary(const std::string& path) override;
    void CloseLibrary(TLibraryHandle library) override;
    bool HasProcedure(TLibraryHandle library, const std::string& name) override;
    std::int32_t CallPwdChangePassword(TLibraryHandle library, const std::string& provider, TWindowHandle parent) override;
    std::int32_t CallVerifyScreenSavePwd(TLibraryHandle library, TWindowHandle window) override;
};

class TWin32Launcher final : public IProcessLauncher {
public:
    std::unique_ptr<IProcess> StartProcess(const std::string& commandLine, const std::string& directory,
                                            std::uint32_t priorityClass, int showCommand) override;
    void ShellOpen(const std::string& file, const std::string& parameters, const std::string& directory,
                   int showCommand) override;
    void Pause() override;
    void SetOwnPriorityClass(std::uint32_t priorityClass) override;
};

// EnumDisplaySettingsA / ChangeDisplaySettingsA on the primary display (no text crosses: the
// device is the primary one, named by nullptr).
class TWin32DisplayDriver final : public IDisplayModeDriver {
public:
    bool EnumSettings(std::uint32_t index, TModeRecord& record) override;
    std::int32_t ChangeSettings(const TModeRecord* record, std::uint32_t flags) override;
    TVideoMode ScreenMode() override;
    std::string DesktopName() const override { return "Windows Desktop"; }
};

// PlaySoundW on the module's own resources.
class TWin32SoundPlayer final : public ISoundPlayer {
public:
    void Play(const char* name, std::uint32_t flags) override;
};
