#include "app/run_modes.h"

#include <cctype>
#include <string_view>

#include "app/application_pro.h"
#include "app/screen_saver_app.h"

namespace {

void ChangePassword(TScreenSaverApp& app) { app.ChangePassword(); }

std::vector<TRunMode> MakeTable() {
    using S = IRunStarts;
    return {
        {smProgram, nullptr, false, nullptr,
         TRunNeeds{.EndsOnQuitSignal = true, .Stores = TStoring::DialogOnOk, .Instance = TInstanceRule::EveryStart},
         nullptr, &S::ShowSettingsDialog, &S::StartSettingsDialog},
        {smSettings, "C", false, "--settings",
         TRunNeeds{.EndsOnQuitSignal = true,
                   .Stores = TStoring::DialogOnOk,
                   .ForwardsToOpenDialog = true,
                   .ReadsParentWindow = true,
                   .DialogOwnedByParent = true,
                   .HandOverSwitch = "/c"},
         nullptr, &S::ShowSettingsDialog, &S::StartSettingsDialog},
        {smSaver, "S", false, nullptr,
         TRunNeeds{.Form = TFormStance::OutOfSight,
                   .FullScreen = true,
                   .EndsOnInput = true,
                   .AsksPassword = true,
                   .EndsOnQuitSignal = true,
                   .DrawsAtOnce = true,
                   .DrawsOnce = true,
                   .Stores = TStoring::AutoThemeAtEnd,
                   .ReadsParentWindow = true,
                   .TellsSystemSaverRuns = true,
                   .HidesCursor = true,
                   .HandOverSwitch = "/s"},
         nullptr, nullptr, &S::StartSaverWindow},
        {smPreview, "PL", true, nullptr,
         TRunNeeds{.Form = TFormStance::InParentWindow,
                   .EndsOnQuitSignal = true,
                   .Pacing = TPacing::Still,
                   .BuildsScene = false,
                   .ReadsParentWindow = true},
         nullptr, &S::ShowStillPicture, nullptr},
        {smPassword, "A", true, nullptr,
         TRunNeeds{.Form = TFormStance::NotShown, .Pacing = TPacing::Still, .BuildsScene = false, .ReadsParentWindow = true},
         &ChangePassword, nullptr, nullptr},
        {smHack, nullptr, false, nullptr,
         TRunNeeds{.Form = TFormStance::NotShown,
                   .EndsOnQuitSignal = true,
                   .Pacing = TPacing::HackDelay,
                   .DrawsAtOnce = true,
                   .DrawsOnce = true,
                   .UsesHackOptions = true,
                   .Errors = TErrorReport::ErrorStream,
                   .Instance = TInstanceRule::Never},
         nullptr, nullptr, &S::StartHackWindow},
        {smIdleWatch, nullptr, false, "--idle-watch",
         TRunNeeds{.Form = TFormStance::NotShown,
                   .EndsOnQuitSignal = true,
                   .Pacing = TPacing::Still,
                   .BuildsScene = false,
                   .Errors = TErrorReport::ErrorStream,
                   .Instance = TInstanceRule::Never,
                   .WatchesIdle = true},
         nullptr, nullptr, nullptr},
        // Behind the desktop's windows: never input, focus, sound or a mode switch; the cursor stays.
        {smWallpaper, nullptr, false, "--wallpaper",
         TRunNeeds{.Form = TFormStance::NotShown,
                   .EndsOnQuitSignal = true,
                   .Pacing = TPacing::Capped,
                   .DrawsAtOnce = true,
                   .DrawsOnce = true,
                   .Errors = TErrorReport::ErrorStream,
                   .Instance = TInstanceRule::EveryStart,
                   .InstanceMarker = "WallpaperSemaphore",
                   .UsesWallpaperOptions = true},
         nullptr, nullptr, &S::StartWallpaper},
    };
}

// The mode letter of a switch: its second character, upper-cased ('\0' for none).
char SwitchLetter(const std::string& argument) {
    return argument.size() >= 2 ? static_cast<char>(std::toupper(static_cast<unsigned char>(argument[1]))) : '\0';
}

bool HasLetter(const TRunMode& mode, char letter) {
    return letter != '\0' && mode.Letters && std::string_view(mode.Letters).find(letter) != std::string_view::npos;
}

bool AllZero(const std::string& digits) {
    return !digits.empty() && digits.find_first_not_of('0') == std::string::npos;
}

// The window id after /p, /l or /a: a number, and one that names a window.
void CheckWindowArgument(const std::string& option, const std::vector<std::string>& args) {
    if (args.size() < 3)
        throw EHackUsage(option + " needs the id of the window to draw into, in decimal or 0x hex (as xwininfo prints it)");
    const std::string& text = args[2];
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (AllZero(hex ? text.substr(2) : text)) throw EHackUsage(option + ": '" + text + "' is a number but names no window");
    if (!ParseWindowId(text)) throw EHackUsage(option + ": '" + text + "' is not a window id (decimal or 0x hex)");
    if (args.size() > 3)
        throw EHackUsage("unexpected argument '" + args[3] + "' after '" + option + " " + text + "'");
}

// Under strict rules the first argument is a mode's switch as written and nothing follows it
// that the mode does not take.
void CheckStrictly(const std::vector<std::string>& args, const TRunMode& mode) {
    if (args.size() < 2) return;
    const std::string& first = args[1];
    if (first.size() > 2 && first.compare(0, 2, "--") == 0) {
        if (!mode.LongOption || first != mode.LongOption)
            throw EHackUsage("unknown option '" + first + "' (--help lists the options)");
        if (args.size() > 2) throw EHackUsage("unexpected argument '" + args[2] + "' after '" + first + "'");
        return;
    }
    const bool switchShape = (first[0] == '/' || first[0] == '-') && HasLetter(mode, SwitchLetter(first));
    const std::string rest = first.size() > 2 ? first.substr(2) : std::string();
    // "/c:<id>": the dialog's owner.
    const bool colonHandle = mode.Needs.DialogOwnedByParent && rest.size() > 1 && rest[0] == ':';
    if (!switchShape || (!rest.empty() && !colonHandle))
        throw EHackUsage("unknown option '" + first + "' (--help lists the options)");
    if (colonHandle && rest.find_first_not_of("0123456789", 1) != std::string::npos)
        throw EHackUsage(first.substr(0, 2) + ": '" + rest.substr(1) + "' is not a window id (decimal)");
    if (mode.WindowArgument)
        CheckWindowArgument(first, args);
    else if (args.size() > 2)
        throw EHackUsage("unexpected argument '" + args[2] + "' after '" + first + "'");
    // What passed must also be what the frame reads later, or the mistake would end in a box.
    try {
        ReadParentHandle(args, 0);
    } catch (const std::exception& e) {
        throw EHackUsage(first.substr(0, 2) + ": " + e.what());
    }
}

}  // namespace

