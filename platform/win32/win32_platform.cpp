// PLATFORM: Windows x64 (mingw-w64 build, also run under Wine): the frame's OS-wide services on
// Win32 (this file); one display platform, win32 (win32_display.cpp: windows, WGL drawing,
// monitors, display modes, the dialog), through the same list as on Linux (DisplayPlatforms()).
// LIMITATIONS: display modes of the primary display only (the other monitors are covered in
// black, never switched); the desktop's password libraries
// exist on old systems only (verification passes without them).
// DEPENDENCIES: kernel32, user32, gdi32, advapi32 (registry), winmm (clock, PlaySound), shell32
// (open with the desktop), comctl32 (the dialog's controls); OpenGL32/GLU32 loaded at run time as the
// WGL device names them.
#include "platform/win32/win32_platform.h"

#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>
#include <share.h>
#include <shlobj.h>

#include <cstring>

#include "app/log_file.h"

#include "platform/platform_choice.h"
#include "platform/services.h"
#include "platform/win32/win32_display.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/settings_view.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_window_system.h"

namespace {

class SemaphoreHandle final : public IInstanceHandle {
public:
    explicit SemaphoreHandle(HANDLE handle) : handle_(handle) {}
    ~SemaphoreHandle() override { CloseHandle(handle_); }

private:
    HANDLE handle_;
};

class Win32Process final : public IProcess {
public:
    explicit Win32Process(const PROCESS_INFORMATION& info) : info_(info) {}
    ~Win32Process() override {
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    bool ExitCode(std::uint32_t& code) override {
        DWORD value = 0;
        if (!GetExitCodeProcess(info_.hProcess, &value)) return false;
        code = value;
        return true;
    }

private:
    PROCESS_INFORMATION info_;
};

DEVMODEA ToDevMode(const TModeRecord& record) {
    DEVMODEA mode;
    std::memset(&mode, 0, sizeof mode);
    if (record.Native.size() == sizeof mode) std::memcpy(&mode, record.Native.data(), sizeof mode);
    mode.dmSize = sizeof mode;
    mode.dmFields = record.Fields;
    mode.dmBitsPerPel = static_cast<DWORD>(record.BitsPerPel);
    mode.dmPelsWidth = static_cast<DWORD>(record.PelsWidth);
    mode.dmPelsHeight = static_cast<DWORD>(record.PelsHeight);
    return mode;
}

}  // namespace

std::unique_ptr<IInstanceHandle> TSemaphoreGuard::Create(const std::string& name, bool& alreadyExisted) {
    alreadyExisted = false;
    const HANDLE handle = CreateSemaphoreW(nullptr, 0, 1, WideText(name).c_str());
    if (!handle) return nullptr;
    alreadyExisted = GetLastError() == ERROR_ALREADY_EXISTS;
    return std::make_unique<SemaphoreHandle>(handle);
}

namespace {

std::vector<std::string> WideCommandLineArguments() {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return args;
    for (int i = 0; i < count; ++i) args.push_back(Utf8Text(wide[i]));
    LocalFree(wide);
    return args;
}

std::string ModuleFileName() {
    // Paths may be longer than MAX_PATH: grow until the name fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) return Utf8Text(path.substr(0, n));
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

}  // namespace

TWin32Host::TWin32Host(std::vector<std::string> args) : args_(std::move(args)) {
    const std::string path = ModuleFileName();
    if (path.empty()) return;
    if (args_.empty())
        args_.push_back(path);
    else
        args_[0] = path;
}

std::FILE* OpenLogStream(const std::string& path, bool create) {
    // Other writers are denied, readers (a log viewer, a support script) are not.
    return _wfsopen(WideText(path).c_str(), create ? L"w+b" : L"r+b", _SH_DENYWR);
}

std::FILE* TWin32Host::OpenLog(const std::string& path, bool create) { return OpenLogStream(path, create); }

void TWin32Host::BringSettingsDialogForward() {
    HWND dialog = nullptr;
    EnumWindows(
        [](HWND hwnd, LPARAM found) -> BOOL {
            if (!IsWindowVisible(hwnd) || !GetPropW(hwnd, kSettingsDialogProperty)) return TRUE;
            *reinterpret_cast<HWND*>(found) = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    if (IsIconic(dialog)) ShowWindow(dialog, SW_RESTORE);
    // The About box or a message box, when one is open over it: that is where input goes.
    SetForegroundWindow(GetLastActivePopup(dialog));
}

std::string WritableDirectoryFor(const std::string& dir, const std::string& localAppData) {
    if (!dir.empty()) {
        const std::string probe = dir + "~tidewell" + std::to_string(GetCurrentProcessId()) + ".tmp";
        const HANDLE file = CreateFileW(WideText(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return dir;
        }
    }
    const std::string own = localAppData + "3D Tidewell\\";
    CreateDirectoryW(WideText(own).c_str(), nullptr);  // an existing folder is fine
    return own;
}

std::string LocalAppDataDirectory() {
    wchar_t path[MAX_PATH + 1] = {};
    std::string dir;
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, path)))
        dir = Utf8Text(path);
    else if (const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", path, MAX_PATH); n > 0 && n < MAX_PATH)
        dir = Utf8Text(std::wstring(path, n));
    if (dir.empty()) return TemporaryDirectory();
    if (dir.back() != '\\') dir += '\\';
    return dir;
}

std::string TWin32Host::WritableDirectory(const std::string& exeDir) {
    return WritableDirectoryFor(exeDir, LocalAppDataDirectory());
}

void TWin32SaverSystem::SetSystemParameter(std::uint32_t action, std::uint32_t value) {
    BOOL previous = FALSE;
    SystemParametersInfoW(action, value, &previous, 0);
}

int TWin32SaverSystem::ShowCursor(bool show) { return ::ShowCursor(show ? TRUE : FALSE); }

TWindowHandle TWin32SaverSystem::ForegroundWindow() { return reinterpret_cast<TWindowHandle>(GetForegroundWindow()); }

bool TWin32SaverSystem::WindowSize(TWindowHandle window, int& width, int& height) {
    RECT rect{};
    if (!GetWindowRect(reinterpret_cast<HWND>(window), &rect)) return false;
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
    return true;
}

std::string TWin32SaverSystem::SystemDirectory() {
    wchar_t dir[MAX_PATH + 1] = {};
    const UINT n = GetSystemDirectoryW(dir, MAX_PATH);
    return n > 0 && n <= MAX_PATH ? Utf8Text(std::wstring(dir, n)) : std::string();
}

TLibraryHandle TWin32SaverSystem::OpenLibrary(const std::string& path) {
    return reinterpret_cast<TLibraryHandle>(LoadLibraryW(WideText(path).c_str()));
}

void TWin32SaverSystem::CloseLibrary(TLibraryHandle library) { ::FreeLibrary(reinterpret_cast<HMODULE>(library)); }

bool TWin32SaverSystem::HasProcedure(TLibraryHandle library, const std::string& name) {
    return GetProcAddress(reinterpret_cast<HMODULE>(library), name.c_str()) != nullptr;
}

std::int32_t TWin32SaverSystem::CallPwdChangePassword(TLibraryHandle library, const std::string& provider,
                                                      TWindowHandle parent) {
    using Fn = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
    const auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(library), "PwdChangePasswordA")));
    return fn ? static_cast<std::int32_t>(fn(provider.c_str(), reinterpret_cast<HWND>(parent), 0, nullptr)) : 0;
}

