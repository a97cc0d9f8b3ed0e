// The main form's handlers over a fake scene and fake platform: the order of a saver run from
// loading to destruction, and every way it ends (input, errors, preview parent gone, hand-over).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "app/app_fakes.h"
#include "app/exception.h"
#include "app/message_loop.h"
#include "form/form_fishes.h"
#include "form/saver_options.h"
#include "scene/frame_rate.h"
#include "sim/random.h"
#include "support/temp_dir.h"

namespace {

using Log = std::vector<std::string>;

class FakeDrawingWindow final : public IDrawingWindow {
public:
    FakeDrawingWindow(ISaverWindow& window, Log& log) : window_(window), log_(log) {}
    ~FakeDrawingWindow() override { log_.push_back("surface freed"); }
    std::int32_t ClientWidth() const override { return window_.Width(); }
    std::int32_t ClientHeight() const override { return window_.Height(); }
    IGLDevice* AcquireDevice() override { return nullptr; }
    void ReleaseDevice(IGLDevice*) override {}
    void LimitFrameRate(double rate) override { log_.push_back("frame rate limit " + std::to_string(std::lround(rate))); }

private:
    ISaverWindow& window_;
    Log& log_;
};

class FakeWindow final : public ISaverWindow {
public:
    FakeWindow(Log& log, int width, int height) : log_(log), width_(width), height_(height) {}
    ~FakeWindow() override { log_.push_back("window freed"); }
    std::intptr_t NativeHandle() override { return 99; }
    int Width() override { return width_; }
    int Height() override { return height_; }
    bool Visible() override { return visible_; }
    void Show() override {
        log_.push_back("window shown");
        visible_ = true;
    }
    void Hide() override {
        if (visible_) log_.push_back("window hidden");
        visible_ = false;
    }
    void Paint() override {
        if (OnPaint) OnPaint();
    }
    bool Gone() override { return gone; }
    bool Unseen() override { return unseen; }
    bool Place(int left, int top, int width, int height) override {
        if (!placeable) return false;
        log_.push_back("window placed " + std::to_string(width) + "x" + std::to_string(height) + " at " +
                       std::to_string(left) + "," + std::to_string(top));
        width_ = width;
        height_ = height;
        return true;
    }
    bool gone = false;
    bool unseen = false;
    bool placeable = true;  // false: the root window

private:
    Log& log_;
    int width_, height_;
    bool visible_ = false;
};

class FakeWindows final : public IWindowSystem {
public:
    explicit FakeWindows(Log& log) : log_(log) {}
    FakeWindow* saver = nullptr;
    FakeWindow* child = nullptr;
    FakeWindow* adopted = nullptr;
    bool adoptedGoesAtOnce = false;  // its owner destroys it as soon as it is adopted
    std::intptr_t existingParent = 1234;
    std::function<void()> quit;  // what a quit signal would run
    int waits = 0;
    bool asleep = false;                 // the display
    std::function<void(int wait)> onWait;  // the events a wait would bring

    int queued = 0;  // messages waiting in the platform's queue
    int handled = 0;
    std::vector<FakeWindow*> covers;

    bool ProcessOne() override {
        if (queued == 0) return false;
        --queued;
        ++handled;
        return true;
    }
    void WaitForMessage() override {
        // A preview waits here for its parent to go away; a wait that nothing ends fails.
        if (++waits == 3 && child && child->OnDestroyed) child->OnDestroyed();
        if (onWait) onWait(waits);
        if (waits > 1000) {
            ADD_FAILURE() << "still waiting after 1000 turns";
            throw Exception("wait limit");
        }
    }
    static std::string Place(int left, int top, int width, int height) {
        return std::to_string(width) + "x" + std::to_string(height) +
               (left || top ? " at " + std::to_string(left) + "," + std::to_string(top) : "");
    }
    std::unique_ptr<ISaverWindow> CreateSaverWindow(const std::string& title, int left, int top, int width,
                                                    int height) override {
        log_.push_back("saver window " + title + " " + Place(left, top, width, height));
        auto window = std::make_unique<FakeWindow>(log_, width, height);
        saver = window.get();
        return window;
    }
    std::unique_ptr<ISaverWindow> CreateCoverWindow(int left, int top, int width, int height) override {
        log_.push_back("cover " + Place(left, top, width, height));
        auto window = std::make_unique<FakeWindow>(log_, width, height);
        covers.push_back(window.get());
        return window;
    }
    std::unique_ptr<ISaverWindow> CreateChildWindow(std::intptr_t parent) override {
        log_.push_back("child window of " + std::to_string(parent));
        if (parent != existingParent) return nullptr;
        auto window = std::make_unique<FakeWindow>(log_, 152, 112);
        child = window.get();
        return window;
    }
    std::unique_ptr<ISaverWindow> AdoptWindow(std::intptr_t window) override {
        log_.push_back("adopt window " + std::to_string(window));
        if (window != existingParent && window != -1) return nullptr;
        auto adopt = std::make_unique<FakeWindow>(log_, 640, 400);
        adopt->gone = adoptedGoesAtOnce;
        adopted = adopt.get();
        return adopt;
    }
    FakeWindow* wallpaper = nullptr;
    bool wallpaperRoot = false;  // nobody manages windows: the root window it is
    std::unique_ptr<ISaverWindow> CreateWallpaperWindow(int left, int top, int width, int height) override {
        log_.push_back("wallpaper window " + Place(left, top, width, height));
        auto window = std::make_unique<FakeWindow>(log_, wallpaperRoot ? 3000 : width, wallpaperRoot ? 2000 : height);
        window->placeable = !wallpaperRoot;
        wallpaper = window.get();
        return window;
    }
    void WatchQuitSignals(std::function<void()> onQuit) override {
        log_.push_back("watch quit signals");
        quit = std::move(onQuit);
    }
    bool DisplayAsleep() override { return asleep; }

private:
    Log& log_;
};

// What a test makes the aquarium do and reads back from it.
struct AquariumScript {
    std::function<void(int frame)> onFrame;  // may raise or give input
    std::string failIn;                      // an operation that raises
    int frames = 0;
    bool logSwitch = false;
    bool software = false;
    std::string info;
    TAquariumHost host;  // as the form made it
    std::vector<TTankView> views;
};

class FakeAquarium final : public IAquarium {
public:
    FakeAquarium(Log& log, AquariumScript& script, TAquariumHost host) : log_(log), script_(script) {
        script_.host = std::move(host);
    }

    TSceneSettings& Settings() override { return settings_; }
    TAquariumOptions& Options() override { return *script_.host.Options; }
    void SetSceneDefaults() override { Note("SetSceneDefaults"); }
    void ReadSceneDescription(const std::string& path, bool& logFile) override {
        Note("ReadSceneDescription " + path);
        logFile = script_.logSwitch;
    }
    void BuildScene() override { Note("BuildScene seed " + std::to_string(RandomSeed)); }
    void ReleaseScene() override { Note("ReleaseScene"); }
    void InitDrawing(IDrawingWindow& window, bool fullScreen) override {
        Note("InitDrawing " + std::to_string(window.ClientWidth()) + "x" + std::to_string(window.ClientHeight()) +
             (fullScreen ? " full screen" : ""));
    }
    void ResetDrawing() override { Note("ResetDrawing"); }
    void FreeImagesAfterUpload() override { Note("FreeImagesAfterUpload"); }
    void PrepareFirstFrame(std::int32_t width, std::int32_t height) override {
        Note("PrepareFirstFrame " + std::to_string(width) + "x" + std::to_string(height));
    }
    void SetViews(std::vector<TTankView> views) override { script_.views = std::move(views); }
    void ReleaseDrawing() override { Note("ReleaseDrawing"); }
    void DrawFrame() override {
        // A run whose end never comes fails here instead of spinning until the test's timeout.
        if (++script_.frames > 1000) {
            ADD_FAILURE() << "the run did not end in 1000 frames";
            throw Exception("frame limit");
        }
        if (script_.frames == 1) Note("DrawFrame");
        if (script_.onFrame) script_.onFrame(script_.frames);
    }
    void PauseDrawing() override { Note("PauseDrawing"); }
    void ResumeDrawing() override { Note("ResumeDrawing"); }
    void AdvanceAutoTheme() override {
        Note("AdvanceAutoTheme");
        TAquariumOptions& options = Options();
        if (options.AutoTheme) options.ThemeIndex = (options.ThemeIndex + 1) % 3;
    }
    std::int32_t FrameRate() const override { return 42; }
    const std::string& GLInfoText() const override { return script_.info; }
    bool SoftwareRendering() const override { return script_.software; }

private:
    void Note(const std::string& what) {
        log_.push_back(what);
        if (!script_.failIn.empty() && what.rfind(script_.failIn, 0) == 0) throw Exception(script_.failIn + " failed");
    }
    Log& log_;
    AquariumScript& script_;
    TSceneSettings settings_{};
};

class FakeDisplayDriver final : public IDisplayModeDriver {
public:
    explicit FakeDisplayDriver(Log& log) : log_(log) {}
    std::vector<TVideoMode> modes{{640, 480, 32}, {800, 600, 32}, {1280, 1024, 32}, {800, 600, 16}};
    TVideoMode screen{1280, 1024, 32};
    bool refuse = false;                // listed, but the switch itself fails
    std::vector<std::uint32_t> flags;   // of every switch and restore, tests left out

