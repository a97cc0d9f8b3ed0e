// Every OS-wide service of platform/services.h, each doing nothing or reporting that it is not
// there, and the null display platform (null_display.cpp) as the only one.
//
// PLATFORM: none. For porting (a new platform starts from these files and replaces one service
// at a time) and for testing: a program linked with them and the core proves that the core
// reaches the system only through what it is handed.
// LIMITATIONS: no OpenGL library, no built-in resources, no options store, no instance marker,
// no log file, no sound; the clock stands still at 0; the display is the null one's.
// DEPENDENCIES: the core library and the C++ standard library only.
#include "platform/null/null_display.h"
#include "platform/services.h"

namespace {

class TNullClock final : public IMillisecondClock {
public:
    std::uint32_t Now() override { return 0; }
    bool GetPeriodRange(std::uint32_t&, std::uint32_t&) override { return false; }
    bool BeginPeriod(std::uint32_t) override { return false; }
    void EndPeriod(std::uint32_t) override {}
};

class TNullLibraryLoader final : public ILibraryLoader {
public:
    void* Open(const std::string&) override { return nullptr; }
    void* Find(void*, const char*) override { return nullptr; }
    void* FindExtension(const char*) override { return nullptr; }
    void Close(void*) override {}
};

class TNullResources final : public IResourceFinder {
public:
    bool Find(TResourceKind, std::string_view, TResourceBytes&) override { return false; }
};

class TNullPriority final : public IProcessPriority {
public:
    void SetNormal() override {}
    void SetHigh() override {}
};

class TNullHost final : public IApplicationHost {
public:
    explicit TNullHost(std::vector<std::string> args) : args_(std::move(args)) {}
    const std::vector<std::string>& Arguments() override { return args_; }
    bool DotlessNameIsBaseName() override { return true; }
    std::string WritableDirectory(const std::string& exeDir) override { return exeDir; }
    std::FILE* OpenLog(const std::string& path, bool create) override { return OpenLogStream(path, create); }
    void HideApplicationWindow() override {}
    void SetToolWindowStyle() override {}

private:
    std::vector<std::string> args_;
};

class TNullOptionsStore final : public IRegistryStore {
public:
    std::unique_ptr<IRegistryKey> OpenKey(TRootKey, const std::string&, bool) override { return nullptr; }
};

class TNullInstanceGuard final : public IInstanceGuard {
public:
    std::unique_ptr<IInstanceHandle> Create(const std::string&, bool& alreadyExisted) override {
        alreadyExisted = false;
        return nullptr;
    }
};

class TNullLauncher final : public IProcessLauncher {
public:
    std::unique_ptr<IProcess> StartProcess(const std::string&, const std::string&, std::uint32_t, int) override {
        return nullptr;
    }
    void ShellOpen(const std::string&, const std::string&, const std::string&, int) override {}
    void Pause() override {}
    void SetOwnPriorityClass(std::uint32_t) override {}
};

class TNullSoundPlayer final : public ISoundPlayer {
public:
    void Play(const char*, std::uint32_t) override {}
};

}  // namespace

IMillisecondClock& SystemClock() {
    static TNullClock clock;
    return clock;
}

ILibraryLoader& SystemLibraryLoader() {
    static TNullLibraryLoader loader;
    return loader;
}

IResourceFinder& ProgramResources() {
    static TNullResources resources;
    return resources;
}

std::FILE* OpenLogStream(const std::string&, bool) { return nullptr; }

std::unique_ptr<IProfileReader> OpenProfileFile(const std::string&) { return nullptr; }

IProcessPriority& ProcessPriority() {
    static TNullPriority priority;
    return priority;
}

std::unique_ptr<IApplicationHost> CreateApplicationHost(std::vector<std::string> args) {
    return std::make_unique<TNullHost>(std::move(args));
}
std::unique_ptr<IRegistryStore> CreateOptionsStore() { return std::make_unique<TNullOptionsStore>(); }
std::unique_ptr<IInstanceGuard> CreateInstanceGuard() { return std::make_unique<TNullInstanceGuard>(); }
std::unique_ptr<IProcessLauncher> CreateProcessLauncher() { return std::make_unique<TNullLauncher>(); }
std::unique_ptr<IIdleWatchSession> CreateIdleWatchSession(const std::string&) { return nullptr; }
std::string DialogPlatform() { return {}; }
std::function<std::string(const std::function<void(IRegistryStore&)>&)> SeparatePreview(const std::string&,
                                                                                       const std::string&) {
    return {};
}
std::function<void(bool)> SessionStartSetter(const std::string&) { return {}; }
std::function<void(bool)> WallpaperSessionStartSetter(const std::string&) { return {}; }
std::string WallpaperUnavailable() { return {}; }
std::unique_ptr<ISoundPlayer> CreateSoundPlayer(TResourceLookup) { return std::make_unique<TNullSoundPlayer>(); }
std::unique_ptr<IPowerSource> CreatePowerSource() {
    struct TMains final : IPowerSource {
        bool OnBattery() override { return false; }
    };
    return std::make_unique<TMains>();
}

std::string SceneDescriptionFile(const std::string& installPath, const std::string& exeBaseName) {
    return installPath + exeBaseName + ".ini";
}

std::string TemporaryDirectory() { return {}; }
std::string DocumentFolder(const std::string&) { return {}; }
std::string WritePrivateFile(const std::string&, const std::string&) { return {}; }

std::vector<TDisplayPlatformEntry> DisplayPlatforms() { return {{"null", nullptr, CreateNullDisplayPlatform}}; }
