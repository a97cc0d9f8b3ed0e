#pragma once
// Fakes of the platform services the application frame uses.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/application_pro.h"
#include "app/exception.h"
#include "app/screen_saver_app.h"
#include "platform/services.h"

class FakeRegistryStore final : public IRegistryStore {
public:
    using Values = std::map<std::string, TRegValue>;
    std::map<std::pair<TRootKey, std::string>, Values> keys;
    std::vector<std::string> opens;    // "HKCU rw Software\X" per open
    std::vector<std::string> written;  // value names in the order they were written
    std::string refusal;               // when set, every write raises it

    class Key final : public IRegistryKey {
    public:
        Key(Values& values, std::vector<std::string>& written, const std::string& refusal)
            : values_(values), written_(written), refusal_(refusal) {}
        std::optional<TRegValue> Read(const std::string& name) override {
            const auto it = values_.find(name);
            if (it == values_.end()) return std::nullopt;
            return it->second;
        }
        void Write(const std::string& name, const TRegValue& value) override {
            if (!refusal_.empty()) throw Exception(refusal_);
            values_[name] = value;
            written_.push_back(name);
        }

    private:
        Values& values_;
        std::vector<std::string>& written_;
        const std::string& refusal_;
    };

    std::unique_ptr<IRegistryKey> OpenKey(TRootKey root, const std::string& path, bool writable) override {
        opens.push_back(std::string(root == TRootKey::CurrentUser ? "HKCU" : "HKLM") + (writable ? " rw " : " r ") + path);
        const auto id = std::make_pair(root, path);
        auto it = keys.find(id);
        if (it == keys.end()) {
            if (!writable) return nullptr;
            it = keys.emplace(id, Values{}).first;
        }
        return std::make_unique<Key>(it->second, written, refusal);
    }
};

class FakeGuard final : public IInstanceGuard {
public:
    std::set<std::string> held;  // names other processes hold
    std::vector<std::string> created;
    struct Handle final : IInstanceHandle {};
    std::unique_ptr<IInstanceHandle> Create(const std::string& name, bool& alreadyExisted) override {
        created.push_back(name);
        alreadyExisted = held.count(name) != 0;
        return std::make_unique<Handle>();
    }
};

class FakeHost final : public IApplicationHost {
public:
    std::vector<std::string> args{"C:\\Saver\\3DTidewell.scr"};
    bool dotless = false;
    std::string writableDir;  // empty: the program directory
    std::vector<std::string> calls;
    bool hacks = false;
    std::optional<std::string> windowVariable;

    const std::vector<std::string>& Arguments() override { return args; }
    bool DotlessNameIsBaseName() override { return dotless; }
    std::string WritableDirectory(const std::string& exeDir) override { return writableDir.empty() ? exeDir : writableDir; }
    std::FILE* OpenLog(const std::string& path, bool create) override { return OpenLogStream(path, create); }
    void HideApplicationWindow() override { calls.push_back("HideApplicationWindow"); }
    void SetToolWindowStyle() override { calls.push_back("SetToolWindowStyle"); }
    void BringSettingsDialogForward() override { calls.push_back("BringSettingsDialogForward"); }
    bool RunsHacks() override { return hacks; }
    std::optional<std::string> HackWindowVariable() override { return windowVariable; }
};

// What the form is asked to do by the code that runs beside it (the hand-over to the ".exe" copy).
class FakeForm {
public:
    std::vector<std::string> calls;
    int left = 0, top = 0, width = 511, height = 363;

    void Close() { calls.push_back("Close"); }
    void SetBounds(int l, int t, int w, int h) {
        calls.push_back("SetBounds " + std::to_string(l) + "," + std::to_string(t) + "," + std::to_string(w) + "," +
                        std::to_string(h));
    }
};

class FakeSaverSystem final : public ISaverSystem {
public:
    std::vector<std::string> calls;
    int cursorCount = 0;  // the counted cursor: below 0 is hidden
    TWindowHandle foreground = 777;
    std::map<TWindowHandle, std::pair<int, int>> windows;
    std::string systemDir = "C:\\WINDOWS\\SYSTEM32";
    std::map<std::string, std::set<std::string>> libraries;  // path -> procedures
    std::int32_t verifyResult = 1;
    std::vector<std::string> loaded;  // paths by handle - 1

    void SetSystemParameter(std::uint32_t action, std::uint32_t value) override {
        const std::string name = action == kSpiSetScreenSaverRunning ? "Running" : "SPI " + std::to_string(action);
        calls.push_back(name + " " + std::to_string(value));
    }
    int ShowCursor(bool show) override {
        cursorCount += show ? 1 : -1;
        calls.push_back(show ? "ShowCursor" : "HideCursor");
        return cursorCount;
    }
    TWindowHandle ForegroundWindow() override { return foreground; }
    bool WindowSize(TWindowHandle window, int& width, int& height) override {
        const auto it = windows.find(window);
        if (it == windows.end()) return false;
        width = it->second.first;
        height = it->second.second;
        return true;
    }
    std::string SystemDirectory() override { return systemDir; }
    TLibraryHandle OpenLibrary(const std::string& path) override {
        calls.push_back("Load " + path);
        if (!libraries.count(path)) return 0;
        loaded.push_back(path);
        return loaded.size();
    }
    void CloseLibrary(TLibraryHandle library) override { calls.push_back("Free " + loaded.at(library - 1)); }
    bool HasProcedure(TLibraryHandle library, const std::string& name) override {
        return libraries[loaded.at(library - 1)].count(name) != 0;
    }
    std::int32_t CallPwdChangePassword(TLibraryHandle, const std::string& provider, TWindowHandle parent) override {
        calls.push_back("PwdChangePasswordA " + provider + " " + std::to_string(parent));
        return 0;
    }
    std::int32_t CallVerifyScreenSavePwd(TLibraryHandle, TWindowHandle window) override {
        calls.push_back("VerifyScreenSavePwd " + std::to_string(window) + " cursor " + std::to_string(cursorCount));
        return verifyResult;
    }
};

// One saver component with fakes around it.
struct SaverRig {
    TApplication application;
    FakeRegistryStore registry;
    FakeGuard guard;
    FakeHost host;
    FakeForm form;
    FakeSaverSystem system;

    std::unique_ptr<TScreenSaverApp> Make(std::vector<std::string> args) {
        host.args = std::move(args);
        auto app = std::make_unique<TScreenSaverApp>(application, TAppServices{host, registry, guard}, system);
        app->Title = "3D Tidewell";
        app->Company = "Korvane Software";
        return app;
    }
};