    bool EnumSettings(std::uint32_t index, TModeRecord& record) override {
        if (index >= modes.size()) return false;
        record.Fields = kModeFields;
        record.PelsWidth = modes[index].Width;
        record.PelsHeight = modes[index].Height;
        record.BitsPerPel = modes[index].ColorDepth;
        return true;
    }
    std::int32_t ChangeSettings(const TModeRecord* record, std::uint32_t flags) override {
        if (!(flags & kCdsTest)) this->flags.push_back(flags);
        if (!record) {
            log_.push_back("display restored");
            return kDispChangeSuccessful;
        }
        for (const auto& mode : modes)
            if (mode == TVideoMode{record->PelsWidth, record->PelsHeight, record->BitsPerPel}) {
                if (refuse && !(flags & kCdsTest)) return kDispChangeBadMode;
                if (!(flags & kCdsTest))
                    log_.push_back("display " + std::to_string(mode.Width) + "x" + std::to_string(mode.Height));
                return kDispChangeSuccessful;
            }
        return kDispChangeBadMode;
    }
    TVideoMode ScreenMode() override { return screen; }

private:
    Log& log_;
};

class FakeMonitors final : public IMonitorList {
public:
    std::vector<TMonitor> monitors;
    std::vector<TMonitor> Monitors() override { return monitors; }
};

class FakeSoundPlayer final : public ISoundPlayer {
public:
    explicit FakeSoundPlayer(Log& log) : log_(log) {}
    bool fail = false;
    void Play(const char* name, std::uint32_t) override {
        log_.push_back(name ? std::string("sound ") + name : "sound stop");
        if (fail) throw Exception("no audio device");
    }

private:
    Log& log_;
};

class FakeProcessLauncher final : public IProcessLauncher {
public:
    explicit FakeProcessLauncher(Log& log) : log_(log) {}
    int runningChecks = 0;               // how long the copy runs
    bool missing = false;                // no copy to start
    std::function<void()> whileRunning;  // at each check while it runs
    struct Copy final : IProcess {
        FakeProcessLauncher& owner;
        explicit Copy(FakeProcessLauncher& o) : owner(o) {}
        bool ExitCode(std::uint32_t& code) override {
            const bool running = owner.runningChecks-- > 0;
            if (running && owner.whileRunning) owner.whileRunning();
            code = running ? kStillActive : 0;
            return true;
        }
    };
    std::unique_ptr<IProcess> StartProcess(const std::string& commandLine, const std::string&, std::uint32_t,
                                            int) override {
        log_.push_back("start " + commandLine);
        if (missing) return nullptr;
        return std::make_unique<Copy>(*this);
    }
    void ShellOpen(const std::string&, const std::string&, const std::string&, int) override {}
    void Pause() override {}
    void SetOwnPriorityClass(std::uint32_t priorityClass) override {
        log_.push_back("own priority " + std::to_string(priorityClass));
    }

private:
    Log& log_;
};

class FakePreviewPicture final : public IPreviewPicture {
public:
    explicit FakePreviewPicture(Log& log) : log_(log) {}
    bool failStart = false;
    void Start(IDrawingWindow& window, const std::string&) override {
        log_.push_back("picture on " + std::to_string(window.ClientWidth()) + "x" + std::to_string(window.ClientHeight()));
        if (failStart) throw Exception("no picture");
    }
    void Paint() override { log_.push_back("picture painted"); }
    void Release() override { log_.push_back("picture released"); }

private:
    Log& log_;
};

// The dialog's native view: what the logic set, and a user who changes controls.
class FakeSettingsView final : public ISettingsView {
public:
    explicit FakeSettingsView(Log& log) : log_(log) {}
    ~FakeSettingsView() override { log_.push_back("view freed"); }
    ISettingsViewEvents* events = nullptr;
    std::map<TDialogControl, std::vector<std::string>> lists;
    std::map<TDialogControl, int> selected, positions;
    std::map<TDialogControl, bool> checked, enabled;
    std::map<TDialogControl, std::string> texts, hints;
    std::string caption;
    std::intptr_t owner = -1;
    bool shown = false;
    std::vector<std::string> messages;
    std::vector<TAboutInfo> abouts;

    std::string Selected(TDialogControl list) { return selected[list] < 0 ? "" : lists[list].at(selected[list]); }
    bool Enabled(TDialogControl control) { return !enabled.count(control) || enabled[control]; }
    // The user's side: change the control, then the event the native control sends.
    void Select(TDialogControl list, const std::string& text) {
        const auto& items = lists[list];
        selected[list] = static_cast<int>(std::find(items.begin(), items.end(), text) - items.begin());
        events->ControlChanged(list);
    }
    void Move(TDialogControl trackBar, int position) {
        positions[trackBar] = position;
        events->ControlChanged(trackBar);
    }
    void SelectIndex(TDialogControl list, int index) {
        selected[list] = index;
        events->ControlChanged(list);
    }
    void Click(TDialogControl control) {
        if (checked.count(control)) checked[control] = !checked[control];
        events->ControlChanged(control);
    }

    void SetEvents(ISettingsViewEvents* e) override { events = e; }
    void Show(std::intptr_t o) override {
        owner = o;
        shown = true;
    }
    void Hide() override { shown = false; }
    void SetCaption(const std::string& text) override { caption = text; }
    void SetListItems(TDialogControl list, const std::vector<std::string>& items) override {
        lists[list] = items;
        selected[list] = -1;
    }
    void SelectListItem(TDialogControl list, int index) override { selected[list] = index; }
    int SelectedListItem(TDialogControl list) override { return selected[list]; }
    void SetPosition(TDialogControl trackBar, int position) override { positions[trackBar] = position; }
    int Position(TDialogControl trackBar) override { return positions[trackBar]; }
    void SetChecked(TDialogControl checkBox, bool on) override { checked[checkBox] = on; }
    bool Checked(TDialogControl checkBox) override { return checked[checkBox]; }
    void SetEnabled(TDialogControl control, bool on) override { enabled[control] = on; }
    void SetHint(TDialogControl control, const std::string& text) override { hints[control] = text; }
    void SetText(TDialogControl label, const std::string& text) override { texts[label] = text; }
    void ShowMessage(const std::string& text, const std::string& title) override {
        messages.push_back(title + ": " + text);
    }
    void ShowAbout(const TAboutInfo& about) override { abouts.push_back(about); }
    std::intptr_t PreviewPanel() override { return 1234; }

private:
    Log& log_;
};

// One form with fakes all around; `log` collects what every fake saw, in order.
struct FormRig {
    Log log;
    TempDir dir;
    TApplication application;
    FakeHost host;
    FakeRegistryStore registry;
    FakeGuard guard;
    FakeSaverSystem system;
    FakeProcessLauncher launcher{log};
    FakeDisplayDriver driver{log};
    FakeSoundPlayer sound{log};
    FakeWindows windows{log};
    AquariumScript aquarium;
    FakePreviewPicture picture{log};
    FakeMonitors monitors;
    std::vector<std::pair<std::string, std::string>> messages;
    std::vector<int> cursorAtMessage;  // the cursor count while each message box was up
    FakeSettingsView* view = nullptr;
    std::vector<std::string> opened;  // what the desktop was asked to open
    std::vector<bool> sessionStarts;  // what the idle watch's autostart was set to
    std::vector<bool> wallpaperStarts;  // and the wallpaper's
    std::string wallpaperUnavailable;   // why the session cannot show the wallpaper
    TSeparatePreview separatePreview;  // "Preview..." as a process of its own
    std::string homePage;
    std::unique_ptr<TFormFishes> form;

    FormRig() { application.Title = "3D Tidewell"; }

    std::string Program(const std::string& name) const { return (dir.Path() / name).string(); }
    FakeRegistryStore::Values& Options() {
        return registry.keys[{TRootKey::CurrentUser, "Software\\Korvane Software\\3D Tidewell"}];
    }