std::int32_t TWin32SaverSystem::CallVerifyScreenSavePwd(TLibraryHandle library, TWindowHandle window) {
    using Fn = BOOL(WINAPI*)(HWND);
    const auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(library), "VerifyScreenSavePwd")));
    return fn ? fn(reinterpret_cast<HWND>(window)) : 1;
}

std::unique_ptr<IProcess> TWin32Launcher::StartProcess(const std::string& commandLine, const std::string& directory,
                                                         std::uint32_t priorityClass, int showCommand) {
    STARTUPINFOW startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION info{};
    // CreateProcessW may write into the command line: a copy of our own.
    std::wstring line = WideText(commandLine);
    const std::wstring folder = WideText(directory);
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, priorityClass, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        return nullptr;
    return std::make_unique<Win32Process>(info);
}

void TWin32Launcher::ShellOpen(const std::string& file, const std::string& parameters, const std::string& directory,
                               int showCommand) {
    const std::wstring wideParameters = WideText(parameters), folder = WideText(directory);
    ShellExecuteW(nullptr, L"open", WideText(file).c_str(), wideParameters.empty() ? nullptr : wideParameters.c_str(),
                  folder.empty() ? nullptr : folder.c_str(), showCommand);
}

void TWin32Launcher::Pause() { Sleep(10); }

void TWin32Launcher::SetOwnPriorityClass(std::uint32_t priorityClass) { SetPriorityClass(GetCurrentProcess(), priorityClass); }

bool TWin32DisplayDriver::EnumSettings(std::uint32_t index, TModeRecord& record) {
    DEVMODEA mode = ToDevMode(record);
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsA(nullptr, index, &mode)) return false;
    record.Fields = mode.dmFields;
    record.BitsPerPel = static_cast<std::int32_t>(mode.dmBitsPerPel);
    record.PelsWidth = static_cast<std::int32_t>(mode.dmPelsWidth);
    record.PelsHeight = static_cast<std::int32_t>(mode.dmPelsHeight);
    record.Native.assign(reinterpret_cast<const std::uint8_t*>(&mode), reinterpret_cast<const std::uint8_t*>(&mode) + sizeof mode);
    return true;
}

