#pragma once
// The run modes in one table. Each entry says what its mode needs from the rest of the program
// (the form's stance, full screen, input, quit signals, pacing, storing, error reports, the
// single-instance rule) and which steps start it. The mode is chosen once, from the command line,
// by ChooseRunMode; everything else asks the entry's needs, never which mode runs.
//
// A new mode is one more entry (and, when it starts in a new way, one more IRunStarts step):
// give it a TSaverMode value, its switch letters or long option, its needs and its steps.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/hack_options.h"
#include "app/wallpaper.h"

// smHack: an xscreensaver hack drawing into a window it was given (X11 only). smWallpaper: the
// aquarium behind every window of the desktop, until a quit signal. smIdleWatch: the resident
// watch that starts smSaver as a process of its own when the session is idle.
enum TSaverMode : std::uint8_t {
    smProgram = 0,
    smSaver = 1,
    smPreview = 2,
    smSettings = 3,
    smPassword = 4,
    smHack = 5,
    smWallpaper = 6,
    smIdleWatch = 7,
};

// How the main form stands while the mode runs.
enum class TFormStance : std::uint8_t {
    Dialog,          // the settings dialog, shown normally
    OutOfSight,      // black, disabled, borderless, moved off the desktop with no size
    InParentWindow,  // black, disabled, borderless, a child covering the parent window
    NotShown,        // never shown (the mode ends at loading, or draws into a window of its own)
};

// Whether the frame hands out the single-instance marker.
enum class TInstanceRule : std::uint8_t {
    Never,
    EveryStart,
    // Only a ".SCR" (or a Linux program): the ".exe" copy a ".SCR" launches must not meet the
    // marker of the ".SCR" waiting for it.
    WhenNotACopy,
};

// How fast frames follow each other.
enum class TPacing : std::uint8_t {
    Still,           // no frames: one picture
    DisplayRefresh,  // as often as the display shows them
    HackDelay,       // a hack's -delay as well
    Capped,          // the wallpaper's --fps, lowered on battery (app/wallpaper.h)
};

// What the mode keeps in the options store.
enum class TStoring : std::uint8_t {
    Nothing,
    AutoThemeAtEnd,  // the next Auto theme, when the run ends
    DialogOnOk,      // the dialog's choices, on OK
};

enum class TErrorReport : std::uint8_t { MessageBox, ErrorStream };

struct TRunNeeds {
    TFormStance Form = TFormStance::Dialog;
    // The display's mode is switched and every monitor covered; the run is the saver window.
    bool FullScreen = false;
    // A key, a button or a clear mouse move ends it; AsksPassword puts the desktop's password
    // check in front of that.
    bool EndsOnInput = false;
    bool AsksPassword = false;
    // SIGTERM, SIGINT and SIGHUP end it cleanly (on Windows a close request to the saver window).
    bool EndsOnQuitSignal = false;
    TPacing Pacing = TPacing::DisplayRefresh;
    // The aquarium is built at the start event.
    bool BuildsScene = true;
    // The GL driver starts loading before anything else: the first frame is wanted at once.
    bool DrawsAtOnce = false;
    // The images are freed once uploaded: no later context needs them again.
    bool DrawsOnce = false;
    // The hack options of the command line go over the stored ones.
    bool UsesHackOptions = false;
    TStoring Stores = TStoring::Nothing;
    TErrorReport Errors = TErrorReport::MessageBox;
    TInstanceRule Instance = TInstanceRule::WhenNotACopy;
    // The single-instance marker's name after the program's: modes with different names run
    // beside each other.
    const char* InstanceMarker = "Semaphore";
    // Reads --fps and --on-battery after the mode's option (app/wallpaper.h).
    bool UsesWallpaperOptions = false;
    // A second start brings the open dialog forward.
    bool ForwardsToOpenDialog = false;
    // Reads the parent window from the command line and hides the taskbar button.
    bool ReadsParentWindow = false;
    // The dialog is owned by the window the command line names (else by the desktop).
    bool DialogOwnedByParent = false;
    // Tells the system that a screen saver runs, for the length of the run.
    bool TellsSystemSaverRuns = false;
    // Hides the mouse cursor from loading on.
    bool HidesCursor = false;
    // The idle watch runs instead of the form: no display platform, no window, no scene.
    bool WatchesIdle = false;
    // The switch that hands the run over to the ".exe" copy ("Run As EXE"); nullptr: never.
    const char* HandOverSwitch = nullptr;
};

// The ways a run starts; the form provides them.
class IRunStarts {
public:
    virtual ~IRunStarts() = default;
    virtual void ShowSettingsDialog() = 0;
    virtual void ShowStillPicture() = 0;
    virtual void StartSettingsDialog() = 0;
    virtual void StartSaverWindow() = 0;
    virtual void StartHackWindow() = 0;
    virtual void StartWallpaper() = 0;
};

class TScreenSaverApp;

struct TRunMode {
    TSaverMode Mode;
    // The letters of the switches that choose it ("/s", "-S": 'S'); nullptr for none.
    const char* Letters;
    // Its switch is followed by a window id ("/p <id>").
    bool WindowArgument;
    // The option that chooses it where long options are read (Linux); nullptr for none.
    const char* LongOption;
    TRunNeeds Needs;
    // The frame's own step at loading (the password change ends there); nullptr for none.
    void (*AtLoading)(TScreenSaverApp&);
    // The form's steps: when it is shown, and at the start event once the scene is built.
    void (IRunStarts::*AtShow)();
    void (IRunStarts::*AtStart)();
};

const std::vector<TRunMode>& RunModes();
const TRunMode& RunModeOf(TSaverMode mode);

// The run mode from the program's extension and the first argument's letter (the settings
// dialog for a letter no entry has).
TSaverMode ReadMode(const std::vector<std::string>& args);

// How a command line is read where the program runs.
struct TCommandLineRules {
    // xscreensaver's conventions hold (X11): hack options and XSCREENSAVER_WINDOW choose the hack.
    bool Hacks = false;
    std::optional<std::string> WindowVariable;
    // Every mistake is refused (EHackUsage, one line) instead of falling back to the dialog.
    bool Strict = false;
};

struct TRunChoice {
    const TRunMode* Mode = nullptr;
    THackOptions Hack;  // a hack's window and options
    TWallpaperOptions Wallpaper;
};

// The one place a mode is chosen. Raises EHackUsage for a command line that cannot run: a bad
// hack option always, and under strict rules any argument that no mode takes.
TRunChoice ChooseRunMode(const std::vector<std::string>& args, const TCommandLineRules& rules);