    void Make(std::vector<std::string> args) {
        host.args = std::move(args);
        form = std::make_unique<TFormFishes>(TFormServices{
            .Application = application,
            .Host = host,
            .Registry = registry,
            .Guard = guard,
            .SaverSystem = system,
            .Launcher = launcher,
            .DisplayDriver = driver,
            .SoundPlayer = sound,
            .Windows = windows,
            .MakeAquarium = [this](TAquariumHost made) { return std::make_unique<FakeAquarium>(log, aquarium, std::move(made)); },
            .MakeDrawingWindow = [this](ISaverWindow& window) { return std::make_unique<FakeDrawingWindow>(window, log); },
            .ShowError =
                [this](const std::string& text, const std::string& caption) {
                    log.push_back("message " + caption);
                    messages.emplace_back(text, caption);
                    cursorAtMessage.push_back(system.cursorCount);
                },
            .SceneDescriptionFile = [](const std::string& installPath,
                                       const std::string& base) { return installPath + base + ".ini"; },
            .PreviewPicture = &picture,
            .MakeSettingsView =
                [this] {
                    auto made = std::make_unique<FakeSettingsView>(log);
                    view = made.get();
                    return made;
                },
            .OpenDocument =
                [this](const std::string& target) {
                    opened.push_back(target);
                    return true;
                },
            .DocumentFolder = [this](const std::string&) { return (dir.Path() / "doc-").string(); },
            .WritePrivateFile =
                [this](const std::string& name, const std::string& content) {
                    const std::string path = (dir.Path() / ("tmp-" + name)).string();
                    std::ofstream(path, std::ios::binary) << content;
                    return path;
                },
            .HelpPage = [] { return std::string("<html>help</html>"); },
            .DialogPicture = [] { return TDialogPicture{2, 1, {1, 2, 3, 4, 5, 6}}; },
            .HomePage = homePage,
            .Monitors = &monitors,
            .SetSessionStart = [this](bool on) { sessionStarts.push_back(on); },
            .SetWallpaperSessionStart = [this](bool on) { wallpaperStarts.push_back(on); },
            .WallpaperUnavailable = [this] { return wallpaperUnavailable; },
            .SeparatePreview = separatePreview});
        form->Show();
    }
    // The program's run: the message loop until the application ends, then destruction.
    void Run() {
        RunMessageLoop(application, windows);
        form->Destroy();
    }
    // The log from the first entry equal to `from`.
    Log From(const std::string& from) const {
        const auto it = std::find(log.begin(), log.end(), from);
        return Log(it, log.end());
    }
};

TEST(FormFishes, SaverRunFromStartToKey) {
    FormRig rig;
    rig.aquarium.logSwitch = true;
    rig.aquarium.onFrame = [&](int frame) {
        if (frame == 3) rig.windows.saver->OnKey();
    };
    rig.Make({rig.Program("3DTidewell.scr"), "/s"});
    EXPECT_EQ(rig.form->Caption(), "3D Tidewell Screen Saver");
    EXPECT_EQ(rig.form->InstallPath(), (rig.dir.Path() / "").string());
    rig.Run();

    const std::string ini = rig.Program("3DTidewell.ini");
    EXPECT_EQ(rig.From("SetSceneDefaults"),
              (Log{"SetSceneDefaults", "ReadSceneDescription " + ini, "BuildScene seed 7", "ReleaseDrawing",
                   "AdvanceAutoTheme",
                   // Defaults: 800 x 600 on a larger desktop, a mode the display lists.
                   "display 800x600", "saver window 3D Tidewell 800x600", "window shown", "PrepareFirstFrame 800x600",
                   "watch quit signals",
                   "FreeImagesAfterUpload", "InitDrawing 800x600 full screen",
                   "ResetDrawing", "sound stop", "sound SBUBLES", "DrawFrame",
                   // The key: sound off, window hidden, log line, then the close query.
                   "sound stop", "window hidden", "ReleaseDrawing", "display restored", "ReleaseScene", "sound stop",
                   "surface freed", "window freed", "ReleaseDrawing"}));
    EXPECT_EQ(rig.aquarium.frames, 3);
    EXPECT_TRUE(rig.application.Terminated());
    EXPECT_FALSE(rig.form->ErrorReported());
    EXPECT_TRUE(rig.messages.empty());
    EXPECT_LT(rig.system.cursorCount, 0);
    // The description file switched the log on: the stop line with the mode in use.
    std::ifstream logFile(rig.dir.Path() / "3DTidewell.log", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(logFile), {}};
    EXPECT_EQ(text.rfind("Full Screen mode: 800X600X32  FPS:42\r\n", 0), 0u) << text.substr(0, 50);
    // No Auto theme: nothing stored.
    EXPECT_TRUE(rig.Options().empty());
}

TEST(FormFishes, AutoThemeAdvancesBeforeTheWindowAndIsStoredAtTheEnd) {
    FormRig rig;
    rig.Options()[OptionNames::Theme()] = TRegValue::Int(-3);  // Auto, Green Water last
    rig.Options()[OptionNames::DesktopOnly()] = TRegValue::Int(1);
    rig.aquarium.onFrame = [&](int) { rig.windows.saver->OnMouseButton(); };
    rig.Make({rig.Program("3DTidewell.scr"), "/s"});
    rig.Run();
    EXPECT_TRUE(rig.form->Options().AutoTheme);
    EXPECT_EQ(rig.form->Options().ThemeIndex, 0);
    EXPECT_EQ(rig.Options()[OptionNames::Theme()].integer, -1);
    // Desktop only: no switch, the window has the desktop's size.
    EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "display 800x600"), 0);
    EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "saver window 3D Tidewell 1280x1024"), 1);
}

TEST(FormFishes, UnsupportedDesktopDepthReportsTheWarningAndCloses) {
    FormRig rig;
    rig.driver.screen = {1280, 1024, 8};
    rig.Make({rig.Program("3DTidewell.scr"), "/s"});
    rig.Run();
    ASSERT_EQ(rig.messages.size(), 1u);
    EXPECT_EQ(rig.messages[0].first, ColorDepthWarning("desktop"));
    EXPECT_EQ(rig.messages[0].second, "3D Tidewell Screen Saver Error!");
    EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "BuildScene seed 7"), 0);
    EXPECT_TRUE(rig.form->ErrorReported());
    EXPECT_TRUE(rig.application.Terminated());
    EXPECT_EQ(rig.system.cursorCount, 0);  // the saver's hide, shown again for the message
}

TEST(FormFishes, AnErrorInAFrameRestoresTheDisplayAndReleasesEverythingBeforeTheMessage) {
    FormRig rig;
    rig.aquarium.onFrame = [&](int frame) {
        if (frame == 2) throw Exception("OpenGL error: Stack overflow!");
    };
    rig.Make({rig.Program("3DTidewell.scr"), "/s"});
    rig.Run();
    EXPECT_EQ(rig.From("display restored"),
              (Log{"display restored", "ReleaseDrawing", "window hidden", "surface freed", "window freed", "sound stop",
                   "message 3D Tidewell Screen Saver Error!", "ReleaseDrawing", "ReleaseScene",
                   "sound stop", "ReleaseDrawing"}));
    ASSERT_EQ(rig.messages.size(), 1u);
    EXPECT_EQ(rig.messages[0].first, "OpenGL error: Stack overflow!");
    EXPECT_TRUE(rig.form->ErrorReported());
    EXPECT_EQ(rig.aquarium.frames, 2);
}

TEST(FormFishes, AFailingReleaseStillShowsTheMessageAndCloses) {
    FormRig rig;
    rig.aquarium.onFrame = [&](int) {
        rig.aquarium.failIn = "ReleaseDrawing";
        throw Exception("frame failed");
    };
    rig.Make({rig.Program("3DTidewell.scr"), "/s"});
    rig.Run();
    ASSERT_GE(rig.messages.size(), 1u);
    EXPECT_EQ(rig.messages[0].first, "frame failed");
    EXPECT_TRUE(rig.application.Terminated());
    EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "display restored"), 1);
    EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "window freed"), 1);
}

TEST(FormFishes, PreviewBuildsNoSceneWaitsAndEndsWithItsParent) {
    FormRig rig;
    rig.system.windows[1234] = {152, 112};
    rig.Make({rig.Program("3DTidewell.scr"), "/p", "1234"});
    EXPECT_EQ(rig.form->ParentWindow(), 1234);
    EXPECT_TRUE(rig.form->Inert());
    rig.Run();
    EXPECT_EQ(rig.windows.waits, 3);  // idle turns wait instead of spinning
    EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "SetSceneDefaults"), 0);
    EXPECT_EQ(rig.From("watch quit signals"),
              (Log{"watch quit signals", "child window of 1234", "window shown", "picture on 152x112", "picture painted",
                   // The parent goes away: the picture's context is released before the window.
                   "picture released", "surface freed", "ReleaseDrawing", "ReleaseScene", "sound stop", "ReleaseDrawing",
                   "window freed"}));
    EXPECT_TRUE(rig.messages.empty());
    EXPECT_FALSE(rig.form->ErrorReported());
}

TEST(FormFishes, APreviewWhosePictureFailsStaysBlackAndQuiet) {
    FormRig rig;
    rig.picture.failStart = true;
    rig.Make({rig.Program("3DTidewell.scr"), "/p", "1234"});
    ASSERT_NE(rig.windows.child, nullptr);
    rig.windows.child->Paint();  // no painter left
    rig.Run();
    EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "picture painted"), 0);
    EXPECT_TRUE(rig.messages.empty());
    EXPECT_FALSE(rig.form->ErrorReported());
}

TEST(FormFishes, PreviewOfAMissingWindowEndsAtOnce) {
    FormRig rig;
    rig.Make({rig.Program("3DTidewell.scr"), "/p", "555"});
    EXPECT_TRUE(rig.application.Terminated());
    rig.Run();
    EXPECT_FALSE(rig.form->ErrorReported());
}

TEST(FormFishes, ANonNumericParentHandleIsAClearError) {
    FormRig rig;
    try {
        rig.Make({rig.Program("3DTidewell.scr"), "/p", "12ab"});
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "'12ab' is not a valid integer value");
    }
}

// The settings dialog: the form's start event (the first idle turn) fills the view and starts
// the preview; the user's changes reach the options; OK stores them, anything else does not.
struct DialogRig : FormRig {
    using C = TDialogControl;
    void Start(std::vector<std::string> args) {
        Make(std::move(args));
        ASSERT_NE(view, nullptr);
        application.Idle();
        ASSERT_FALSE(application.Terminated()) << (messages.empty() ? "" : messages[0].first);
    }
    std::int32_t Stored(const std::string& name) { return Options().at(name).integer; }
};

