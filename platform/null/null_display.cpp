// The null display platform: every mode runs through its whole start and stop with no window
// and no picture, for tests and for porting.
//
// PLATFORM: none (headless; `--platform null` on Linux). Windows exist only as sizes; frames
// are drawn through an OpenGL whose every entry point does nothing, paced at 60 a second.
// SIGTERM, SIGINT and SIGHUP end any run cleanly, the preview's too, from the moment it connects.
// LIMITATIONS: no input, so only a quit signal ends a run; one 640x480 monitor, one display mode;
// the settings dialog keeps what the logic puts into it and no one answers it; the desktop's
// opener takes nothing; error messages go to the standard error stream.
// DEPENDENCIES: the C++ standard library only.
#include "platform/null/null_display.h"

#include <chrono>
#include <csignal>
#include <iostream>
#include <map>
#include <thread>
#include <type_traits>

#include "gl/gl_api.h"
#include "gl/gl_loader.h"
#include "platform/paced_device.h"

namespace {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kScreenDepth = 32;

// An entry point of the GL table that does nothing and returns zero (GetString: no text,
// GetError: no error).
template <typename Entry>
struct TNullEntry;
template <typename Result, typename... Args>
struct TNullEntry<Result(TW_APIENTRY*)(Args...)> {
    static Result TW_APIENTRY Call(Args...) { return Result(); }
};

class TNullGLLoader final : public ILibraryLoader {
public:
    TNullGLLoader() {
#define TW_NULL_GL(ret, name, params) entries_["gl" #name] = reinterpret_cast<void*>(&TNullEntry<decltype(GLApi::name)>::Call);
#define TW_NULL_GLU(ret, name, params) entries_["glu" #name] = reinterpret_cast<void*>(&TNullEntry<decltype(GLUApi::name)>::Call);
        TW_GL_FUNCTIONS(TW_NULL_GL)
        TW_GL12_FUNCTIONS(TW_NULL_GL)
        TW_GLU_FUNCTIONS(TW_NULL_GLU)
#undef TW_NULL_GL
#undef TW_NULL_GLU
    }
    void* Open(const std::string&) override { return this; }
    void* Find(void*, const char* name) override {
        const auto found = entries_.find(name);
        return found == entries_.end() ? nullptr : found->second;
    }
    void* FindExtension(const char*) override { return nullptr; }
    void Close(void*) override {}

private:
    std::map<std::string, void*> entries_;
};

TNullGLLoader& NullGL() {
    static TNullGLLoader loader;
    return loader;
}

class TNullContext final : public IGLRenderContext {
public:
    bool MakeCurrent(IGLDevice&) override { return true; }
    bool ReleaseCurrent() override { return true; }
    std::string LastErrorText() override { return {}; }
};

class TNullDevice final : public IGLDevice {
public:
    std::uint32_t ObjectType() override { return kObjDC; }
    int ChoosePixelFormat(const TPixelFormatDescriptor&) override { return 1; }
    bool SetPixelFormat(int, const TPixelFormatDescriptor&) override { return true; }
    bool DescribePixelFormat(int, TPixelFormatDescriptor&) override { return false; }
    std::unique_ptr<IGLPalette> CreatePalette(const std::vector<TPaletteEntry>&) override { return nullptr; }
    void SelectPalette(IGLPalette&) override {}
    std::unique_ptr<IGLRenderContext> CreateContext() override { return std::make_unique<TNullContext>(); }
    bool SwapBuffers() override { return true; }
    TGLLibrary Library() override { return {&NullGL(), "null-gl", "null-glu"}; }
};

class TNullWindow final : public ISaverWindow {
public:
    TNullWindow(std::intptr_t handle, int width, int height) : handle_(handle), width_(width), height_(height) {}
    std::intptr_t NativeHandle() override { return handle_; }
    int Width() override { return width_; }
    int Height() override { return height_; }
    bool Visible() override { return visible_; }
    void Show() override { visible_ = true; }
    void Hide() override { visible_ = false; }
    void Paint() override {
        if (OnPaint) OnPaint();
    }

private:
    std::intptr_t handle_;
    int width_;
    int height_;
    bool visible_ = false;
};

class TNullDrawingWindow final : public IDrawingWindow {
public:
    explicit TNullDrawingWindow(ISaverWindow& window) : window_(window) {}
    std::int32_t ClientWidth() const override { return window_.Width(); }
    std::int32_t ClientHeight() const override { return window_.Height(); }
    IGLDevice* AcquireDevice() override {
        // Nothing paces the swaps but a timer: frames nobody sees are not worth a whole core.
        devices_.push_back(std::make_unique<TPacedDevice>(std::make_unique<TNullDevice>(), [] { return false; }, 60));
        devices_.back()->LimitRate(limit_);
        return devices_.back().get();
    }
    void ReleaseDevice(IGLDevice* device) override {
        std::erase_if(devices_, [device](const auto& held) { return held.get() == device; });
    }
    void LimitFrameRate(double framesPerSecond) override {
        limit_ = framesPerSecond;
        for (auto& device : devices_) device->LimitRate(framesPerSecond);
    }

private:
    ISaverWindow& window_;
    std::vector<std::unique_ptr<TPacedDevice>> devices_;
    double limit_ = 0;
};

volatile std::sig_atomic_t quitSignal = 0;

void NoteQuitSignal(int) { quitSignal = 1; }

class TNullWindowSystem final : public IWindowSystem {
public:
    TNullWindowSystem() {
        for (const int signal : {SIGTERM, SIGINT}) std::signal(signal, NoteQuitSignal);
#ifdef SIGHUP
        std::signal(SIGHUP, NoteQuitSignal);
#endif
    }

