#include <gtest/gtest.h>

#include "app/run_modes.h"

namespace {

using Args = std::vector<std::string>;

const TRunMode& Chosen(const Args& args, bool strict = false) {
    return *ChooseRunMode(args, TCommandLineRules{.Hacks = strict, .Strict = strict}).Mode;
}

// What the rest of the program is told about each mode: the seams the form and the run follow.
TEST(RunModes, EachModeTellsWhatItNeeds) {
    struct Row {
        Args args;
        TSaverMode mode;
        TFormStance form;
        bool fullScreen, endsOnInput, asksPassword, endsOnQuitSignal;
        TStoring stores;
        TErrorReport errors;
    };
    using enum TFormStance;
    const Row rows[] = {
        {{"a.scr", "/s"}, smSaver, OutOfSight, true, true, true, true, TStoring::AutoThemeAtEnd, TErrorReport::MessageBox},
        {{"a.scr", "/c:7"}, smSettings, Dialog, false, false, false, true, TStoring::DialogOnOk, TErrorReport::MessageBox},
        {{"a.exe"}, smProgram, Dialog, false, false, false, true, TStoring::DialogOnOk, TErrorReport::MessageBox},
        {{"a.scr", "/p", "5"}, smPreview, InParentWindow, false, false, false, true, TStoring::Nothing, TErrorReport::MessageBox},
        {{"a.scr", "/a", "5"}, smPassword, NotShown, false, false, false, false, TStoring::Nothing, TErrorReport::MessageBox},
        {{"3dtidewell", "-root"}, smHack, NotShown, false, false, false, true, TStoring::Nothing, TErrorReport::ErrorStream},
        {{"3dtidewell", "--wallpaper"}, smWallpaper, NotShown, false, false, false, true, TStoring::Nothing, TErrorReport::ErrorStream},
    };
    for (const Row& row : rows) {
        const TRunMode& run = Chosen(row.args, row.mode == smHack);
        const TRunNeeds& needs = run.Needs;
        const std::string name = row.args.back();
        EXPECT_EQ(run.Mode, row.mode) << name;
        EXPECT_EQ(needs.Form, row.form) << name;
        EXPECT_EQ(needs.FullScreen, row.fullScreen) << name;
        EXPECT_EQ(needs.EndsOnInput, row.endsOnInput) << name;
        EXPECT_EQ(needs.AsksPassword, row.asksPassword) << name;
        EXPECT_EQ(needs.EndsOnQuitSignal, row.endsOnQuitSignal) << name;
        EXPECT_EQ(needs.Stores, row.stores) << name;
        EXPECT_EQ(needs.Errors, row.errors) << name;
        // Every mode that draws has a step that starts it; the password change ends at loading.
        EXPECT_TRUE(run.AtShow || run.AtStart || run.AtLoading) << name;
    }
    EXPECT_EQ(Chosen({"a.scr", "/s"}).Needs.HandOverSwitch, std::string("/s"));
    EXPECT_EQ(Chosen({"a.scr", "/c"}).Needs.HandOverSwitch, std::string("/c"));
    EXPECT_EQ(Chosen({"3dtidewell", "-root"}, true).Needs.Pacing, TPacing::HackDelay);
}

// Where the rules are strict (Linux) every mistake is one line naming the argument; elsewhere
// (Windows) the first argument's letter decides, as always.
TEST(RunModes, AStrictCommandLineRefusesEveryMistake) {
    const std::pair<Args, std::string> mistakes[] = {
        {{"3dtidewell", "/p", "12abc"}, "/p: '12abc' is not a window id (decimal or 0x hex)"},
        {{"3dtidewell", "/p", "0xZZ"}, "/p: '0xZZ' is not a window id (decimal or 0x hex)"},
        {{"3dtidewell", "/p", "0x0"}, "/p: '0x0' is a number but names no window"},
        {{"3dtidewell", "/p", "0"}, "/p: '0' is a number but names no window"},
        {{"3dtidewell", "/p"}, "/p needs the id of the window to draw into, in decimal or 0x hex (as xwininfo prints it)"},
        {{"3dtidewell", "/p", "5", "6"}, "unexpected argument '6' after '/p 5'"},
        {{"3dtidewell", "/s", "extra"}, "unexpected argument 'extra' after '/s'"},
        {{"3dtidewell", "/s5"}, "unknown option '/s5' (--help lists the options)"},
        {{"3dtidewell", "--settings", "--bogus"}, "unexpected argument '--bogus' after '--settings'"},
        {{"3dtidewell", "-fihs", "5"}, "unknown option '-fihs' (--help lists the options)"},
        {{"3dtidewell", "--speed"}, "unknown option '--speed' (--help lists the options)"},
        {{"3dtidewell", "--helpme"}, "unknown option '--helpme' (--help lists the options)"},
        {{"3dtidewell", "/c:x1"}, "/c: 'x1' is not a window id (decimal)"},
        {{"3dtidewell", "/c:99999999999"}, "/c: '99999999999' is not a valid integer value"},
        {{"3dtidewell", ""}, "unknown option '' (--help lists the options)"},
        {{"3dtidewell", "--wallpaper", "--fps", "0"}, "--fps: '0' is not a number from 1 to 60"},
        {{"3dtidewell", "--wallpaper", "--fps", "61"}, "--fps: '61' is not a number from 1 to 60"},
        {{"3dtidewell", "--wallpaper", "--fps", "-5"}, "--fps: '-5' is not a number from 1 to 60"},
        {{"3dtidewell", "--wallpaper", "--fps"}, "option '--fps' needs a value"},
        {{"3dtidewell", "--wallpaper", "--on-battery", "max"}, "--on-battery: 'max' is not full or reduced"},
        {{"3dtidewell", "--wallpaper", "-root"}, "unknown option '-root' after '--wallpaper'"},
    };
    for (const auto& [args, message] : mistakes) {
        try {
            Chosen(args, true);
            ADD_FAILURE() << "no error for " << message;
        } catch (const EHackUsage& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
    }
    for (const Args& good : {Args{"3dtidewell"}, Args{"3dtidewell", "/s"}, Args{"3dtidewell", "-S"},
                             Args{"3dtidewell", "/c"}, Args{"3dtidewell", "/c:12"}, Args{"3dtidewell", "--settings"},
                             Args{"3dtidewell", "/p", "0x1a00007"}, Args{"3dtidewell", "/l", "12"}})
        EXPECT_NO_THROW(Chosen(good, true)) << good.back();
    const auto wallpaper = ChooseRunMode({"3dtidewell", "--wallpaper", "--fps", "12", "--on-battery", "full"},
                                         TCommandLineRules{.Hacks = true, .Strict = true});
    EXPECT_EQ(wallpaper.Wallpaper.FrameRate, 12);
    EXPECT_TRUE(wallpaper.Wallpaper.FullOnBattery);
    // The saver's marker is not the wallpaper's: one of each may run.
    EXPECT_STRNE(RunModeOf(smWallpaper).Needs.InstanceMarker, RunModeOf(smSaver).Needs.InstanceMarker);
    EXPECT_EQ(Chosen({"a.scr", "/s", "extra"}).Mode, smSaver);
    EXPECT_EQ(Chosen({"a.scr", "-fihs", "5"}).Mode, smSettings);
    EXPECT_EQ(Chosen({"a.scr", "/p", "12abc"}).Mode, smPreview);  // the parent is read (and refused) later
}

}  // namespace