TEST(SettingsDialog, FirstRunFillsTheDialogStartsThePreviewAndCancelStoresNothing) {
    DialogRig rig;
    rig.aquarium.software = true;
    rig.Start({rig.Program("3DTidewell.scr"), "/c"});
    FakeSettingsView& view = *rig.view;
    EXPECT_TRUE(view.shown);
    EXPECT_EQ(view.owner, 0);  // no handle given: the desktop owns it, not the foreground window
    EXPECT_EQ(view.Selected(DialogRig::C::ComboBoxDepth), "32 bits");
    EXPECT_EQ(view.Selected(DialogRig::C::ComboBoxResolution), "800x600");
    EXPECT_EQ(view.lists[DialogRig::C::ComboBoxResolution].size(), 3u);  // the 32-bit sizes only
    EXPECT_EQ(view.positions[DialogRig::C::TrackBarFishCount], 20);
    EXPECT_EQ(view.texts[DialogRig::C::LabelBubblesCount], "50");
    EXPECT_EQ(view.lists[DialogRig::C::ComboBoxThemes],
              (std::vector<std::string>{"Auto", "Blue Water", "Aquamarine Water", "Green Water"}));
    EXPECT_EQ(view.selected[DialogRig::C::ComboBoxThemes], 1);
    EXPECT_EQ(view.lists[DialogRig::C::ComboBoxMonitors],
              (std::vector<std::string>{"One aquarium on each monitor", "One aquarium across all monitors",
                                        "Primary monitor only"}));
    EXPECT_EQ(view.selected[DialogRig::C::ComboBoxMonitors], 0);
    EXPECT_TRUE(view.checked[DialogRig::C::CheckBoxSound]);
    EXPECT_FALSE(view.checked[DialogRig::C::CheckBoxDesktop]);
    EXPECT_TRUE(view.Enabled(DialogRig::C::ComboBoxResolution));
    // The preview draws in the panel, not full screen, with the sound on.
    const Log preview = rig.From("child window of 1234");
    ASSERT_FALSE(preview.empty());
    EXPECT_NE(std::find(preview.begin(), preview.end(), "InitDrawing 152x112"), preview.end());
    EXPECT_NE(std::find(preview.begin(), preview.end(), "sound SBUBLES"), preview.end());
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0], std::string("3D Tidewell: ") + kSoftwareRenderingWarning);
    rig.form->Dialog().ShowCaption("/opt/3dtidewell FPS: 30");
    EXPECT_EQ(view.caption, "/opt/3dtidewell FPS: 30");

    view.Move(DialogRig::C::TrackBarFishCount, 60);
    EXPECT_EQ(rig.form->Options().FishCount, 60);  // the preview shows it on the next frame
    view.Click(DialogRig::C::ButtonCancel);  // the GTK view raises the button as a click
    EXPECT_TRUE(rig.application.Terminated());
    EXPECT_FALSE(view.shown);
    EXPECT_TRUE(rig.registry.written.empty());
    rig.form->Destroy();
    EXPECT_FALSE(rig.form->ErrorReported());
}

TEST(SettingsDialog, EscapeAndTheCloseBoxStoreNothing) {
    DialogRig rig;
    rig.Start({rig.Program("3DTidewell.scr"), "/c"});
    rig.view->Move(DialogRig::C::TrackBarFishCount, 60);
    rig.view->events->CloseRequested();
    EXPECT_TRUE(rig.application.Terminated());
    EXPECT_FALSE(rig.view->shown);
    EXPECT_TRUE(rig.registry.written.empty());
}

// A session that cannot show the wallpaper greys its box with the reason as its hint; the stored
// choice still shows and is kept.
TEST(SettingsDialog, WallpaperBoxGreyedWithTheReasonWhereTheSessionCannotShowIt) {
    DialogRig rig;
    rig.Options()[OptionNames::WallpaperSessionStart()] = TRegValue::Int(1);
    rig.wallpaperUnavailable = "no background layer";
    rig.Start({rig.Program("3DTidewell.scr"), "/c"});
    EXPECT_FALSE(rig.view->Enabled(DialogRig::C::CheckBoxWallpaperSessionStart));
    EXPECT_EQ(rig.view->hints[DialogRig::C::CheckBoxWallpaperSessionStart], "no background layer");
    EXPECT_TRUE(rig.view->checked[DialogRig::C::CheckBoxWallpaperSessionStart]);
    rig.view->Click(DialogRig::C::ButtonOk);
    EXPECT_EQ(rig.wallpaperStarts, std::vector<bool>{true});
}

TEST(SettingsDialog, OkStoresTheValuesInOrderAndTheSessionStart) {
    DialogRig rig;
    rig.Start({rig.Program("3DTidewell.scr"), "/c:77"});
    FakeSettingsView& view = *rig.view;
    EXPECT_EQ(view.owner, 77);
    view.Move(DialogRig::C::TrackBarFishCount, 33);
    EXPECT_EQ(view.texts[DialogRig::C::LabelFishCount], "33");
    view.Move(DialogRig::C::TrackBarBubblesCount, 120);
    view.SelectIndex(DialogRig::C::ComboBoxThemes, 3);
    view.SelectIndex(DialogRig::C::ComboBoxMonitors, 2);
    view.Click(DialogRig::C::CheckBoxRunAsEXE);
    EXPECT_EQ(view.Selected(DialogRig::C::ComboBoxIdleTime), "10 min");
    view.Select(DialogRig::C::ComboBoxIdleTime, "45 min");
    view.Click(DialogRig::C::CheckBoxSessionStart);
    EXPECT_TRUE(view.Enabled(DialogRig::C::CheckBoxWallpaperSessionStart));
    view.Click(DialogRig::C::CheckBoxWallpaperSessionStart);
    // Another depth keeps the size shown when that depth has it.
    view.Select(DialogRig::C::ComboBoxDepth, "16 bits");
    EXPECT_EQ(view.lists[DialogRig::C::ComboBoxResolution], std::vector<std::string>{"800x600"});
    EXPECT_EQ(view.Selected(DialogRig::C::ComboBoxResolution), "800x600");
    EXPECT_TRUE(rig.registry.written.empty());
    view.Click(DialogRig::C::ButtonOk);

    using namespace OptionNames;
    EXPECT_EQ(rig.registry.written, (std::vector<std::string>{BubbleCount(), FishCount(), Theme(), ColorDepth(), Width(),
                                                              Height(), Sound(), DesktopOnly(), RunAsExe(), Monitors(),
                                                              IdleMinutes(), SessionStart(), WallpaperSessionStart()}));
    EXPECT_EQ(rig.Stored(IdleMinutes()), 45);
    EXPECT_EQ(rig.sessionStarts, std::vector<bool>{true});
    EXPECT_EQ(rig.wallpaperStarts, std::vector<bool>{true});
    EXPECT_EQ(rig.Stored(BubbleCount()), 120);
    EXPECT_EQ(rig.Stored(FishCount()), 33);
    EXPECT_EQ(rig.Stored(Theme()), 2);
    EXPECT_EQ(rig.Stored(ColorDepth()), 16);
    EXPECT_EQ(rig.Stored(Width()), 800);
    EXPECT_EQ(rig.Stored(Sound()), 1);
    EXPECT_EQ(rig.Stored(RunAsExe()), 1);
    EXPECT_EQ(rig.Stored(Monitors()), 2);
    EXPECT_TRUE(rig.application.Terminated());
}

TEST(SettingsDialog, TheFirstMonitorsChoiceReplacesAStoredOther) {
    DialogRig rig;
    rig.Options()[OptionNames::Monitors()] = TRegValue::Int(2);
    rig.Start({rig.Program("3DTidewell.scr"), "/c"});
    rig.view->SelectIndex(DialogRig::C::ComboBoxMonitors, 0);
    rig.view->Click(DialogRig::C::ButtonOk);
    EXPECT_EQ(rig.Stored(OptionNames::Monitors()), 0);
}

TEST(SettingsDialog, OptionsTheStoreRefusesAreSaidAndTheDialogStaysForAnotherOk) {
    DialogRig rig;
    rig.registry.refusal = "Cannot write the options file \"t.conf\" (create): Permission denied";
    rig.Start({rig.Program("3DTidewell.scr"), "/c"});
    FakeSettingsView& view = *rig.view;
    view.Move(DialogRig::C::TrackBarFishCount, 33);
    view.Click(DialogRig::C::ButtonOk);
    EXPECT_EQ(view.messages, std::vector<std::string>{"3D Tidewell Screen Saver Error!: " + rig.registry.refusal});
    EXPECT_FALSE(rig.application.Terminated());
    EXPECT_TRUE(view.shown);
    EXPECT_EQ(view.positions[DialogRig::C::TrackBarFishCount], 33);

    rig.registry.refusal.clear();  // the user mended the folder
    view.Click(DialogRig::C::ButtonOk);
    EXPECT_EQ(rig.Stored(OptionNames::FishCount()), 33);
    EXPECT_TRUE(rig.application.Terminated());
}