    bool ProcessOne() override {
        if (!quitSignal || handled_) return false;
        handled_ = true;
        // A run that does not watch the signals (the preview) ends as well.
        if (onQuit_)
            onQuit_();
        else if (application_)
            application_->Terminate();
        return true;
    }
    void WaitForMessage() override {
        while (!quitSignal || handled_) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::unique_ptr<ISaverWindow> CreateSaverWindow(const std::string&, int, int, int width, int height) override {
        return std::make_unique<TNullWindow>(++handles_, width, height);
    }
    std::unique_ptr<ISaverWindow> CreateCoverWindow(int, int, int width, int height) override {
        return std::make_unique<TNullWindow>(++handles_, width, height);
    }
    // Any parent is taken: there is nothing to check it against.
    std::unique_ptr<ISaverWindow> CreateChildWindow(std::intptr_t) override {
        return std::make_unique<TNullWindow>(++handles_, 152, 112);
    }
    std::unique_ptr<ISaverWindow> AdoptWindow(std::intptr_t) override {
        return std::make_unique<TNullWindow>(++handles_, kScreenWidth, kScreenHeight);
    }
    // The signals are noted from the start, so one that comes early still ends the run cleanly.
    void WatchQuitSignals(std::function<void()> onQuit) override { onQuit_ = std::move(onQuit); }
    bool QuitSignalled() override { return quitSignal != 0; }
    void RunLoop(TApplication& application) override {
        application_ = &application;
        RunMessageLoop(application, *this);
        application_ = nullptr;
    }

private:
    std::function<void()> onQuit_;
    TApplication* application_ = nullptr;
    bool handled_ = false;
    std::intptr_t handles_ = 0;
};

class TNullMonitors final : public IMonitorList {
public:
    std::vector<TMonitor> Monitors() override { return {{0, 0, kScreenWidth, kScreenHeight, true}}; }
};

class TNullDisplayModes final : public IDisplayModeDriver {
public:
    bool EnumSettings(std::uint32_t index, TModeRecord& record) override {
        if (index > 0) return false;
        record.Fields = kModeFields;
        record.BitsPerPel = kScreenDepth;
        record.PelsWidth = kScreenWidth;
        record.PelsHeight = kScreenHeight;
        return true;
    }
    std::int32_t ChangeSettings(const TModeRecord* record, std::uint32_t) override {
        const bool same = !record || (record->PelsWidth == kScreenWidth && record->PelsHeight == kScreenHeight &&
                                      record->BitsPerPel == kScreenDepth);
        return same ? kDispChangeSuccessful : kDispChangeBadMode;
    }
    TVideoMode ScreenMode() override { return {kScreenWidth, kScreenHeight, kScreenDepth}; }
};

class TNullSaverSystem final : public ISaverSystem {
public:
    void SetSystemParameter(std::uint32_t, std::uint32_t) override {}
    int ShowCursor(bool show) override { return cursor_ += show ? 1 : -1; }
    TWindowHandle ForegroundWindow() override { return 0; }
    bool WindowSize(TWindowHandle, int&, int&) override { return false; }
    std::string SystemDirectory() override { return {}; }
    TLibraryHandle OpenLibrary(const std::string&) override { return 0; }
    void CloseLibrary(TLibraryHandle) override {}
    bool HasProcedure(TLibraryHandle, const std::string&) override { return false; }
    std::int32_t CallPwdChangePassword(TLibraryHandle, const std::string&, TWindowHandle) override { return 0; }
    // No password libraries: the saver may close.
    std::int32_t CallVerifyScreenSavePwd(TLibraryHandle, TWindowHandle) override { return 1; }

private:
    int cursor_ = 0;
};

// Keeps what the logic sets, so that it reads back what it put in.
class TNullSettingsView final : public ISettingsView {
public:
    void SetEvents(ISettingsViewEvents*) override {}
    void Show(std::intptr_t) override {}
    void Hide() override {}
    void SetCaption(const std::string&) override {}
    void SetListItems(TDialogControl list, const std::vector<std::string>&) override { values_[list] = -1; }
    void SelectListItem(TDialogControl list, int index) override { values_[list] = index; }
    int SelectedListItem(TDialogControl list) override { return Value(list, -1); }
    void SetPosition(TDialogControl trackBar, int position) override { values_[trackBar] = position; }
    int Position(TDialogControl trackBar) override { return Value(trackBar, 0); }
    void SetChecked(TDialogControl checkBox, bool checked) override { values_[checkBox] = checked ? 1 : 0; }
    bool Checked(TDialogControl checkBox) override { return Value(checkBox, 0) != 0; }
    void SetEnabled(TDialogControl, bool) override {}
    void SetHint(TDialogControl, const std::string&) override {}
    void SetText(TDialogControl, const std::string&) override {}
    void ShowMessage(const std::string&, const std::string&) override {}
    void ShowAbout(const TAboutInfo&) override {}
    std::intptr_t PreviewPanel() override { return 1; }

private:
    int Value(TDialogControl control, int otherwise) const {
        const auto found = values_.find(control);
        return found == values_.end() ? otherwise : found->second;
    }
    std::map<TDialogControl, int> values_;
};

class TNullDisplayPlatform final : public IDisplayPlatform {
public:
    std::string Name() const override { return "null"; }
    void Connect() override { windows_ = std::make_unique<TNullWindowSystem>(); }
    IWindowSystem& Windows() override { return *windows_; }
    std::unique_ptr<IDrawingWindow> CreateDrawingWindow(ISaverWindow& window) override {
        return std::make_unique<TNullDrawingWindow>(window);
    }
    std::unique_ptr<IMonitorList> CreateMonitorList() override { return std::make_unique<TNullMonitors>(); }
    std::unique_ptr<IDisplayModeDriver> CreateDisplayModeDriver() override { return std::make_unique<TNullDisplayModes>(); }
    std::unique_ptr<ISaverSystem> CreateSaverSystem() override { return std::make_unique<TNullSaverSystem>(); }
    std::unique_ptr<ISettingsView> CreateSettingsView() override { return std::make_unique<TNullSettingsView>(); }
    bool OpenWithDesktop(const std::string&) override { return false; }
    void ShowErrorMessage(const std::string& text, const std::string& caption) override {
        std::string plain = text;
        std::erase(plain, '\r');
        std::cerr << caption << "\n" << plain << std::endl;
    }

private:
    std::unique_ptr<TNullWindowSystem> windows_;
};

}  // namespace

std::unique_ptr<IDisplayPlatform> CreateNullDisplayPlatform() { return std::make_unique<TNullDisplayPlatform>(); }
