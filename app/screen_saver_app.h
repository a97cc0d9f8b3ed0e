#pragma once
// The screen-saver component: chooses the run mode (run_modes.h) and reads the parent window
// from the command line, tells the form what the mode needs, tells the system a saver runs,
// checks the desktop password before the saver may close and runs the password change.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/application_pro.h"
#include "app/hack_options.h"
#include "app/run_modes.h"

using TWindowHandle = std::intptr_t;

// "A screen saver runs": set only around a full-screen run. The system's own "screen saving is
// on" switch (SPI_SETSCREENSAVEACTIVE) belongs to the user and is never touched.
constexpr std::uint32_t kSpiSetScreenSaverRunning = 0x0061;
using TLibraryHandle = std::uintptr_t;

// The system services the saver component uses.
class ISaverSystem {
public:
    virtual ~ISaverSystem() = default;
    // SystemParametersInfo(action, value, ...) without writing the user profile.
    virtual void SetSystemParameter(std::uint32_t action, std::uint32_t value) = 0;
    // One show (true) or hide (false) of the counted mouse cursor; returns the new count (the
    // cursor is visible while it is 0 or more).
    virtual int ShowCursor(bool show) = 0;
    virtual TWindowHandle ForegroundWindow() = 0;
    // Size of a window's rectangle; false for a window that does not exist.
    virtual bool WindowSize(TWindowHandle window, int& width, int& height) = 0;
    virtual std::string SystemDirectory() = 0;
    // 0 when the library cannot be loaded.
    virtual TLibraryHandle OpenLibrary(const std::string& path) = 0;
    virtual void CloseLibrary(TLibraryHandle library) = 0;
    virtual bool HasProcedure(TLibraryHandle library, const std::string& name) = 0;
    // "PwdChangePasswordA"(provider, parent, 0, 0) of a library that has it.
    virtual std::int32_t CallPwdChangePassword(TLibraryHandle library, const std::string& provider,
                                               TWindowHandle parent) = 0;
    // "VerifyScreenSavePwd"(window) of a library that has it; non-zero accepts.
    virtual std::int32_t CallVerifyScreenSavePwd(TLibraryHandle library, TWindowHandle window) = 0;
};

// How this platform reads a command line (strict where xscreensaver's conventions hold).
TCommandLineRules CommandLineRules(IApplicationHost& host);
// The parent window from the arguments, else `foreground`. Raises Exception
// "'<text>' is not a valid integer value" for a handle that is not a decimal number (or, as a
// separate argument, a 0x hexadecimal one).
TWindowHandle ReadParentHandle(const std::vector<std::string>& args, TWindowHandle foreground);
// Shows the cursor until it is visible, so that a message box has a pointer. Returns the number
// of show calls made.
int ShowCursorUntilVisible(ISaverSystem& system);
// A signed decimal 32-bit number, whole text; raises the conversion error otherwise.
std::int32_t StrToInt(const std::string& text);

class TScreenSaverApp : public TCustomGraphicApplicationPro {
public:
    TScreenSaverApp(TApplication& application, TAppServices services, ISaverSystem& system);
    ~TScreenSaverApp() override;

    TSaverMode SaverMode() const { return saverMode_; }
    // What the chosen mode needs (the frame's defaults before loading).
    const TRunMode& Run() const { return *run_; }
    const TRunNeeds& Needs() const { return run_->Needs; }
    TWindowHandle ParentHandle() const { return parentHandle_; }
    // The size of the parent window a mode in the parent window covers; none when it has no
    // parent or the parent does not exist.
    std::optional<std::pair<int, int>> ParentWindowSize() const { return parentSize_; }
    TLibraryHandle SystemLibrary() const { return systemLibrary_; }
    // The hack's window and options; meaningful in a mode that uses hack options.
    const THackOptions& HackOptions() const { return hackOptions_; }
    // The wallpaper's options; meaningful in a mode that uses them.
    const TWallpaperOptions& WallpaperOptions() const { return wallpaperOptions_; }
    ISaverSystem& System() { return system_; }

    TSaverMode ReadMode() { return ::ReadMode(services_.host.Arguments()); }
    TWindowHandle ReadParentHandle() { return ::ReadParentHandle(services_.host.Arguments(), system_.ForegroundWindow()); }
    // True when the saver may close: no password set, no password library, or accepted.
    bool VerifyPassword();
    // The password change: the main form is never shown and the program ends.
    void ChangePassword();
    // The upper-cased extension of the program file.
    std::string ExeExtension() const;

protected:
    void InitApplication() override;

private:
    TLibraryHandle LoadSystemLibrary(const std::string& name);
    void UnloadSystemLibrary();

    ISaverSystem& system_;
    TSaverMode saverMode_ = smProgram;
    const TRunMode* run_ = &RunModeOf(smProgram);
    std::optional<std::pair<int, int>> parentSize_;
    THackOptions hackOptions_;
    TWallpaperOptions wallpaperOptions_;
    TWindowHandle parentHandle_ = 0;
    TLibraryHandle systemLibrary_ = 0;
    bool flagsSet_ = false;
};