TEST(SettingsDialog, ASizeChosenKeepsItsPlaceThroughAnotherDepthAndBack) {
    DialogRig rig;
    // Lists long enough that neither the first entry nor the same position is the chosen size.
    rig.driver.modes = {{640, 480, 32}, {800, 600, 32},  {1024, 768, 32}, {1280, 1024, 32},
                        {800, 600, 16}, {1024, 768, 16}, {1280, 1024, 16}};
    rig.Start({rig.Program("3DTidewell.scr"), "/c"});
    FakeSettingsView& view = *rig.view;
    view.Select(DialogRig::C::ComboBoxResolution, "1024x768");
    view.Select(DialogRig::C::ComboBoxDepth, "16 bits");
    EXPECT_EQ(view.Selected(DialogRig::C::ComboBoxResolution), "1024x768");
    view.Select(DialogRig::C::ComboBoxDepth, "32 bits");
    EXPECT_EQ(view.Selected(DialogRig::C::ComboBoxResolution), "1024x768");
    view.Click(DialogRig::C::ButtonOk);
    EXPECT_EQ(rig.Stored(OptionNames::ColorDepth()), 32);
    EXPECT_EQ(rig.Stored(OptionNames::Width()), 1024);
    EXPECT_EQ(rig.Stored(OptionNames::Height()), 768);
}

TEST(SettingsDialog, StoredAutoThemesDefaultAndDesktopOnly) {
    for (const auto& [stored, index] : {std::pair{-1, 0}, std::pair{-3, 2}}) {
        DialogRig rig;
        rig.Options()[OptionNames::Theme()] = TRegValue::Int(stored);
        rig.Start({rig.Program("3DTidewell.scr"), "/c"});
        EXPECT_EQ(rig.view->selected[DialogRig::C::ComboBoxThemes], 0);
        EXPECT_TRUE(rig.form->Options().AutoTheme);
        EXPECT_EQ(rig.form->Options().ThemeIndex, index);
    }

    // A plain start of the .exe copy; its stored run-as-program flag survives "Default".
    DialogRig rig;
    rig.Options()[OptionNames::RunAsExe()] = TRegValue::Int(1);
    rig.Options()[OptionNames::FishCount()] = TRegValue::Int(7);
    rig.Options()[OptionNames::Monitors()] = TRegValue::Int(1);
    rig.Options()[OptionNames::Width()] = TRegValue::Int(640);
    rig.Options()[OptionNames::Height()] = TRegValue::Int(480);
    rig.Start({rig.Program("3DTidewell.exe")});
    FakeSettingsView& view = *rig.view;
    EXPECT_EQ(view.Selected(DialogRig::C::ComboBoxResolution), "640x480");
    EXPECT_EQ(view.selected[DialogRig::C::ComboBoxMonitors], 1);
    view.Click(DialogRig::C::ButtonDefault);
    EXPECT_EQ(view.selected[DialogRig::C::ComboBoxMonitors], 0);
    EXPECT_EQ(view.positions[DialogRig::C::TrackBarFishCount], 20);
    EXPECT_EQ(view.Selected(DialogRig::C::ComboBoxResolution), "800x600");
    EXPECT_TRUE(view.checked[DialogRig::C::CheckBoxRunAsEXE]);
    EXPECT_TRUE(rig.form->Options().RunAsExe);

    view.Click(DialogRig::C::CheckBoxDesktop);
    EXPECT_EQ(view.Selected(DialogRig::C::ComboBoxResolution), "1280x1024");
    EXPECT_FALSE(view.Enabled(DialogRig::C::ComboBoxDepth));
    EXPECT_FALSE(view.Enabled(DialogRig::C::ComboBoxResolution));
    view.Click(DialogRig::C::CheckBoxDesktop);
    EXPECT_TRUE(view.Enabled(DialogRig::C::ComboBoxResolution));
    EXPECT_EQ(rig.form->DisplayControl().FullScreenMode().Width(), 1280);  // unchanged by switching it off
}

TEST(SettingsDialog, PreviewButtonRunsTheSaverAndReturnsToTheDialog) {
    DialogRig rig;
    rig.Start({rig.Program("3DTidewell.scr"), "/c"});
    const int cursor = rig.system.cursorCount;
    rig.aquarium.onFrame = [&](int frame) {
        if (frame == 3 && rig.windows.saver && rig.windows.saver->Visible()) rig.windows.saver->OnMouseButton();
    };
    rig.log.clear();
    rig.view->Click(DialogRig::C::ButtonPreview);
    EXPECT_FALSE(rig.application.Terminated());
    EXPECT_TRUE(rig.view->shown);
    EXPECT_EQ(rig.system.cursorCount, cursor);
    const Log saver = rig.From("display 800x600");
    ASSERT_GE(saver.size(), 2u);
    EXPECT_EQ(saver[1], "saver window 3D Tidewell 800x600");
    const Log back = rig.From("window hidden");
    ASSERT_FALSE(back.empty());
    EXPECT_NE(std::find(back.begin(), back.end(), "display restored"), back.end());
    EXPECT_NE(std::find(back.begin(), back.end(), "InitDrawing 152x112"), back.end());
    EXPECT_EQ(back.back(), "sound SBUBLES");
    // The preview draws again afterwards: the images must stay.
    EXPECT_EQ(std::find(rig.log.begin(), rig.log.end(), "FreeImagesAfterUpload"), rig.log.end());
    EXPECT_TRUE(rig.registry.written.empty());
}

// On a Wayland session (the dialog through XWayland) "Preview..." runs the Wayland saver as a
// process of its own with the dialog's choices (handed over, not stored) and waits for it, its
// single-instance marker let go meanwhile (the saver takes it) and taken again after; a saver
// that cannot start is said in a message.
TEST(SettingsDialog, PreviewAsAProcessOfItsOwnOnAWaylandSession) {
    DialogRig rig;
    FakeRegistryStore handed;
    rig.separatePreview = [&handed](const std::function<void(IRegistryStore&)>& writeOptions) {
        writeOptions(handed);
        return std::string("\"/usr/bin/3dtidewell\" --platform wayland /s");
    };
    rig.Start({rig.Program("3DTidewell.scr"), "/c"});
    rig.view->Move(DialogRig::C::TrackBarFishCount, 33);
    const std::size_t markers = rig.guard.created.size();
    rig.launcher.runningChecks = 3;
    int pumped = 0;
    rig.launcher.whileRunning = [&] { pumped += rig.guard.created.size() == markers; };
    rig.log.clear();
    rig.view->Click(DialogRig::C::ButtonPreview);
    EXPECT_EQ(rig.log.front(), "start \"/usr/bin/3dtidewell\" --platform wayland /s");
    EXPECT_TRUE(rig.From("saver window 3D Tidewell 800x600").empty());
    EXPECT_EQ(pumped, 3);
    EXPECT_EQ(rig.guard.created.size(), markers + 1);
    EXPECT_EQ((handed.keys[{TRootKey::CurrentUser, "Software\\Korvane Software\\3D Tidewell"}][OptionNames::FishCount()].integer), 33);
    EXPECT_TRUE(rig.registry.written.empty());
    EXPECT_TRUE(rig.view->shown);
    EXPECT_FALSE(rig.application.Terminated());
    rig.launcher.missing = true;
    rig.view->Click(DialogRig::C::ButtonPreview);
    ASSERT_EQ(rig.view->messages.size(), 1u);
    EXPECT_NE(rig.view->messages[0].find("could not be started"), std::string::npos);
}

// A quit signal ends the dialog as Cancel does; during "Preview..." the display gets its mode back
// first, and the dialog does not come back.
TEST(SettingsDialog, AQuitSignalEndsTheDialogAndItsPreviewStoringNothing) {
    {
        DialogRig rig;
        rig.Start({rig.Program("3DTidewell.scr"), "/c"});
        rig.view->Move(DialogRig::C::TrackBarFishCount, 60);
        ASSERT_TRUE(rig.windows.quit);
        rig.windows.quit();
        EXPECT_TRUE(rig.application.Terminated());
        EXPECT_FALSE(rig.view->shown);
        EXPECT_TRUE(rig.registry.written.empty());
    }
    DialogRig rig;
    rig.Start({rig.Program("3DTidewell.scr"), "/c"});
    rig.aquarium.onFrame = [&](int frame) {
        if (frame == 3 && rig.windows.saver && rig.windows.saver->Visible()) rig.windows.quit();
    };
    rig.log.clear();
    rig.view->Click(DialogRig::C::ButtonPreview);
    EXPECT_TRUE(rig.application.Terminated());
    EXPECT_FALSE(rig.view->shown);
    const Log back = rig.From("window hidden");
    EXPECT_NE(std::find(back.begin(), back.end(), "display restored"), back.end());
    EXPECT_EQ(std::find(back.begin(), back.end(), "InitDrawing 152x112"), back.end());  // no preview again
    EXPECT_TRUE(rig.registry.written.empty());
}

