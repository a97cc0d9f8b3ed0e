#include "app/screen_saver_app.h"

#include <cctype>
#include <climits>

#include "app/exception.h"

TCommandLineRules CommandLineRules(IApplicationHost& host) {
    const bool hacks = host.RunsHacks();
    return {.Hacks = hacks, .WindowVariable = hacks ? host.HackWindowVariable() : std::nullopt, .Strict = hacks};
}

std::int32_t StrToInt(const std::string& text) {
    const auto fail = [&]() -> std::int32_t { throw Exception("'" + text + "' is not a valid integer value"); };
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size()) return fail();
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return fail();
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT32_MAX) + 1) return fail();
    }
    if (negative) value = -value;
    if (value > INT32_MAX || value < INT32_MIN) return fail();
    return static_cast<std::int32_t>(value);
}

namespace {

// xwininfo and xdotool print X window ids in hexadecimal; Windows hands over decimal handles.
TWindowHandle ReadHandleArgument(const std::string& text) {
    if (text.size() < 2 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return StrToInt(text);
    const auto id = ParseWindowId(text);
    if (!id) throw Exception("'" + text + "' is not a valid integer value");
    return static_cast<TWindowHandle>(*id);
}

}  // namespace

TWindowHandle ReadParentHandle(const std::vector<std::string>& args, TWindowHandle foreground) {
    if (args.size() >= 3) return ReadHandleArgument(args[2]);
    if (args.size() >= 2) {
        const auto colon = args[1].find(':');
        if (colon != std::string::npos) return StrToInt(args[1].substr(colon + 1, 20));
    }
    return foreground;
}

TScreenSaverApp::TScreenSaverApp(TApplication& application, TAppServices services, ISaverSystem& system)
    : TCustomGraphicApplicationPro(application, services), system_(system) {}

int ShowCursorUntilVisible(ISaverSystem& system) {
    // Bounded: a count that never rises (a broken driver) must not hang the error path.
    int calls = 0;
    while (calls < 64) {
        ++calls;
        if (system.ShowCursor(true) >= 0) break;
    }
    return calls;
}

TScreenSaverApp::~TScreenSaverApp() {
    UnloadSystemLibrary();
    if (flagsSet_) system_.SetSystemParameter(kSpiSetScreenSaverRunning, 0);
}

std::string TScreenSaverApp::ExeExtension() const {
    const auto& args = services_.host.Arguments();
    return UpperCase(SplitProgramPath(args.empty() ? std::string() : args[0], false).extension);
}

void TScreenSaverApp::InitApplication() {
    const TRunChoice choice = ChooseRunMode(services_.host.Arguments(), CommandLineRules(services_.host));
    run_ = choice.Mode;
    saverMode_ = run_->Mode;
    hackOptions_ = choice.Hack;
    wallpaperOptions_ = choice.Wallpaper;
    const TRunNeeds& needs = run_->Needs;
    InstanceMarker = needs.InstanceMarker;
    // A Linux program has no extension and no launched copies: one instance of every start
    // whose rule asks for it.
    const auto extension = ExeExtension();
    const bool linuxProgram = extension.empty() && services_.host.DotlessNameIsBaseName();
    SingleInstance = needs.Instance == TInstanceRule::EveryStart ||
                     (needs.Instance == TInstanceRule::WhenNotACopy && (extension == ".SCR" || linuxProgram));
    TCustomGraphicApplicationPro::InitApplication();
    // A second instance ends quietly: it must not touch the flags of the running one. A second
    // start of the dialog shows the open one instead.
    if (application_.Terminated()) {
        if (AnotherInstanceRuns() && needs.ForwardsToOpenDialog) services_.host.BringSettingsDialogForward();
        return;
    }

    // Only a full-screen run is a running screen saver; the dialog and the preview are not.
    if (needs.TellsSystemSaverRuns) {
        system_.SetSystemParameter(kSpiSetScreenSaverRunning, 1);
        flagsSet_ = true;
    }
    if (!needs.ReadsParentWindow) return;

    parentHandle_ = ReadParentHandle();
    HideApplicationWindow();
    SetToolWindowStyle();
    if (needs.HidesCursor) system_.ShowCursor(false);
    int width = 0, height = 0;
    if (needs.Form == TFormStance::InParentWindow && parentHandle_ != 0 &&
        system_.WindowSize(parentHandle_, width, height))
        parentSize_ = std::make_pair(width, height);
    if (run_->AtLoading) run_->AtLoading(*this);
}

TLibraryHandle TScreenSaverApp::LoadSystemLibrary(const std::string& name) {
    UnloadSystemLibrary();
    auto dir = system_.SystemDirectory();
    if (dir.size() > 260) dir.resize(260);
    if (dir.empty() || (dir.back() != '\\' && dir.back() != '/')) dir += '\\';
    systemLibrary_ = system_.OpenLibrary(dir + name);
    return systemLibrary_;
}

void TScreenSaverApp::UnloadSystemLibrary() {
    if (systemLibrary_ != 0) system_.CloseLibrary(systemLibrary_);
    systemLibrary_ = 0;
}

void TScreenSaverApp::ChangePassword() {
    application_.ShowMainForm = false;
    if (const auto library = LoadSystemLibrary("MPR.DLL")) {
        if (system_.HasProcedure(library, "PwdChangePasswordA"))
            system_.CallPwdChangePassword(library, "SCRSAVE", parentHandle_);
        UnloadSystemLibrary();
    }
    application_.Terminate();
}

bool TScreenSaverApp::VerifyPassword() {
    {
        TRegistry desktop(services_.registry, TRootKey::CurrentUser);
        if (!desktop.OpenKeyReadOnly("Control Panel\\desktop")) return true;
        if (!desktop.ValueExists("ScreenSaveUsePassword")) return true;
        if (desktop.ReadInteger("ScreenSaveUsePassword") == 0) return true;
    }
    const auto library = LoadSystemLibrary("PASSWORD.CPL");
    if (library == 0) return true;
    if (!system_.HasProcedure(library, "VerifyScreenSavePwd")) {
        UnloadSystemLibrary();
        return true;
    }
    system_.ShowCursor(true);
    system_.ShowCursor(true);
    std::int32_t result = 0;
    try {
        result = system_.CallVerifyScreenSavePwd(library, system_.ForegroundWindow());
    } catch (...) {
        system_.ShowCursor(false);
        system_.ShowCursor(false);
        UnloadSystemLibrary();
        throw;
    }
    system_.ShowCursor(false);
    system_.ShowCursor(false);
    UnloadSystemLibrary();
    return result != 0;
}
