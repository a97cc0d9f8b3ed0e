#include <gtest/gtest.h>

#include "app/exception.h"
#include "app/execute_pro.h"
#include "form/run_as_program.h"
#include "form/saver_input.h"
#include "app/app_fakes.h"

namespace {

using Args = std::vector<std::string>;

THandOverForm HandOver(FakeForm& form) {
    return {.MoveOutOfSight = [&form] { form.SetBounds(-form.width, -form.height, 0, 0); },
            .PutBack = [&form] { form.SetBounds(form.left, form.top, form.width, form.height); },
            .Close = [&form] { form.Close(); }};
}

TEST(MoveFilter, SkipsFiveThenNeedsMoreThanTwoPixelsOnBothAxes) {
    TMoveFilter filter;
    filter.Reset();
    // The first six moves never stop, however wild.
    for (int i = 0; i < 6; ++i) EXPECT_FALSE(filter.Move(i * 500, i * 400)) << i;
    EXPECT_TRUE(filter.HasReference());
    // Horizontal only, however far: never.
    EXPECT_FALSE(filter.Move(5000, 2000));
    EXPECT_FALSE(filter.Move(2500, 2002));
    EXPECT_FALSE(filter.Move(2500, 1998));
    EXPECT_TRUE(filter.Move(2503, 2003));
    // The reference moved with the stop.
    EXPECT_FALSE(filter.Move(2505, 2005));
    EXPECT_TRUE(filter.Move(2500, 2000));
}

struct StopRig : SaverRig {
    Args actions;
    std::unique_ptr<TScreenSaverApp> app;
    std::unique_ptr<TSaverInput> input;

    explicit StopRig(Args args) {
        app = Make(std::move(args));
        app->Loaded();
        input = std::make_unique<TSaverInput>(
            *app, TStopActions{[this] { actions.push_back("StopSound"); }, [this] { actions.push_back("CloseSaverWindow"); },
                               [this] {
                                   actions.push_back("LogLine");
                                   return FullScreenLogLine(800, 600, 32, 61);
                               },
                               [this] { actions.push_back("CloseForm"); }});
        input->Start();
    }
    void SetPassword(std::int32_t verifyResult) {
        registry.keys[{TRootKey::CurrentUser, "Control Panel\\desktop"}]["ScreenSaveUsePassword"] = TRegValue::Int(1);
        system.libraries["C:\\WINDOWS\\SYSTEM32\\PASSWORD.CPL"] = {"VerifyScreenSavePwd"};
        system.verifyResult = verifyResult;
    }
};

TEST(RequestStop, SaverStopsInOrderOnKeyButtonOrMove) {
    StopRig rig({"a.scr", "/s"});
    rig.input->Key();
    EXPECT_EQ(rig.actions, (Args{"StopSound", "CloseSaverWindow", "LogLine", "CloseForm"}));
    rig.actions.clear();
    rig.input->MouseButton();
    EXPECT_EQ(rig.actions.size(), 4u);
    rig.actions.clear();
    for (int i = 0; i < 6; ++i) rig.input->MouseMove(100, 100);
    EXPECT_TRUE(rig.actions.empty());
    rig.input->MouseMove(103, 97);
    EXPECT_EQ(rig.actions.size(), 4u);
    EXPECT_EQ(rig.input->Filter().SkipCount(), 5);  // starts over after every request
}

TEST(RequestStop, ARejectedPasswordKeepsTheSaverRunning) {
    StopRig rig({"a.scr", "/s"});
    rig.SetPassword(0);
    for (int i = 0; i < 6; ++i) rig.input->MouseMove(0, 0);
    rig.input->MouseMove(10, 10);
    EXPECT_FALSE(rig.input->RequestStop());
    EXPECT_TRUE(rig.actions.empty());
    EXPECT_EQ(rig.input->Filter().SkipCount(), 5);
    EXPECT_FALSE(rig.input->Filter().HasReference());
    rig.system.verifyResult = 1;
    EXPECT_TRUE(rig.input->RequestStop());
    EXPECT_EQ(rig.actions.back(), "CloseForm");
}

TEST(RequestStop, DialogPreviewAsksNoPasswordAndKeepsTheDialog) {
    StopRig rig({"a.scr", "/c"});
    rig.SetPassword(0);
    EXPECT_TRUE(rig.input->RequestStop());
    EXPECT_EQ(rig.actions, (Args{"StopSound", "CloseSaverWindow", "LogLine"}));
}

TEST(RequestStop, AnInvalidPasswordFlagTakesTheExceptionPath) {
    StopRig rig({"a.scr", "/s"});
    rig.registry.keys[{TRootKey::CurrentUser, "Control Panel\\desktop"}]["ScreenSaveUsePassword"] = TRegValue::Str("yes");
    EXPECT_THROW(rig.input->Key(), Exception);
    EXPECT_TRUE(rig.actions.empty());
}

TEST(SaverRun, EventsInOrderFromLoadingToDestruction) {
    SaverRig rig;
    Args events;
    {
        auto app = rig.Make({"C:\\Saver\\3DTidewell.scr", "/s"});
        app->OnStart = [&] {
            events.push_back("start");
            app->UseOptions([&] {
                events.push_back("load " + std::to_string(app->OptionsRegistry(TOptionsScope::UserWrite).HasCurrentKey()));
            });
        };
        app->OnIdle = [&](bool&) { events.push_back("idle"); };
        app->OnStop = [&] { events.push_back("stop"); };
        app->Loaded();
        events.push_back(rig.system.calls.front());
        rig.application.Idle();
        rig.application.Idle();
        rig.application.Idle();
        rig.application.Terminate();
        app->Notification(TOperation::opRemove);
        app->Notification(TOperation::opRemove);
        events.push_back("destroy");
    }
    events.push_back(rig.system.calls.back());
    EXPECT_EQ(events, (Args{"Running 1", "start", "load 1", "idle", "idle", "idle", "stop", "destroy", "Running 0"}));
    EXPECT_FALSE(rig.application.OnIdle);  // no hook left on a destroyed component
}

TEST(CommandLineSplit, ProgramAndParameters) {
    std::string program, parameters;
    SplitCommandLine("C:\\Games\\AQUA.exe /s", program, parameters);
    EXPECT_EQ(program, "C:\\Games\\AQUA.exe");
    EXPECT_EQ(parameters, "/s");
    SplitCommandLine("C:\\Games\\AQUA.exe", program, parameters);
    EXPECT_EQ(program, "C:\\Games\\AQUA.exe");
    EXPECT_EQ(parameters, "");
    // Without a dot the first space of the name splits.
    SplitCommandLine("C:\\Games\\aqua a b", program, parameters);
    EXPECT_EQ(program, "C:\\Games\\aqua");
    EXPECT_EQ(parameters, "a b");
    // Spaces before the last dot belong to the program.
    SplitCommandLine("C:\\My Games\\Aqua Saver.exe /c x", program, parameters);
    EXPECT_EQ(program, "C:\\My Games\\Aqua Saver.exe");
    EXPECT_EQ(parameters, "/c x");
    // A dot in the first position of the name: no parameters.
    SplitCommandLine("D:.x y", program, parameters);
    EXPECT_EQ(program, "D:.x");
    EXPECT_EQ(parameters, "");
    EXPECT_EQ(CommandLineDirectory("D:.x y"), "D:");
    EXPECT_EQ(CommandLineDirectory("notepad"), "");
}

class FakeLauncher final : public IProcessLauncher {
public:
    struct Process final : IProcess {
        FakeLauncher& owner;
        explicit Process(FakeLauncher& o) : owner(o) {}
        bool ExitCode(std::uint32_t& code) override {
            ++owner.checks;
            if (owner.onCheck) owner.onCheck();
            code = owner.checks > owner.runningChecks ? 0 : kStillActive;
            return true;
        }
    };
    Args calls;
    int checks = 0, runningChecks = 3, pauses = 0;
    bool fail = false;
    std::uint32_t ownPriority = 0;
    std::function<void()> onCheck;