TEST(SettingsDialog, AboutBoxAndHelpPage) {
    DialogRig rig;
    rig.aquarium.info = "Vendor: Mesa\r\nVideo: llvmpipe\r\nOpenGL: 4.5";
    rig.Start({rig.Program("3DTidewell.scr"), "/c"});
    rig.view->Click(DialogRig::C::ButtonAbout);
    ASSERT_EQ(rig.view->abouts.size(), 1u);
    const TAboutInfo& about = rig.view->abouts[0];
    EXPECT_EQ(about.Caption, "About 3D Tidewell Screen Saver");
    EXPECT_EQ(about.ProductName, "3D Tidewell Screen Saver");
    EXPECT_EQ(about.Version, "Version 1.5");
    EXPECT_EQ(about.Comments, rig.aquarium.info);
    EXPECT_EQ(about.Picture.Width, 2);
    // No home page known: the link leads to the help page, written out for it.
    const std::string written = rig.Program("tmp-3DTidewell.html");
    EXPECT_EQ(about.LinkTarget, written);
    std::ifstream page(written);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(page), {}), "<html>help</html>");

    rig.view->Click(DialogRig::C::ButtonHelp);
    // The package's copy, then one beside the program, comes before the written page.
    std::ofstream(rig.Program("doc-3DTidewell.html")) << "packaged";
    rig.view->Click(DialogRig::C::ButtonHelp);
    std::ofstream(rig.Program("3DTidewell.html")) << "installed";
    rig.view->Click(DialogRig::C::ButtonHelp);
    EXPECT_EQ(rig.opened, (std::vector<std::string>{written, rig.Program("doc-3DTidewell.html"),
                                                    rig.Program("3DTidewell.html")}));

    DialogRig linked;
    linked.homePage = "https://example.test/tidewell";
    linked.Start({linked.Program("3DTidewell.scr"), "/c"});
    linked.view->Click(DialogRig::C::ButtonAbout);
    EXPECT_EQ(linked.view->abouts.at(0).LinkTarget, "https://example.test/tidewell");
}

TEST(SettingsDialog, ASoundErrorIsShownAndUnchecksTheBox) {
    DialogRig rig;
    rig.Options()[OptionNames::Sound()] = TRegValue::Int(0);
    rig.Start({rig.Program("3DTidewell.scr"), "/c"});
    rig.sound.fail = true;
    rig.view->Click(DialogRig::C::CheckBoxSound);
    EXPECT_FALSE(rig.view->checked[DialogRig::C::CheckBoxSound]);
    EXPECT_FALSE(rig.form->Options().SoundEnabled);
    ASSERT_EQ(rig.messages.size(), 1u);
    EXPECT_EQ(rig.messages[0].first, "no audio device");
    EXPECT_FALSE(rig.application.Terminated());
}

TEST(FormFishes, RunAsExeHandsTheSaverOverToTheExeCopy) {
    FormRig rig;
    rig.Options()[OptionNames::RunAsExe()] = TRegValue::Int(1);
    // The copy runs for three checks; a message arrives before each. The hand-over happens while
    // the form is made, before any message loop: the wait itself must handle them.
    rig.launcher.runningChecks = 3;
    rig.launcher.whileRunning = [&] { ++rig.windows.queued; };
    rig.Make({rig.Program("3DTidewell.scr"), "/s"});
    EXPECT_EQ(rig.windows.handled, 3);
    EXPECT_EQ(rig.windows.queued, 0);
    EXPECT_TRUE(rig.application.Terminated());
    rig.Run();
    const std::string expected = "start \"" + rig.Program("3DTidewell.exe") + "\" /s";
    EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), expected), 1);
    EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "SetSceneDefaults"), 0);
    EXPECT_EQ(rig.form->Width(), 0);  // out of sight while the copy runs

    // The ".exe" copy itself runs the saver.
    FormRig copy;
    copy.Options()[OptionNames::RunAsExe()] = TRegValue::Int(1);
    copy.aquarium.onFrame = [&](int) { copy.windows.saver->OnKey(); };
    copy.Make({copy.Program("3DTidewell.exe"), "/s"});
    copy.Run();
    EXPECT_EQ(copy.aquarium.frames, 1);
}

TEST(FormFishes, RunAsExeWithoutTheExeCopyRunsTheSaverHereAndSaysSo) {
    FormRig rig;
    rig.Options()[OptionNames::RunAsExe()] = TRegValue::Int(1);
    rig.launcher.missing = true;
    rig.aquarium.logSwitch = true;
    rig.aquarium.onFrame = [&](int) { rig.windows.saver->OnKey(); };
    rig.Make({rig.Program("3DTidewell.scr"), "/s"});
    EXPECT_FALSE(rig.application.Terminated());
    rig.Run();
    EXPECT_EQ(rig.aquarium.frames, 1);
    EXPECT_FALSE(rig.form->ErrorReported());
    std::ifstream logFile(rig.dir.Path() / "3DTidewell.log", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(logFile), {}};
    EXPECT_NE(text.find(rig.Program("3DTidewell.exe") + "\" /s cannot be started"), std::string::npos) << text;
    EXPECT_NE(text.find("Full Screen mode: "), std::string::npos) << text;
}

TEST(SettingsDialog, TickingRunAsExeWithoutTheExeCopySaysSoOnce) {
    DialogRig rig;
    rig.Start({rig.Program("3DTidewell.scr"), "/c"});
    FakeSettingsView& view = *rig.view;
    view.messages.clear();
    view.Click(DialogRig::C::CheckBoxRunAsEXE);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_NE(view.messages[0].find(rig.Program("3DTidewell.exe") + " is missing"), std::string::npos) << view.messages[0];
    view.Click(DialogRig::C::CheckBoxRunAsEXE);  // off: nothing to say
    std::ofstream(rig.Program("3DTidewell.exe")) << "copy";
    view.Click(DialogRig::C::CheckBoxRunAsEXE);
    EXPECT_EQ(view.messages.size(), 1u);
    EXPECT_TRUE(rig.form->Options().RunAsExe);
}

// xscreensaver's hack: its window, its options for this run, no mode switch, no cursor change,
// no lock, nothing stored; it ends on a quit signal or with its window.
TEST(FormFishes, HackDrawsIntoItsWindowWithItsOptionsAndStoresNothing) {
    FormRig rig;
    rig.host.dotless = rig.host.hacks = true;
    rig.aquarium.logSwitch = true;
    rig.Options()[OptionNames::Theme()] = TRegValue::Int(-1);  // Auto, Blue Water last
    rig.Options()[OptionNames::FishCount()] = TRegValue::Int(40);
    rig.Options()[OptionNames::BubbleCount()] = TRegValue::Int(90);
    rig.Options()[OptionNames::Sound()] = TRegValue::Int(1);  // silent all the same: no -sound
    rig.aquarium.onFrame = [&](int frame) {
        if (frame == 2) rig.windows.quit();
    };
    rig.Make({rig.Program("3dtidewell"), "-window-id", "0x4d2", "-fish", "7", "-theme", "green"});
    EXPECT_EQ(rig.form->ScreenSaver().SaverMode(), smHack);
    rig.Run();
    EXPECT_EQ(rig.From("BuildScene seed 7"),
              (Log{"BuildScene seed 7", "AdvanceAutoTheme", "adopt window 1234", "window shown", "PrepareFirstFrame 640x400",
                   // No -delay: xscreensaver's default of 30 frames a second.
                   "frame rate limit 30", "watch quit signals",
                   "FreeImagesAfterUpload", "InitDrawing 640x400 full screen", "ResetDrawing", "sound stop", "DrawFrame",
                   // The signal: the steps of a stop, then the close query; the display mode
                   // never changed, so nothing is restored.
                   "sound stop", "window hidden", "ReleaseDrawing", "ReleaseScene", "sound stop", "surface freed",
                   "window freed", "ReleaseDrawing"}));
    const TSaverOptions& options = rig.form->Options();
    EXPECT_EQ(options.FishCount, 7);
    EXPECT_EQ(options.BubbleCount, 90);  // not given: the stored count
    EXPECT_FALSE(options.AutoTheme);
    EXPECT_EQ(options.ThemeIndex, 2);
    EXPECT_FALSE(options.SoundEnabled);
    EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "display 800x600"), 0);
    EXPECT_EQ(rig.system.cursorCount, 0);
    EXPECT_TRUE(rig.guard.created.empty());
    EXPECT_TRUE(rig.registry.written.empty());
    EXPECT_FALSE(rig.form->ErrorReported());
    std::ifstream logFile(rig.dir.Path() / "3dtidewell.log", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(logFile), {}};
    EXPECT_EQ(text.rfind("Full Screen mode: ", 0), 0u) << text.substr(0, 50);
}

TEST(FormFishes, NoFrameWhileNobodyCanSeeItAndOneAtOnceWhenSeenAgain) {
    FormRig rig;
    rig.host.dotless = rig.host.hacks = true;
    rig.aquarium.onFrame = [&](int frame) {
        rig.log.push_back("frame " + std::to_string(frame));
        if (frame == 1) rig.windows.adopted->unseen = true;  // unmapped or covered
        if (frame == 2) rig.windows.asleep = true;
        if (frame == 3) rig.windows.quit();
    };
    rig.windows.onWait = [&](int wait) {
        rig.log.push_back("wait");
        if (wait == 1) rig.windows.adopted->Paint();  // an expose of a covered window draws nothing
        if (wait == 2) rig.windows.adopted->unseen = false;
        if (wait == 3) rig.windows.asleep = false;
    };
    rig.Make({rig.Program("3dtidewell"), "-window-id", "0x4d2"});
    rig.Run();
    Log order;
    for (const std::string& entry : rig.log)
        if (entry.rfind("frame ", 0) == 0 && entry.rfind("frame rate", 0) != 0) order.push_back(entry);
        else if (entry == "wait" || entry.find("Drawing") != std::string::npos)
            order.push_back(entry);
    EXPECT_EQ(order, (Log{"InitDrawing 640x400 full screen", "ResetDrawing", "frame 1", "PauseDrawing",
                          "wait", "wait", "ResumeDrawing", "frame 2", "PauseDrawing", "wait", "ResumeDrawing", "frame 3",
                          "ReleaseDrawing", "ReleaseDrawing"}));
}