const std::vector<TRunMode>& RunModes() {
    static const std::vector<TRunMode> table = MakeTable();
    return table;
}

const TRunMode& RunModeOf(TSaverMode mode) {
    for (const TRunMode& entry : RunModes())
        if (entry.Mode == mode) return entry;
    return RunModes().front();
}

TSaverMode ReadMode(const std::vector<std::string>& args) {
    const auto extension = UpperCase(SplitProgramPath(args.empty() ? std::string() : args[0], false).extension);
    if (args.size() < 2) return extension == ".EXE" ? smProgram : smSettings;
    const char letter = SwitchLetter(args[1]);
    for (const TRunMode& entry : RunModes())
        if (HasLetter(entry, letter)) return entry.Mode;
    return smSettings;
}

TRunChoice ChooseRunMode(const std::vector<std::string>& args, const TCommandLineRules& rules) {
    TRunChoice choice;
    if (rules.Hacks && IsHackCommandLine(args, rules.WindowVariable)) {
        choice.Hack = ParseHackOptions(args, rules.WindowVariable);
        choice.Mode = &RunModeOf(smHack);
        return choice;
    }
    choice.Mode = &RunModeOf(ReadMode(args));
    // A mode with a long option of its own is chosen by it alone.
    for (const TRunMode& entry : RunModes())
        if (entry.LongOption && args.size() >= 2 && args[1] == entry.LongOption) choice.Mode = &entry;
    // Its own options say what is wrong with them, under every platform's rules.
    if (choice.Mode->Needs.UsesWallpaperOptions)
        choice.Wallpaper = ParseWallpaperOptions(args);
    else if (rules.Strict)
        CheckStrictly(args, *choice.Mode);
    return choice;
}
