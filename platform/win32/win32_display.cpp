// The Win32 display platform, the Windows program's only one: its windows, WGL drawing,
// monitors, display modes and dialogs (see win32_platform.cpp for the whole platform).
#include "platform/win32/win32_display.h"

#include "platform/services.h"

namespace {

class TWin32DisplayPlatform final : public IDisplayPlatform {
public:
    std::string Name() const override { return "win32"; }
    void Connect() override { windows_ = CreateWindowSystem(); }
    IWindowSystem& Windows() override { return *windows_; }
    std::unique_ptr<IDrawingWindow> CreateDrawingWindow(ISaverWindow& window) override {
        return ::CreateDrawingWindow(*windows_, window);
    }
    std::unique_ptr<IMonitorList> CreateMonitorList() override { return ::CreateMonitorList(*windows_); }
    std::unique_ptr<IDisplayModeDriver> CreateDisplayModeDriver() override { return ::CreateDisplayModeDriver(); }
    std::unique_ptr<ISaverSystem> CreateSaverSystem() override { return ::CreateSaverSystem(); }
    std::unique_ptr<ISettingsView> CreateSettingsView() override { return ::CreateSettingsView(*windows_); }
    bool OpenWithDesktop(const std::string& target) override { return ::OpenWithDesktop(target); }
    void ShowErrorMessage(const std::string& text, const std::string& caption) override {
        ::ShowErrorMessage(text, caption);
    }

private:
    std::unique_ptr<IWindowSystem> windows_;
};

}  // namespace

std::vector<TDisplayPlatformEntry> DisplayPlatforms() {
    return {{"win32", [] { return true; }, [] { return std::unique_ptr<IDisplayPlatform>(new TWin32DisplayPlatform); }}};
}