TEST(FormFishes, HackEndsWithItsWindowAndReportsAMissingOne) {
    FormRig ends;
    ends.host.dotless = ends.host.hacks = true;
    ends.aquarium.onFrame = [&](int frame) {
        if (frame == 2) ends.windows.adopted->OnDestroyed();
    };
    ends.Make({ends.Program("3dtidewell"), "-root", "-theme", "auto", "-sound", "-delay", "0"});
    ends.Run();
    EXPECT_EQ(ends.aquarium.frames, 2);
    EXPECT_EQ(std::count_if(ends.log.begin(), ends.log.end(), [](const std::string& line) {
                  return line.rfind("frame rate limit", 0) == 0;
              }), 0);  // -delay 0: the display's refresh alone
    EXPECT_EQ(std::count(ends.log.begin(), ends.log.end(), "adopt window -1"), 1);
    EXPECT_EQ(std::count(ends.log.begin(), ends.log.end(), "sound SBUBLES"), 1);
    EXPECT_TRUE(ends.form->Options().AutoTheme);
    EXPECT_TRUE(ends.Options().empty());  // Auto theme in a hack: not stored either
    EXPECT_FALSE(ends.form->ErrorReported());

    FormRig missing;
    missing.host.dotless = missing.host.hacks = true;
    missing.Make({missing.Program("3dtidewell"), "--window-id", "555"});
    missing.Run();
    ASSERT_EQ(missing.messages.size(), 1u);
    EXPECT_EQ(missing.messages[0].first, "The window 0x22b does not exist.");
    EXPECT_TRUE(missing.form->ErrorReported());

    // Destroyed while the drawing starts: GL fails in it, and that is the end, not an error.
    for (const bool gone : {true, false}) {
        FormRig starting;
        starting.host.dotless = starting.host.hacks = true;
        starting.windows.adoptedGoesAtOnce = gone;
        starting.aquarium.failIn = "InitDrawing";
        starting.Make({starting.Program("3dtidewell"), "-root"});
        starting.Run();
        EXPECT_EQ(starting.messages.size(), gone ? 0u : 1u);
        EXPECT_EQ(starting.form->ErrorReported(), !gone);
        if (gone) {
            EXPECT_EQ(starting.system.cursorCount, 0);  // a hack leaves the cursor to xscreensaver
        }
    }
}

TEST(FormFishes, AQuitSignalEndsTheSaverRestoringTheDisplay) {
    FormRig rig;
    rig.aquarium.onFrame = [&](int frame) {
        if (frame == 2) rig.windows.quit();
    };
    rig.Make({rig.Program("3DTidewell.scr"), "/s"});
    rig.Run();
    // Watched before the scene is read (an error box about it ends on a signal too), then by the window.
    EXPECT_EQ(rig.From("watch quit signals").at(1), "SetSceneDefaults");
    EXPECT_EQ(rig.From("PrepareFirstFrame 800x600"),
              (Log{"PrepareFirstFrame 800x600", "watch quit signals", "FreeImagesAfterUpload", "InitDrawing 800x600 full screen", "ResetDrawing", "sound stop", "sound SBUBLES",
                   "DrawFrame", "sound stop", "window hidden", "ReleaseDrawing", "display restored", "ReleaseScene",
                   "sound stop", "surface freed", "window freed", "ReleaseDrawing"}));
    EXPECT_FALSE(rig.form->ErrorReported());
    EXPECT_TRUE(rig.messages.empty());
}

TEST(FormFishes, ASecondInstanceEndsQuietly) {
    FormRig rig;
    rig.guard.held.insert("3DTidewellSemaphore");
    rig.Make({rig.Program("3DTidewell.scr"), "/s"});
    EXPECT_TRUE(rig.application.Terminated());
    rig.Run();
    EXPECT_TRUE(rig.registry.opens.empty());  // no create event
    EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "SetSceneDefaults"), 0);
    EXPECT_TRUE(rig.messages.empty());
}


TEST(FormFishes, ARefusedSwitchGivesTheSaverWindowTheModeInUse) {
    FormRig rig;
    rig.driver.refuse = true;
    rig.aquarium.onFrame = [&](int) { rig.windows.saver->OnKey(); };
    rig.Make({rig.Program("3DTidewell.scr"), "/s"});
    rig.Run();
    // 800 x 600 was asked for and refused: the desktop stays 1280 x 1024, and so is the window.
    EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "saver window 3D Tidewell 1280x1024"), 1);
    EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "InitDrawing 1280x1024 full screen"), 1);
    EXPECT_TRUE(rig.messages.empty());
}

TEST(FormFishes, TheDisplayModeIsRestoredOnEveryWayOut) {
    const auto restoredBefore = [](const Log& log, const std::string& what) {
        const auto restored = std::find(log.begin(), log.end(), "display restored");
        return restored != log.end() && std::find(restored, log.end(), what) != log.end();
    };
    {  // an error box after the switch: restored before the box is shown
        FormRig rig;
        rig.aquarium.failIn = "InitDrawing";
        rig.Make({rig.Program("3DTidewell.scr"), "/s"});
        rig.Run();
        ASSERT_EQ(rig.messages.size(), 1u);
        EXPECT_TRUE(restoredBefore(rig.log, "message 3D Tidewell Screen Saver Error!"));
        // Every switch and restore tells the system the mode is temporary: were the process
        // ended, the system would put the desktop's mode back itself.
        EXPECT_EQ(rig.driver.flags.size(), 2u);
        for (const auto flags : rig.driver.flags) EXPECT_TRUE(flags & kCdsFullScreen);
    }
    {  // ended from outside the form (the session ends): restored while the form is destroyed
        FormRig rig;
        rig.aquarium.onFrame = [&](int) { rig.application.Terminate(); };
        rig.Make({rig.Program("3DTidewell.scr"), "/s"});
        rig.Run();
        EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "display restored"), 1);
        EXPECT_TRUE(restoredBefore(rig.log, "window freed"));
        EXPECT_FALSE(rig.form->DisplayControl().FullScreen());
    }
    {  // a second frame that fails, while switched; the normal end is SaverRunFromStartToKey
        FormRig rig;
        rig.aquarium.onFrame = [&](int frame) {
            if (frame == 2) throw Exception("OpenGL error: Stack overflow!");
        };
        rig.Make({rig.Program("3DTidewell.scr"), "/s"});
        rig.Run();
        EXPECT_TRUE(restoredBefore(rig.log, "message 3D Tidewell Screen Saver Error!"));
        EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "display restored"), 1);
    }
}

TEST(FormFishes, EveryMessageBoxHasAPointer) {
    {  // the saver path: hidden at loading and for the window
        FormRig rig;
        rig.aquarium.onFrame = [&](int frame) {
            if (frame == 2) throw Exception("frame failed");
        };
        rig.Make({rig.Program("3DTidewell.scr"), "/s"});
        rig.Run();
        EXPECT_EQ(rig.cursorAtMessage, std::vector<int>{0});
    }
    {  // a sound error in a running saver: shown for the box, hidden again after it
        FormRig rig;
        rig.sound.fail = true;
        rig.aquarium.onFrame = [&](int) {
            EXPECT_EQ(rig.system.cursorCount, -2);
            rig.sound.fail = false;
            rig.windows.saver->OnKey();
        };
        rig.Make({rig.Program("3DTidewell.scr"), "/s"});
        rig.Run();
        ASSERT_EQ(rig.cursorAtMessage.size(), 1u);
        EXPECT_GE(rig.cursorAtMessage[0], 0);
        EXPECT_EQ(rig.aquarium.frames, 1);  // the run went on
    }
    {  // the dialog's "Preview..." failing after its window hid the cursor
        DialogRig rig;
        rig.Start({rig.Program("3DTidewell.scr"), "/c"});
        const int cursor = rig.system.cursorCount;
        rig.aquarium.failIn = "ResetDrawing";
        // What the view's handler raises reaches the message loop's exception path.
        try {
            rig.view->Click(DialogRig::C::ButtonPreview);
        } catch (const std::exception& e) {
            rig.application.HandleException(e);
        }
        EXPECT_TRUE(rig.application.Terminated());
        ASSERT_EQ(rig.cursorAtMessage.size(), 1u);
        EXPECT_GE(rig.cursorAtMessage[0], 0);
        EXPECT_GE(rig.system.cursorCount, cursor);
    }
}

