#include <gtest/gtest.h>

#include <algorithm>

#include "app/exception.h"
#include "app/screen_saver_app.h"
#include "app_fakes.h"

namespace {

using Args = std::vector<std::string>;

TEST(ReadMode, ProgramExtensionAndFirstArgumentDecide) {
    EXPECT_EQ(ReadMode(Args{"C:\\x\\3DTidewell.scr"}), smSettings);
    EXPECT_EQ(ReadMode(Args{"C:\\x\\3DTidewell.exe"}), smProgram);
    EXPECT_EQ(ReadMode(Args{"C:\\x\\3DTidewell.ExE"}), smProgram);
    EXPECT_EQ(ReadMode(Args{"/usr/bin/3dtidewell"}), smSettings);
    // The extension is the file name's: a dot in a directory does not count.
    EXPECT_EQ(ReadMode(Args{"C:\\a.exe\\saver"}), smSettings);
    for (const char* s : {"/S", "-s", "xs", "/s5"}) EXPECT_EQ(ReadMode(Args{"a.scr", s}), smSaver) << s;
    EXPECT_EQ(ReadMode(Args{"a.scr", "/p", "1234"}), smPreview);
    EXPECT_EQ(ReadMode(Args{"a.scr", "/l", "1234"}), smPreview);
    EXPECT_EQ(ReadMode(Args{"a.exe", "/p", "1234"}), smPreview);
    EXPECT_EQ(ReadMode(Args{"a.scr", "/c:5678"}), smSettings);
    EXPECT_EQ(ReadMode(Args{"a.scr", "/a", "42"}), smPassword);
    EXPECT_EQ(ReadMode(Args{"a.scr", "/x"}), smSettings);
    EXPECT_EQ(ReadMode(Args{"a.scr", "s"}), smSettings);  // no second character
    EXPECT_EQ(ReadMode(Args{"a.exe", ""}), smSettings);
    EXPECT_EQ(ReadMode(Args{}), smSettings);
}

TEST(ReadParentHandle, ThirdArgumentThenColonThenForeground) {
    EXPECT_EQ(ReadParentHandle(Args{"a.scr", "/p", "1234"}, 9), 1234);
    EXPECT_EQ(ReadParentHandle(Args{"a.scr", "/l", "1234"}, 9), 1234);
    EXPECT_EQ(ReadParentHandle(Args{"a.scr", "/a", "42"}, 9), 42);
    EXPECT_EQ(ReadParentHandle(Args{"a.scr", "/c:5678"}, 9), 5678);
    EXPECT_EQ(ReadParentHandle(Args{"a.scr", "/p", "-17"}, 9), -17);
    EXPECT_EQ(ReadParentHandle(Args{"a.scr", "/c:1:2", "33"}, 9), 33);  // third argument first
    EXPECT_EQ(ReadParentHandle(Args{"a.scr", "/c"}, 9), 9);
    EXPECT_EQ(ReadParentHandle(Args{"a.scr"}, 9), 9);
    // At most 20 characters after the colon are read.
    EXPECT_EQ(ReadParentHandle(Args{"a.scr", "/c:00000000000000000012345"}, 9), 12);
    // An X window id as xwininfo prints it.
    EXPECT_EQ(ReadParentHandle(Args{"3dtidewell", "/p", "0x1a00007"}, 9), 0x1a00007);
    EXPECT_EQ(ReadParentHandle(Args{"3dtidewell", "/p", "0X1F"}, 9), 31);
}

TEST(ReadParentHandle, ABadNumberIsAClearError) {
    for (const Args& args : {Args{"a.scr", "/p", "12ab"}, Args{"a.scr", "/p", ""}, Args{"a.scr", "/c:"},
                             Args{"a.scr", "/p", "99999999999"}, Args{"a.scr", "/c:0x10"}, Args{"a.scr", "/p", "-"},
                             Args{"a.scr", "/p", "0xzz"}}) {
        try {
            ReadParentHandle(args, 0);
            ADD_FAILURE() << "no error for " << args.back();
        } catch (const Exception& e) {
            const std::string text = args.size() == 3 ? args[2] : args[1].substr(args[1].find(':') + 1);
            EXPECT_EQ(std::string(e.what()), "'" + text + "' is not a valid integer value");
        }
    }
    EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(StrToInt("+2147483647"), INT32_MAX);
}

TEST(TScreenSaverApp, SaverModeHidesCursorAndTheFormAndSetsTheSystemFlags) {
    SaverRig rig;
    {
        auto app = rig.Make({"C:\\Saver\\3DTidewell.scr", "/s"});
        app->Loaded();
        EXPECT_EQ(app->SaverMode(), smSaver);
        EXPECT_EQ(app->ParentHandle(), 777);  // the foreground window
        EXPECT_TRUE(app->SingleInstance);
        EXPECT_EQ(rig.guard.created, Args{"3DTidewellSemaphore"});
        EXPECT_EQ(rig.system.calls, (Args{"Running 1", "HideCursor"}));
        EXPECT_EQ(rig.host.calls, (Args{"HideApplicationWindow", "SetToolWindowStyle"}));
        EXPECT_EQ(app->Needs().Form, TFormStance::OutOfSight);
        EXPECT_EQ(app->ExeBaseName(), "3DTidewell");
        EXPECT_EQ(app->ExeDir(), "C:\\Saver\\");
        EXPECT_EQ(app->ExeName(), "3DTidewell.scr");
        EXPECT_EQ(app->LogFileName(), "C:\\Saver\\3DTidewell.log");
        EXPECT_EQ(rig.application.Title, "3D Tidewell");
        EXPECT_TRUE(rig.application.ShowMainForm);
    }
    EXPECT_EQ(rig.system.calls.back(), "Running 0");
}

TEST(TScreenSaverApp, OnlyAFullScreenRunTellsTheSystemASaverRunsAndScreenSavingStaysOn) {
    // The system flags each mode leaves behind, from loading to destruction.
    const std::vector<std::pair<Args, Args>> runs{
        {{"C:\\Saver\\3DTidewell.scr", "/s"}, {"Running 1", "Running 0"}},
        {{"C:\\Saver\\3DTidewell.exe", "/s"}, {"Running 1", "Running 0"}},
        {{"C:\\Saver\\3DTidewell.scr", "/c:12"}, {}},
        {{"C:\\Saver\\3DTidewell.scr"}, {}},
        {{"C:\\Saver\\3DTidewell.exe"}, {}},
        {{"C:\\Saver\\3DTidewell.scr", "/p", "1234"}, {}},
        {{"C:\\Saver\\3DTidewell.scr", "/a", "42"}, {}},
    };
    for (const auto& [args, expected] : runs) {
        SaverRig rig;
        rig.Make(args)->Loaded();  // made, loaded and destroyed
        Args flags;
        for (const auto& call : rig.system.calls)
            if (call.rfind("Running", 0) == 0 || call.rfind("SPI", 0) == 0) flags.push_back(call);
        EXPECT_EQ(flags, expected) << args.back();
    }
}

TEST(ShowCursorUntilVisible, ShowsOnlyAsOftenAsTheCountNeeds) {
    for (const auto& [hidden, calls] : {std::pair{0, 1}, std::pair{-1, 1}, std::pair{-2, 2}, std::pair{-5, 5}}) {
        FakeSaverSystem system;
        system.cursorCount = hidden;
        EXPECT_EQ(ShowCursorUntilVisible(system), calls);
        EXPECT_GE(system.cursorCount, 0);
    }
}

TEST(TScreenSaverApp, PreviewBecomesAChildCoveringItsParent) {
    SaverRig rig;
    rig.system.windows[1234] = {152, 112};
    auto app = rig.Make({"C:\\Saver\\3DTidewell.scr", "/p", "1234"});
    app->Loaded();
    EXPECT_EQ(app->SaverMode(), smPreview);
    EXPECT_EQ(app->ParentHandle(), 1234);
    EXPECT_EQ(app->Needs().Form, TFormStance::InParentWindow);
    EXPECT_EQ(app->ParentWindowSize(), std::make_pair(152, 112));
    EXPECT_EQ(rig.system.cursorCount, 0);

    SaverRig zero;
    auto app0 = zero.Make({"a.scr", "/p", "0"});
    app0->Loaded();
    EXPECT_EQ(app0->ParentHandle(), 0);
    EXPECT_FALSE(app0->ParentWindowSize());
}

TEST(TScreenSaverApp, PlainProgramAndExeCopiesMeetTheGuardOnlyWhenTheyShould) {
    SaverRig program;
    auto a = program.Make({"C:\\Saver\\3DTidewell.exe"});
    a->Loaded();
    EXPECT_EQ(a->SaverMode(), smProgram);
    EXPECT_TRUE(a->SingleInstance);
    EXPECT_EQ(program.guard.created.size(), 1u);
    EXPECT_TRUE(program.host.calls.empty());  // no taskbar changes
    EXPECT_EQ(a->Needs().Form, TFormStance::Dialog);
    EXPECT_TRUE(program.system.calls.empty());

    // The copy run-as-program starts never meets the guard of the waiting ".SCR".
    SaverRig copy;
    copy.guard.held.insert("3DTidewellSemaphore");
    auto b = copy.Make({"C:\\Saver\\3DTidewell.exe", "/s"});
    b->Loaded();
    EXPECT_FALSE(b->SingleInstance);
    EXPECT_TRUE(copy.guard.created.empty());
    EXPECT_FALSE(copy.application.Terminated());
}

TEST(TScreenSaverApp, ASecondInstanceEndsQuietly) {
    SaverRig rig;
    rig.guard.held.insert("3DTidewellSemaphore");
    {
        auto app = rig.Make({"C:\\Saver\\3DTidewell.scr", "/s"});
        app->SetLogFile(true);
        app->Loaded();
        EXPECT_TRUE(rig.application.Terminated());
        EXPECT_FALSE(rig.application.ShowMainForm);
        EXPECT_FALSE(app->LogFile());
        EXPECT_TRUE(app->AnotherInstanceRuns());
    }
    // It leaves the running instance's system flags and cursor alone.
    EXPECT_TRUE(rig.system.calls.empty());
    EXPECT_TRUE(std::ranges::find(rig.host.calls, "BringSettingsDialogForward") == rig.host.calls.end());
}

// A second start of the dialog (Windows' /c, Linux's plain start) shows the open one first.
TEST(TScreenSaverApp, ASecondDialogBringsTheOpenOneForward) {
    for (const Args& args : {Args{"C:\\Saver\\3DTidewell.scr", "/c:1234"}, Args{"/usr/bin/3dtidewell"}}) {
        SaverRig rig;
        rig.host.dotless = args.size() == 1;
        rig.guard.held.insert(args.size() == 1 ? "3dtidewellSemaphore" : "3DTidewellSemaphore");
        auto app = rig.Make(args);
        app->Loaded();
        EXPECT_TRUE(rig.application.Terminated()) << args[0];
        EXPECT_EQ(std::ranges::count(rig.host.calls, "BringSettingsDialogForward"), 1) << args[0];
    }
}

TEST(TScreenSaverApp, DotlessProgramNames) {
    SaverRig windows;
    windows.host.args = {"C:\\Saver\\tidewell"};
    auto a = std::make_unique<TCustomApplicationPro>(windows.application,
                                                     TAppServices{windows.host, windows.registry, windows.guard});
    a->Loaded();
    EXPECT_EQ(a->ExeBaseName(), "");
    EXPECT_EQ(windows.guard.created, Args{"Semaphore"});
    EXPECT_EQ(a->LogFileName(), "C:\\Saver\\.log");

    SaverRig linux;
    linux.host.dotless = true;
    linux.host.writableDir = "/home/u/.local/state/";
    auto b = linux.Make({"/usr/bin/3dtidewell", "/s"});
    b->Loaded();
    EXPECT_EQ(b->ExeBaseName(), "3dtidewell");
    EXPECT_EQ(b->ExeDir(), "/usr/bin/");
    EXPECT_EQ(b->LogFileName(), "/home/u/.local/state/3dtidewell.log");
    EXPECT_TRUE(b->SingleInstance);  // a Linux program: no launched copies there
    EXPECT_EQ(linux.guard.created, Args{"3dtidewellSemaphore"});
}

TEST(TScreenSaverApp, AHackTakesNoLockHidesNothingAndKeepsItsOptions) {
    SaverRig rig;
    rig.host.dotless = true;
    rig.host.hacks = true;
    auto app = rig.Make({"/usr/libexec/xscreensaver/3dtidewell", "-root", "-bubbles", "0", "-fps"});
    app->Loaded();
    EXPECT_EQ(app->SaverMode(), smHack);
    EXPECT_FALSE(app->SingleInstance);
    EXPECT_TRUE(rig.guard.created.empty());
    EXPECT_EQ(rig.system.cursorCount, 0);
    EXPECT_EQ(app->Needs().Form, TFormStance::NotShown);
    EXPECT_TRUE(rig.host.calls.empty());
    EXPECT_EQ(app->HackOptions().Window, THackOptions::kRootWindow);
    EXPECT_EQ(app->HackOptions().BubbleCount, 0);
    EXPECT_TRUE(app->HackOptions().ShowFps);

    // xscreensaver's variable alone makes a hack; where hacks do not run (Windows) it is ignored.
    SaverRig variable;
    variable.host.dotless = variable.host.hacks = true;
    variable.host.windowVariable = "0x2a";
    auto b = variable.Make({"/usr/bin/3dtidewell"});
    b->Loaded();
    EXPECT_EQ(b->SaverMode(), smHack);
    EXPECT_EQ(b->HackOptions().Window, 42);
    SaverRig windows;
    windows.host.windowVariable = "0x2a";
    auto c = windows.Make({"C:\\Saver\\3DTidewell.scr", "-root"});
    c->Loaded();
    EXPECT_EQ(c->SaverMode(), smSettings);

    SaverRig bad;
    bad.host.hacks = true;
    auto d = bad.Make({"/usr/bin/3dtidewell", "-fish", "101"});
    EXPECT_THROW(d->Loaded(), EHackUsage);
}

TEST(TScreenSaverApp, PasswordChangeCallsTheProviderAndEnds) {
    SaverRig rig;
    rig.system.libraries["C:\\WINDOWS\\SYSTEM32\\MPR.DLL"] = {"PwdChangePasswordA"};
    auto app = rig.Make({"C:\\Saver\\3DTidewell.scr", "/a", "42"});
    app->Loaded();
    EXPECT_EQ(app->SaverMode(), smPassword);
    EXPECT_TRUE(rig.application.Terminated());
    EXPECT_FALSE(rig.application.ShowMainForm);
    EXPECT_EQ(rig.system.calls, (Args{"Load C:\\WINDOWS\\SYSTEM32\\MPR.DLL", "PwdChangePasswordA SCRSAVE 42",
                                      "Free C:\\WINDOWS\\SYSTEM32\\MPR.DLL"}));
    EXPECT_EQ(app->SystemLibrary(), 0u);

    SaverRig missing;  // no MPR.DLL: skipped, still ends
    missing.system.systemDir = "C:\\SYS\\";
    auto b = missing.Make({"a.scr", "-A", "1"});
    b->Loaded();
    EXPECT_TRUE(missing.application.Terminated());
    EXPECT_EQ(missing.system.calls, Args{"Load C:\\SYS\\MPR.DLL"});
}

TEST(VerifyPassword, ClosesWithoutAskingUnlessAPasswordIsSetAndCheckable) {
    SaverRig rig;
    auto app = rig.Make({"a.scr", "/s"});
    app->Loaded();
    EXPECT_TRUE(app->VerifyPassword());  // no key
    const auto desktop = std::make_pair(TRootKey::CurrentUser, std::string("Control Panel\\desktop"));
    rig.registry.keys[desktop] = {};
    EXPECT_TRUE(app->VerifyPassword());  // no value
    rig.registry.keys[desktop]["ScreenSaveUsePassword"] = TRegValue::Int(0);
    EXPECT_TRUE(app->VerifyPassword());
    rig.registry.keys[desktop]["ScreenSaveUsePassword"] = TRegValue::Int(1);
    EXPECT_TRUE(app->VerifyPassword());  // no library
    rig.system.libraries["C:\\WINDOWS\\SYSTEM32\\PASSWORD.CPL"] = {};
    EXPECT_TRUE(app->VerifyPassword());  // no function
    EXPECT_EQ(rig.system.calls.back(), "Free C:\\WINDOWS\\SYSTEM32\\PASSWORD.CPL");

    rig.system.libraries["C:\\WINDOWS\\SYSTEM32\\PASSWORD.CPL"] = {"VerifyScreenSavePwd"};
    rig.system.verifyResult = 0;
    rig.system.calls.clear();
    EXPECT_FALSE(app->VerifyPassword());
    // Shown twice around the call (hidden at start and by the saver window), hidden again after.
    EXPECT_EQ(rig.system.calls,
              (Args{"Load C:\\WINDOWS\\SYSTEM32\\PASSWORD.CPL", "ShowCursor", "ShowCursor", "VerifyScreenSavePwd 777 cursor 1",
                    "HideCursor", "HideCursor", "Free C:\\WINDOWS\\SYSTEM32\\PASSWORD.CPL"}));
    rig.system.verifyResult = 5;
    EXPECT_TRUE(app->VerifyPassword());

    rig.registry.keys[desktop]["ScreenSaveUsePassword"] = TRegValue::Str("1");
    EXPECT_THROW(app->VerifyPassword(), Exception);
}

}  // namespace
