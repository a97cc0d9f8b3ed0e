#include "app/application_pro.h"

#include <algorithm>
#include <cctype>

TProgramName SplitProgramPath(const std::string& path, bool dotlessNameIsBaseName) {
    TProgramName result;
    const auto slash = path.find_last_of("\\/:");
    result.dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    result.name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto lastDot = result.name.rfind('.');
    if (lastDot != std::string::npos) result.extension = result.name.substr(lastDot);
    const auto firstDot = result.name.find('.');
    if (firstDot != std::string::npos)
        result.baseName = result.name.substr(0, firstDot);
    else if (dotlessNameIsBaseName)
        result.baseName = result.name;
    return result;
}

std::string UpperCase(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

TCustomApplicationPro::TCustomApplicationPro(TApplication& application, TAppServices services)
    : application_(application), services_(services),
      log_([&host = services.host](const std::string& path, bool create) { return host.OpenLog(path, create); }) {}

TCustomApplicationPro::~TCustomApplicationPro() {
    instance_.reset();
    ReleaseOptions();
    log_.Close();
    // The application object outlives this component: leave no hook pointing at it.
    application_.OnIdle = nullptr;
    application_.OnException = nullptr;
    application_.OnActivate = nullptr;
    application_.OnDeactivate = nullptr;
    application_.OnMinimize = nullptr;
    application_.OnRestore = nullptr;
}

void TCustomApplicationPro::InitApplication() {
    if (!Title.empty()) application_.Title = Title;
    if (!application_.Title.empty()) Title = application_.Title;

    const auto& args = services_.host.Arguments();
    const auto program = SplitProgramPath(args.empty() ? std::string() : args[0], services_.host.DotlessNameIsBaseName());
    exeName_ = program.name;
    exeBaseName_ = program.baseName;
    exeDir_ = program.dir;
    logFileName_ = services_.host.WritableDirectory(exeDir_) + exeBaseName_ + ".log";
    log_.SetFileName(logFileName_);

    application_.OnException = [this](const std::exception& e) { DoException(e); };
    application_.OnIdle = [this](bool& done) { DoIdle(done); };

    if (SingleInstance) SingleInstanceGuard();
}

void TCustomApplicationPro::SingleInstanceGuard() {
    bool alreadyExisted = false;
    instance_ = services_.guard.Create(exeBaseName_ + InstanceMarker, alreadyExisted);
    if (instance_ && alreadyExisted) {
        anotherInstance_ = true;
        logFile_ = false;
        application_.Terminate();
        application_.ShowMainForm = false;
    }
}

void TCustomApplicationPro::WithoutInstanceMarker(const std::function<void()>& work) {
    const bool held = instance_ != nullptr;
    instance_.reset();
    struct TTakeAgain {
        TCustomApplicationPro& frame;
        bool held;
        ~TTakeAgain() {
            bool alreadyExisted = false;
            if (held) frame.instance_ = frame.services_.guard.Create(frame.exeBaseName_ + "Semaphore", alreadyExisted);
        }
    } takeAgain{*this, held};
    work();
}

void TCustomApplicationPro::SetLogFile(bool on) {
    logFile_ = on;
    if (!on) log_.Close();
}

std::string TCustomApplicationPro::OptionsKey() const {
    return Company.empty() ? "Software\\" + Title : "Software\\" + Company + "\\" + Title;
}

TRegistry& TCustomApplicationPro::OptionsRegistry() {
    if (!options_) {
        options_ = std::make_unique<TRegistry>(services_.registry,
                                               machineOptions_ ? TRootKey::LocalMachine : TRootKey::CurrentUser);
        if (readOnlyOptions_)
            options_->OpenKeyReadOnly(OptionsKey());
        else
            options_->OpenKey(OptionsKey(), true);
    }
    return *options_;
}

TRegistry& TCustomApplicationPro::OptionsRegistry(TOptionsScope scope) {
    SetScope(machineOptions_, scope == TOptionsScope::MachineRead);
    SetScope(readOnlyOptions_, scope != TOptionsScope::UserWrite);
    return OptionsRegistry();
}

void TCustomApplicationPro::ReleaseOptions() { options_.reset(); }

void TCustomApplicationPro::SetScope(bool& field, bool value) {
    if (field == value) return;
    field = value;
    ReleaseOptions();
}

namespace {
// Releases the options store when the handler returns or raises.
struct ReleaseOnExit {
    TCustomApplicationPro& frame;
    ~ReleaseOnExit() { frame.ReleaseOptions(); }
};
}  // namespace

void TCustomApplicationPro::UseOptions(const std::function<void()>& work) {
    ReleaseOnExit release{*this};
    work();
}

void TCustomApplicationPro::WriteLog(const std::string& text) {
    if (!logFile_) return;
    log_.WriteLine(text);
}

void TCustomApplicationPro::DoIdle(bool& done) {
    ReleaseOnExit release{*this};
    if (started_ == 0) {
        // Marked started first, so a start handler that fails is not run again on the next turn.
        started_ = 2;
        if (OnStart) OnStart();
    }
    done = false;
    if (OnIdle) OnIdle(done);
}

void TCustomApplicationPro::Notification(TOperation operation) {
    if (operation != TOperation::opRemove || !application_.Terminated()) return;
    if (started_ != 0) {
        started_ = 0;
        if (OnStop) OnStop();
    }
}

void TCustomApplicationPro::DoException(const std::exception& e) {
    if (Debug) {
        try {
            WriteLog(e.what());
        } catch (const std::exception&) {
            // A log that cannot be written must not hide the error being reported.
        }
    }
    if (!OnException) return;
    application_.OnIdle = nullptr;
    OnException(e);
    application_.OnIdle = OnIdle;
}

void TCustomGraphicApplicationPro::DoIdle(bool& done) { TCustomApplicationPro::DoIdle(done); }