TEST(FormFishes, EveryOtherMonitorGetsABlackCoverWhoseInputEndsTheSaver) {
    FormRig rig;
    // The primary is not listed first; one monitor sits left of and above it, one mirrors it.
    rig.monitors.monitors = {{-1024, -200, 1024, 768, false},
                             {0, 0, 1280, 1024, true},
                             {1280, 0, 1920, 1080, false},
                             {0, 0, 1280, 1024, false}};
    std::vector<std::string> seen;
    rig.aquarium.onFrame = [&](int frame) {
        if (frame != 2) return;
        ASSERT_EQ(rig.windows.covers.size(), 2u);
        for (auto* cover : rig.windows.covers) seen.push_back(cover->Visible() ? "shown" : "hidden");
        rig.windows.covers[0]->OnKey();
    };
    rig.Options()[OptionNames::DesktopOnly()] = TRegValue::Int(1);
    rig.Options()[OptionNames::Monitors()] = TRegValue::Int(mcPrimaryOnly);
    rig.Make({rig.Program("3DTidewell.scr"), "/s"});
    rig.Run();
    EXPECT_TRUE(rig.aquarium.views.empty());
    EXPECT_EQ(rig.From("saver window 3D Tidewell 1280x1024"),
              (Log{"saver window 3D Tidewell 1280x1024", "cover 1024x768 at -1024,-200", "window shown",
                   "cover 1920x1080 at 1280,0", "window shown", "window shown", "PrepareFirstFrame 1280x1024", "watch quit signals",
                   "FreeImagesAfterUpload", "InitDrawing 1280x1024 full screen",
                   "ResetDrawing", "sound stop", "sound SBUBLES", "DrawFrame",
                   // A key on the left monitor ends the run like one on the aquarium.
                   "sound stop", "window hidden", "window hidden", "window hidden", "ReleaseDrawing", "ReleaseScene",
                   "sound stop", "window freed", "window freed", "surface freed", "window freed", "ReleaseDrawing"}));
    EXPECT_EQ(seen, (std::vector<std::string>{"shown", "shown"}));
    EXPECT_EQ(rig.aquarium.frames, 2);
}

TEST(FormFishes, OneWindowOverEveryMonitorWithAViewEachAndAKeyOnAnyEndsIt) {
    for (const TMonitorChoice choice : {mcEachOwn, mcAcrossAll}) {
        FormRig rig;
        rig.monitors.monitors = {{-1024, -200, 1024, 768, false}, {0, 0, 1280, 1024, true}, {0, 0, 1280, 1024, false}};
        rig.Options()[OptionNames::DesktopOnly()] = TRegValue::Int(1);
        rig.Options()[OptionNames::Monitors()] = TRegValue::Int(choice);
        rig.aquarium.onFrame = [&](int frame) {
            if (frame == 2) rig.windows.saver->OnKey();
        };
        rig.Make({rig.Program("3DTidewell.scr"), "/s"});
        rig.Run();
        EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "saver window 3D Tidewell 2304x1224 at -1024,-200"), 1);
        EXPECT_TRUE(rig.windows.covers.empty());
        ASSERT_EQ(rig.aquarium.views.size(), 2u);
        EXPECT_EQ(rig.aquarium.views[0].Part, (TViewRect{1024, 200, 1280, 1024}));
        EXPECT_EQ(rig.aquarium.views[1].Tank, choice == mcEachOwn ? 1 : 0);
        EXPECT_EQ(rig.aquarium.frames, 2);
    }
}

// Behind the desktop: the stored fish and arrangement, silent, at its --fps, no mode switch, no
// hidden cursor, a marker of its own; monitors that change are arranged again; where the root
// window is the wallpaper, "primary only" is a view on the primary.
TEST(FormFishes, TheWallpaperFollowsTheStoredArrangementSilentlyAtItsPace) {
    FormRig rig;
    rig.host.dotless = rig.host.hacks = true;
    rig.monitors.monitors = {{0, 0, 1280, 1024, true}, {1280, 0, 1024, 768, false}};
    rig.Options()[OptionNames::Monitors()] = TRegValue::Int(mcAcrossAll);
    rig.Options()[OptionNames::Sound()] = TRegValue::Int(1);
    rig.Options()[OptionNames::FishCount()] = TRegValue::Int(12);
    std::vector<TTankView> first;
    rig.aquarium.onFrame = [&](int frame) {
        if (frame == 1) {
            first = rig.aquarium.views;
            rig.monitors.monitors.pop_back();  // switched off
            rig.windows.OnMonitorsChanged();
        }
        if (frame == 2) rig.windows.quit();
    };
    rig.Make({rig.Program("3dtidewell"), "--wallpaper", "--fps", "12"});
    rig.Run();
    EXPECT_EQ(rig.form->ScreenSaver().SaverMode(), smWallpaper);
    EXPECT_EQ(rig.From("wallpaper window 2304x1024"),
              (Log{"wallpaper window 2304x1024", "window placed 2304x1024 at 0,0", "window shown", "PrepareFirstFrame 2304x1024",
                   "frame rate limit 12", "watch quit signals", "FreeImagesAfterUpload",
                   "InitDrawing 2304x1024 full screen", "ResetDrawing", "sound stop", "DrawFrame",
                   "window placed 1280x1024 at 0,0", "sound stop", "window hidden", "ReleaseDrawing",
                   "ReleaseScene", "sound stop", "surface freed", "window freed", "ReleaseDrawing"}));
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[1].Whole, (TViewRect{0, 0, 2304, 1024}));
    EXPECT_TRUE(rig.aquarium.views.empty());  // one monitor left: one tank fills the window
    EXPECT_EQ(rig.form->Options().FishCount, 12);
    EXPECT_FALSE(rig.form->Options().SoundEnabled);
    EXPECT_EQ(rig.system.cursorCount, 0);
    EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "display 800x600"), 0);
    EXPECT_EQ(rig.guard.created, (std::vector<std::string>{"3dtidewellWallpaperSemaphore"}));
    EXPECT_TRUE(rig.registry.written.empty());

    FormRig root;
    root.host.dotless = root.host.hacks = true;
    root.windows.wallpaperRoot = true;
    root.monitors.monitors = {{0, 0, 1024, 768, false}, {1024, 100, 1280, 1024, true}};
    root.Options()[OptionNames::Monitors()] = TRegValue::Int(mcPrimaryOnly);
    root.aquarium.onFrame = [&](int) { root.windows.quit(); };
    root.Make({root.Program("3dtidewell"), "--wallpaper"});
    root.Run();
    EXPECT_NE(std::find(root.log.begin(), root.log.end(), "frame rate limit 30"), root.log.end());
    ASSERT_EQ(root.aquarium.views.size(), 1u);
    EXPECT_EQ(root.aquarium.views[0].Part, (TViewRect{1024, 100, 1280, 1024}));
}

TEST(FormFishes, MonitorsAddedOrRemovedWhileTheSaverRunsGetTheirAquariumOrCover) {
    for (const TMonitorChoice choice : {mcEachOwn, mcPrimaryOnly}) {
        FormRig rig;
        rig.monitors.monitors = {{0, 0, 1280, 1024, true}};
        rig.Options()[OptionNames::DesktopOnly()] = TRegValue::Int(1);
        rig.Options()[OptionNames::Monitors()] = TRegValue::Int(choice);
        std::vector<std::size_t> views;
        std::vector<std::string> removal;  // what the removal did
        rig.aquarium.onFrame = [&](int frame) {
            if (frame == 1) rig.monitors.monitors.push_back({1280, 0, 1024, 768, false});
            if (frame == 2) rig.monitors.monitors.pop_back();
            if (frame == 3) {
                rig.windows.saver->OnKey();
                return;
            }
            ASSERT_TRUE(rig.windows.OnMonitorsChanged);
            const std::size_t before = rig.log.size();
            rig.windows.OnMonitorsChanged();
            views.push_back(rig.aquarium.views.size());
            if (frame == 2) removal.assign(rig.log.begin() + static_cast<std::ptrdiff_t>(before), rig.log.end());
        };
        rig.Make({rig.Program("3DTidewell.scr"), "/s"});
        rig.Run();
        const bool each = choice == mcEachOwn;
        // Added: the window spans both with a view each, or the new one is covered; removed: back.
        EXPECT_EQ(views, (std::vector<std::size_t>{each ? 2u : 0u, 0u})) << choice;
        EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "window placed 2304x1024 at 0,0"), each ? 1 : 0);
        EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "cover 1024x768 at 1280,0"), each ? 0 : 1);
        const Log removed = each ? Log{"window placed 1280x1024 at 0,0"}
                                 : Log{"window placed 1280x1024 at 0,0", "window freed"};
        EXPECT_EQ(removal, removed);
        EXPECT_FALSE(rig.windows.OnMonitorsChanged);  // nothing left to lay out once the run ended
    }
}

TEST(FormFishes, MovesOverACoverCountInTheSaverWindowsCoordinates) {
    FormRig rig;
    rig.monitors.monitors = {{0, 0, 1280, 1024, true}, {-640, 0, 640, 480, false}};
    rig.Options()[OptionNames::DesktopOnly()] = TRegValue::Int(1);
    rig.Options()[OptionNames::Monitors()] = TRegValue::Int(mcPrimaryOnly);
    rig.aquarium.onFrame = [&](int frame) {
        if (frame != 1) return;
        FakeWindow& saver = *rig.windows.saver;
        FakeWindow& cover = *rig.windows.covers.at(0);
        for (int i = 0; i < 5; ++i) saver.OnMouseMove(0, 0);  // skipped
        saver.OnMouseMove(2, 2);                               // the reference point
        // (642, 2) on the cover is (2, 2) on the aquarium's monitor: no move at all.
        cover.OnMouseMove(642, 2);
        EXPECT_TRUE(saver.Visible());
        cover.OnMouseMove(600, 100);  // a clear move, on the other monitor: the run ends
        EXPECT_TRUE(rig.application.Terminated());
    };
    rig.Make({rig.Program("3DTidewell.scr"), "/s"});
    rig.Run();
    EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "cover 640x480 at -640,0"), 1);
}

}  // namespace
