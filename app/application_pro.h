#pragma once
// The application frame component: takes over the application object's events, turns idle
// turns into a start event and a continuous idle event, keeps the options store, the log and
// the single-instance guard, and reports exceptions through its own event.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/application.h"
#include "app/log_file.h"
#include "app/registry.h"

// The named marker a running instance holds; destroying it releases the name.
class IInstanceHandle {
public:
    virtual ~IInstanceHandle() = default;
};

class IInstanceGuard {
public:
    virtual ~IInstanceGuard() = default;
    // Creates the marker `name`; alreadyExisted tells that another process holds it. nullptr
    // when no marker could be made at all (the guard then does nothing).
    virtual std::unique_ptr<IInstanceHandle> Create(const std::string& name, bool& alreadyExisted) = 0;
};

// What the frame asks of the platform besides the store and the guard.
class IApplicationHost {
public:
    virtual ~IApplicationHost() = default;
    // The process arguments as the runtime splits them; argument 0 is the program path.
    virtual const std::vector<std::string>& Arguments() = 0;
    // True where program files carry no extension (Linux): a name without a dot is then its own
    // base name instead of an empty one.
    virtual bool DotlessNameIsBaseName() = 0;
    // Where files named after the program are written: its directory, or a per-user folder when
    // the platform's rule keeps them out of it (not writable; on Linux, not the user's own).
    // Ends with a separator.
    virtual std::string WritableDirectory(const std::string& exeDir) = 0;
    // Opens the log file as TLogOpener does: the platform's OpenLogStream.
    virtual std::FILE* OpenLog(const std::string& path, bool create) = 0;
    virtual void HideApplicationWindow() = 0;
    virtual void SetToolWindowStyle() = 0;
    // Brings this user's open settings dialog (another instance's) to the front: a second start
    // of the dialog ends in its favour. Nothing when none is shown.
    virtual void BringSettingsDialogForward() {}
    // Whether xscreensaver's hack conventions apply (X11), and its XSCREENSAVER_WINDOW variable.
    virtual bool RunsHacks() { return false; }
    virtual std::optional<std::string> HackWindowVariable() { return std::nullopt; }
};

struct TAppServices {
    IApplicationHost& host;
    IRegistryStore& registry;
    IInstanceGuard& guard;
};

enum class TOperation { opInsert, opRemove };

// Where the options live and how they are opened: the user's, read-only or read and write (the
// key then made when missing), or the machine's, read-only.
enum class TOptionsScope { UserRead, UserWrite, MachineRead };

// Splits a program path. The extension runs from the last dot of the file name, dot included.
struct TProgramName {
    std::string dir;       // with its trailing separator
    std::string name;      // file name with extension
    std::string baseName;  // up to the first dot
    std::string extension;
};
TProgramName SplitProgramPath(const std::string& path, bool dotlessNameIsBaseName);
std::string UpperCase(std::string s);

class TCustomApplicationPro {
public:
    TCustomApplicationPro(TApplication& application, TAppServices services);
    virtual ~TCustomApplicationPro();
    TCustomApplicationPro(const TCustomApplicationPro&) = delete;
    TCustomApplicationPro& operator=(const TCustomApplicationPro&) = delete;

    std::string Title;
    std::string Company;
    std::int32_t MajorVersion = 1;
    std::int32_t MinorVersion = 0;
    bool SingleInstance = true;
    // The single-instance marker is the program's base name followed by this.
    std::string InstanceMarker = "Semaphore";
    bool Debug = false;

    TNotifyEvent OnStart;
    TNotifyEvent OnStop;
    TExceptionEvent OnException;
    TIdleEvent OnIdle;

    const std::string& ExeBaseName() const { return exeBaseName_; }
    const std::string& ExeDir() const { return exeDir_; }
    const std::string& ExeName() const { return exeName_; }
    const std::string& LogFileName() const { return logFileName_; }
    std::uint8_t Started() const { return started_; }
    bool ReadOnlyOptions() const { return readOnlyOptions_; }
    bool MachineOptions() const { return machineOptions_; }
    bool LogFile() const { return logFile_; }
    void SetLogFile(bool on);
    bool HasInstanceMarker() const { return instance_ != nullptr; }
    // Lets go of the single-instance marker while work runs (a saver process this one waits
    // for, which takes the marker itself), then takes it again.
    void WithoutInstanceMarker(const std::function<void()>& work);
    // The single-instance guard found another instance running: this one ends, and its form
    // stays hidden with its events disconnected.
    bool AnotherInstanceRuns() const { return anotherInstance_; }
    TApplication& Application() { return application_; }

    // "Software\" + Company + "\" + Title, or "Software\" + Title without a company.
    std::string OptionsKey() const;
    TRegistry& OptionsRegistry();
    // The store opened in scope (the scope's switches set first).
    TRegistry& OptionsRegistry(TOptionsScope scope);
    void ReleaseOptions();
    bool OptionsCached() const { return options_ != nullptr; }
    // One load or save: runs work, which uses the store, then releases the store, also when
    // work fails.
    void UseOptions(const std::function<void()>& work);
    void WriteLog(const std::string& text);
    void HideApplicationWindow() { services_.host.HideApplicationWindow(); }
    void SetToolWindowStyle() { services_.host.SetToolWindowStyle(); }

    // The owner's loaded notification: runs InitApplication.
    void Loaded() { InitApplication(); }
    // The owner's removal notification: raises the stop event once per start while the
    // application terminates.
    void Notification(TOperation operation);

    virtual void DoException(const std::exception& e);
    virtual void DoIdle(bool& done);

protected:
    virtual void InitApplication();
    void SetScope(bool& field, bool value);

    TApplication& application_;
    TAppServices services_;
    bool readOnlyOptions_ = false;
    bool machineOptions_ = false;

private:
    void SingleInstanceGuard();

    std::string exeBaseName_;
    std::string exeDir_;
    std::string exeName_;
    std::string logFileName_;
    std::unique_ptr<IInstanceHandle> instance_;
    bool anotherInstance_ = false;
    TLogFile log_;
    bool logFile_ = false;
    std::uint8_t started_ = 0;
    std::unique_ptr<TRegistry> options_;
};

class TCustomGraphicApplicationPro : public TCustomApplicationPro {
public:
    using TCustomApplicationPro::TCustomApplicationPro;

    // Store the scope switch; a change releases the cached store.
    void SetMachineOptions(bool value) { SetScope(machineOptions_, value); }
    void SetReadOnlyOptions(bool value) { SetScope(readOnlyOptions_, value); }

    void DoIdle(bool& done) override;
};