    std::unique_ptr<IProcess> StartProcess(const std::string& commandLine, const std::string& directory,
                                            std::uint32_t priorityClass, int showCommand) override {
        calls.push_back("create [" + commandLine + "] [" + directory + "] " + std::to_string(priorityClass) + " " +
                        std::to_string(showCommand));
        if (fail) return nullptr;
        return std::make_unique<Process>(*this);
    }
    void ShellOpen(const std::string& file, const std::string& parameters, const std::string& directory,
                   int showCommand) override {
        calls.push_back("open [" + file + "] [" + parameters + "] [" + directory + "] " + std::to_string(showCommand));
    }
    void Pause() override { ++pauses; }
    void SetOwnPriorityClass(std::uint32_t priorityClass) override { ownPriority = priorityClass; }
};

// The platform's queue: one message arrives before each check of the process, and a message
// whose handler fails reaches the application's exception event, not the waiting caller.
class QueuePump final : public IMessagePump {
public:
    int waiting = 0, handled = 0;
    bool ProcessOne() override {
        if (waiting == 0) return false;
        --waiting;
        if (++handled == 2) throw Exception("in a message");
        return true;
    }
    void WaitForMessage() override {}
};

TEST(TExecutePro, ModesPrioritiesAndTheWaitLoop) {
    TApplication application;  // no message loop runs: nothing installed a hook
    std::vector<std::string> errors;
    application.OnException = [&](const std::exception& e) { errors.push_back(e.what()); };
    FakeLauncher launcher;
    QueuePump pump;
    launcher.onCheck = [&] { ++pump.waiting; };
    TExecutePro exec(application, launcher, &pump);
    exec.Priority = TExecPriority::epHigh;
    exec.Execute("C:\\Games\\AQUA.EXE /s");
    EXPECT_EQ(exec.DefaultDirectory, "C:\\Games\\");
    EXPECT_EQ(launcher.calls, Args{"create [C:\\Games\\AQUA.EXE /s] [C:\\Games\\] 128 6"});
    EXPECT_EQ(pump.handled, 3);  // every message that arrived while the copy ran
    EXPECT_EQ(pump.waiting, 1);  // the one with the final check: the wait is over
    EXPECT_EQ(errors, Args{"in a message"});
    EXPECT_EQ(launcher.pauses, 3);

    launcher.calls.clear();
    exec.Execute("C:\\Docs\\readme.txt");  // auto: not an ".exe", through the shell
    EXPECT_EQ(launcher.calls, Args{"open [C:\\Docs\\readme.txt] [] [C:\\Games\\] 0"});
    launcher.calls.clear();
    exec.Mode = TExecMode::emShell;
    exec.WindowStyle = TExecWindowStyle::ewMaximize;
    exec.Execute("C:\\Games\\AQUA.exe /c");
    EXPECT_EQ(launcher.calls, Args{"open [C:\\Games\\AQUA.exe] [/c] [C:\\Games\\] 3"});

    // A terminating application stops waiting.
    launcher.calls.clear();
    launcher.checks = 0;
    launcher.runningChecks = 1000;
    exec.Mode = TExecMode::emProcess;
    application.Terminate();
    exec.Execute("x.exe");
    EXPECT_EQ(launcher.checks, 1);
    EXPECT_EQ(PriorityClass(TExecPriority::epIdle), 0x40u);
    EXPECT_EQ(PriorityClass(TExecPriority::epRealTime), 0x100u);
    EXPECT_EQ(ShowCommand(TExecWindowStyle::ewHide), 0);
    EXPECT_EQ(ShowCommand(TExecWindowStyle::ewShow), 5);
}

TEST(RunAsProgram, ScrSaverAndSettingsHandOverToTheExeCopy) {
    {
        SaverRig rig;
        auto app = rig.Make({"C:\\Program Files\\Aqua\\AQUA.SCR", "/s"});
        app->Loaded();
        FakeLauncher launcher;
        TExecutePro exec(rig.application, launcher);
        EXPECT_TRUE(RunAsProgramLaunch(true, *app, exec, launcher, HandOver(rig.form), "C:\\Program Files\\Aqua\\").Done);
        // Quoted, so that the system never tries "C:\Program.exe".
        EXPECT_EQ(launcher.calls,
                  Args{"create [\"C:\\Program Files\\Aqua\\AQUA.exe\" /s] [C:\\Program Files\\Aqua\\] 32 5"});
        EXPECT_EQ(launcher.ownPriority, 0x40u);
        EXPECT_EQ(rig.form.calls.back(), "Close");
        EXPECT_EQ(rig.form.calls[rig.form.calls.size() - 2], "SetBounds -511,-363,0,0");
        EXPECT_TRUE(rig.application.Terminated());
    }
    {
        SaverRig rig;
        auto app = rig.Make({"C:\\Games\\AQUA.scr", "/c:99"});
        app->Loaded();
        FakeLauncher launcher;
        launcher.fail = true;  // a missing copy: this process shows the dialog instead
        TExecutePro exec(rig.application, launcher);
        const THandOver handOver = RunAsProgramLaunch(true, *app, exec, launcher, HandOver(rig.form), "D:\\Inst\\");
        // The dialog's owner goes along.
        EXPECT_EQ(launcher.calls, Args{"create [\"D:\\Inst\\AQUA.exe\" /c:99] [D:\\Inst\\] 32 5"});
        EXPECT_FALSE(handOver.Done);
        EXPECT_NE(handOver.Failure.find("\"D:\\Inst\\AQUA.exe\""), std::string::npos) << handOver.Failure;
        EXPECT_FALSE(rig.application.Terminated());
        EXPECT_EQ(launcher.ownPriority, 0x20u);
        EXPECT_EQ(rig.form.calls, (Args{"SetBounds -511,-363,0,0", "SetBounds 0,0,511,363"}));
    }
    // Off, a preview, or the ".exe" copy itself: no hand-over.
    for (const auto& [on, args] : std::vector<std::pair<bool, Args>>{
             {false, {"A.scr", "/s"}}, {true, {"A.scr", "/p", "5"}}, {true, {"A.exe", "/s"}}, {true, {"A.scr", "/a", "1"}}}) {
        SaverRig rig;
        auto app = rig.Make(args);
        app->Loaded();
        FakeLauncher launcher;
        TExecutePro exec(rig.application, launcher);
        const THandOver handOver = RunAsProgramLaunch(on, *app, exec, launcher, HandOver(rig.form), "C:\\");
        EXPECT_FALSE(handOver.Done);
        EXPECT_TRUE(handOver.Failure.empty());
        EXPECT_TRUE(launcher.calls.empty());
    }
}

}  // namespace
