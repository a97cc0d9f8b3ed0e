// The xscreensaver hack's command line: which starts are hacks, the window, the options and the
// one-line errors of a command line that cannot run.
#include <gtest/gtest.h>

#include "app/hack_options.h"

namespace {

using Args = std::vector<std::string>;
const std::optional<std::string> kNoVariable;

TEST(HackCommandLine, HackOptionsOrXscreensaversVariableMakeAHack) {
    for (const char* first : {"-root", "--root", "-window-id", "--window-id", "-fish", "-bubbles", "-theme", "-sound",
                              "-no-sound", "-fps"})
        EXPECT_TRUE(IsHackCommandLine(Args{"3dtidewell", first}, kNoVariable)) << first;
    // The screen saver's own switches stay what they were: -s is the saver, -sound is not.
    for (const char* first : {"/s", "-s", "-S", "/p", "/c:12", "-settings", "--settings", "-roo"})
        EXPECT_FALSE(IsHackCommandLine(Args{"3dtidewell", first}, kNoVariable)) << first;
    EXPECT_TRUE(IsHackCommandLine(Args{"3dtidewell"}, std::string("0x400007")));
    EXPECT_FALSE(IsHackCommandLine(Args{"3dtidewell"}, std::string("")));
    EXPECT_FALSE(IsHackCommandLine(Args{"3dtidewell"}, kNoVariable));
    EXPECT_FALSE(IsHackCommandLine(Args{"3dtidewell", "/s"}, std::string("0x400007")));
}

TEST(HackCommandLine, WindowIdBeforeTheVariableBeforeRoot) {
    EXPECT_EQ(ParseHackOptions(Args{"h", "-root", "-window-id", "0x4a00007"}, std::string("99")).Window, 0x4a00007);
    EXPECT_EQ(ParseHackOptions(Args{"h", "--window-id", "1234"}, kNoVariable).Window, 1234);
    EXPECT_EQ(ParseHackOptions(Args{"h", "-root"}, std::string("0X1F")).Window, 31);
    EXPECT_EQ(ParseHackOptions(Args{"h", "-root"}, kNoVariable).Window, THackOptions::kRootWindow);
    EXPECT_EQ(ParseHackOptions(Args{"h"}, std::string("77")).Window, 77);
    EXPECT_EQ(ParseWindowId("0xfFfF"), 0xFFFF);
    for (const char* bad : {"", "0x", "0", "12a", "-5", "0x1g", "4294967296", " 12"})
        EXPECT_EQ(ParseWindowId(bad), std::nullopt) << bad;
}

TEST(HackCommandLine, OptionsOverrideOnlyWhatTheyName) {
    const auto none = ParseHackOptions(Args{"h", "-root"}, kNoVariable);
    EXPECT_FALSE(none.FishCount || none.BubbleCount || none.Theme || none.Sound);
    EXPECT_FALSE(none.ShowFps);
    const auto all = ParseHackOptions(
        Args{"h", "-root", "-fish", "100", "--bubbles", "0", "-theme", "aquamarine", "-sound", "-no-sound", "-fps"},
        kNoVariable);
    EXPECT_EQ(all.FishCount, 100);
    EXPECT_EQ(all.BubbleCount, 0);
    EXPECT_EQ(all.Theme, 1);
    EXPECT_EQ(all.Sound, false);  // the last one counts
    EXPECT_TRUE(all.ShowFps);
    EXPECT_EQ(ParseHackOptions(Args{"h", "-root", "-theme", "auto"}, kNoVariable).Theme, -1);
    EXPECT_EQ(ParseHackOptions(Args{"h", "-root", "-theme", "blue", "-bubbles", "200"}, kNoVariable).Theme, 0);
}

// xscreensaver's -delay (microseconds between frames) and -maxfps; the default is the settings
// panel's, 30 frames a second.
TEST(HackCommandLine, DelayAndMaxfpsLimitTheFrameRate) {
    const auto none = ParseHackOptions(Args{"h", "-root"}, kNoVariable);
    EXPECT_EQ(none.FrameDelay, 33333);
    EXPECT_NEAR(none.FrameRateLimit(), 30.0, 0.001);
    EXPECT_EQ(ParseHackOptions(Args{"h", "--delay", "20000", "-root"}, kNoVariable).FrameRateLimit(), 50.0);
    EXPECT_EQ(ParseHackOptions(Args{"h", "-root", "-delay", "0"}, kNoVariable).FrameRateLimit(), 0.0);
    EXPECT_EQ(ParseHackOptions(Args{"h", "-root", "-delay", "1000000"}, kNoVariable).FrameDelay, 1000000);
    EXPECT_EQ(ParseHackOptions(Args{"h", "-root", "-maxfps", "24"}, kNoVariable).FrameDelay, 41667);
    EXPECT_EQ(ParseHackOptions(Args{"h", "-root", "--maxfps", "1000"}, kNoVariable).FrameDelay, 1000);
    // The last one counts.
    EXPECT_EQ(ParseHackOptions(Args{"h", "-root", "-maxfps", "10", "-delay", "5000"}, kNoVariable).FrameDelay, 5000);
    EXPECT_EQ(ParseHackOptions(Args{"h", "-root", "-delay", "5000", "-maxfps", "10"}, kNoVariable).FrameDelay, 100000);
    EXPECT_TRUE(IsHackCommandLine(Args{"3dtidewell", "-delay", "10000", "-root"}, kNoVariable));
    EXPECT_TRUE(IsHackCommandLine(Args{"3dtidewell", "--maxfps", "20", "-root"}, kNoVariable));
}

TEST(HackCommandLine, ABadCommandLineIsOneClearLine) {
    const std::pair<Args, std::string> cases[] = {
        {{"h", "-root", "-fish", "101"}, "-fish: '101' is not a number from 0 to 100"},
        {{"h", "-root", "-fish", "-1"}, "-fish: '-1' is not a number from 0 to 100"},
        {{"h", "-root", "-fish", ""}, "-fish: '' is not a number from 0 to 100"},
        {{"h", "-root", "-delay", ""}, "-delay: '' is not a number of microseconds from 0 to 1000000"},
        {{"h", "-root", "-bubbles", "2x"}, "-bubbles: '2x' is not a number from 0 to 200"},
        {{"h", "-root", "-bubbles"}, "option '-bubbles' needs a value"},
        {{"h", "-root", "-theme", "Blue"}, "-theme: 'Blue' is not blue, aquamarine, green or auto"},
        {{"h", "-window-id", "root"}, "-window-id: 'root' is not a window id (decimal or 0x hex)"},
        {{"h", "-root", "-speed", "3"}, "unknown option '-speed'"},
        {{"h", "-root", "-delay", "1000001"}, "-delay: '1000001' is not a number of microseconds from 0 to 1000000"},
        {{"h", "-root", "-delay", "99999999999999999999"},
         "-delay: '99999999999999999999' is not a number of microseconds from 0 to 1000000"},
        {{"h", "-root", "-delay", "-5"}, "-delay: '-5' is not a number of microseconds from 0 to 1000000"},
        {{"h", "-root", "-maxfps", "0"}, "-maxfps: '0' is not a number from 1 to 1000"},
        {{"h", "-root", "-maxfps", "2.5"}, "-maxfps: '2.5' is not a number from 1 to 1000"},
        {{"h", "-root", "-maxfps"}, "option '-maxfps' needs a value"},
        {{"h", "-fish", "3"}, "no window to draw into: give -root or -window-id <id>"},
    };
    for (const auto& [args, message] : cases) {
        try {
            ParseHackOptions(args, kNoVariable);
            ADD_FAILURE() << "no error for " << message;
        } catch (const EHackUsage& e) {
            EXPECT_EQ(std::string(e.what()), message);
            EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos);
        }
    }
    EXPECT_THROW(ParseHackOptions(Args{"h"}, std::string("window")), EHackUsage);
}

TEST(ProgramRequest, HelpAndVersionAnswerEverythingElseRuns) {
    EXPECT_EQ(ReadProgramRequest(Args{"h", "--help"}), TProgramRequest::Help);
    EXPECT_EQ(ReadProgramRequest(Args{"h", "-h"}), TProgramRequest::Help);
    EXPECT_EQ(ReadProgramRequest(Args{"h", "--version"}), TProgramRequest::Version);
    for (const Args& run : {Args{"h"}, Args{"h", "--settings"}, Args{"h", "--root"}, Args{"h", "--window-id", "5"},
                            Args{"h", "/s"}, Args{"h", "-s"}, Args{"h", "/c:12"}, Args{"h", "/p", "0x12"}, Args{"h", "--"}})
        EXPECT_EQ(ReadProgramRequest(run), TProgramRequest::Run) << run[1 % run.size()];
}

}  // namespace