std::int32_t TWin32DisplayDriver::ChangeSettings(const TModeRecord* record, std::uint32_t flags) {
    if (!record) return ChangeDisplaySettingsA(nullptr, flags);
    DEVMODEA mode = ToDevMode(*record);
    return ChangeDisplaySettingsA(&mode, flags);
}

TVideoMode TWin32DisplayDriver::ScreenMode() {
    TVideoMode mode;
    const HDC dc = GetDC(nullptr);
    mode.ColorDepth = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(nullptr, dc);
    mode.Width = GetSystemMetrics(SM_CXSCREEN);
    mode.Height = GetSystemMetrics(SM_CYSCREEN);
    return mode;
}

void TWin32SoundPlayer::Play(const char* name, std::uint32_t flags) {
    // The result is ignored: a missing resource or device is silence.
    const std::wstring resource = name ? WideText(name) : std::wstring();
    ::PlaySoundW(name ? resource.c_str() : nullptr, name ? GetModuleHandleW(nullptr) : nullptr, flags);
}

std::unique_ptr<IApplicationHost> CreateApplicationHost(std::vector<std::string> args) {
    // main's arguments are in the ANSI code page, which cannot hold every path: the wide command
    // line can.
    std::vector<std::string> wide = WideCommandLineArguments();
    // main took the display platform's option out of its own arguments.
    std::string platform;
    TakePlatformOption(wide, platform);
    return std::make_unique<TWin32Host>(wide.empty() ? std::move(args) : std::move(wide));
}
std::unique_ptr<IRegistryStore> CreateOptionsStore() { return std::make_unique<TWinRegistryStore>(); }
std::unique_ptr<IInstanceGuard> CreateInstanceGuard() { return std::make_unique<TSemaphoreGuard>(); }
std::unique_ptr<ISaverSystem> CreateSaverSystem() { return std::make_unique<TWin32SaverSystem>(); }
std::unique_ptr<IProcessLauncher> CreateProcessLauncher() { return std::make_unique<TWin32Launcher>(); }
// Windows starts the screen saver itself after its own idle time.
std::unique_ptr<IIdleWatchSession> CreateIdleWatchSession(const std::string&) { return nullptr; }
std::string DialogPlatform() { return {}; }
std::function<std::string(const std::function<void(IRegistryStore&)>&)> SeparatePreview(const std::string&,
                                                                                       const std::string&) {
    return {};
}
std::function<void(bool)> SessionStartSetter(const std::string&) { return {}; }
std::function<void(bool)> WallpaperSessionStartSetter(const std::string&) { return {}; }
std::string WallpaperUnavailable() { return {}; }
std::unique_ptr<IDisplayModeDriver> CreateDisplayModeDriver() { return std::make_unique<TWin32DisplayDriver>(); }
std::unique_ptr<ISoundPlayer> CreateSoundPlayer(TResourceLookup) { return std::make_unique<TWin32SoundPlayer>(); }
std::unique_ptr<IPowerSource> CreatePowerSource() {
    struct TPowerStatus final : IPowerSource {
        bool OnBattery() override {
            SYSTEM_POWER_STATUS status{};
            return GetSystemPowerStatus(&status) && status.ACLineStatus == 0;
        }
    };
    return std::make_unique<TPowerStatus>();
}
std::unique_ptr<IWindowSystem> CreateWindowSystem() { return std::make_unique<TWin32WindowSystem>(); }

std::string SceneDescriptionFile(const std::string& installPath, const std::string& exeBaseName) {
    return installPath + exeBaseName + ".ini";
}

bool OpenWithDesktop(const std::string& target) {
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", WideText(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

std::string TemporaryDirectory() {
    wchar_t path[MAX_PATH + 2] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, path);
    std::string dir = n > 0 && n <= MAX_PATH + 1 ? Utf8Text(std::wstring(path, n)) : std::string(".\\");
    if (dir.back() != '\\') dir += '\\';
    return dir;
}

std::string DocumentFolder(const std::string& installPath) { return installPath; }

std::string WritePrivateFile(const std::string& name, const std::string& content) {
    // The temporary folder is the user's own (under the profile) on every supported Windows.
    const std::string path = TemporaryDirectory() + name;
    const HANDLE file = CreateFileW(WideText(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    DWORD written = 0;
    const bool ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
                    written == content.size();
    return CloseHandle(file) && ok ? path : std::string();
}
