// The Windows services for real, under Wine in the test run.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/execute_pro.h"
#include "app/exception.h"
#include "app/registry.h"
#include "display/display_control.h"
#include "platform/services.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/win32_platform.h"

namespace {

TEST(Win32Platform, RegistryRoundTripUnderCurrentUser) {
    const std::string key = "Software\\Korvane Software\\Tidewell Test " + std::to_string(GetCurrentProcessId());
    TWinRegistryStore store;
    {
        TRegistry reg(store, TRootKey::CurrentUser);
        EXPECT_FALSE(reg.OpenKeyReadOnly(key));
        ASSERT_TRUE(reg.OpenKey(key, true));
        reg.WriteInteger("\x9D\x96\x8C\x97", -3);
        reg.WriteBool("Sound", false);
        reg.WriteString("Path", "C:\\Games\\");
    }
    TRegistry reg(store, TRootKey::CurrentUser);
    ASSERT_TRUE(reg.OpenKeyReadOnly(key));
    EXPECT_EQ(reg.ReadInteger("\x9D\x96\x8C\x97"), -3);
    EXPECT_FALSE(reg.ReadBool("Sound"));
    EXPECT_EQ(reg.ReadString("Path"), "C:\\Games\\");
    EXPECT_THROW(reg.ReadInteger("Path"), Exception);
    EXPECT_FALSE(reg.ValueExists("Nothing"));
    reg.CloseKey();
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str()), ERROR_SUCCESS);
}

TEST(Win32Platform, NamedSemaphoreMarksTheFirstInstance) {
    TSemaphoreGuard guard;
    const std::string name = "TidewellTestSemaphore" + std::to_string(GetCurrentProcessId());
    bool existed = true;
    auto first = guard.Create(name, existed);
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(existed);
    auto second = guard.Create(name, existed);
    EXPECT_TRUE(existed);
    second.reset();
    first.reset();
    auto again = guard.Create(name, existed);
    EXPECT_FALSE(existed);
}

TEST(Win32Platform, HostSystemAndLauncher) {
    TWin32Host host({"whatever", "/s"});
    EXPECT_NE(host.Arguments()[0].find("tests_app"), std::string::npos);
    EXPECT_FALSE(host.DotlessNameIsBaseName());

    TWin32SaverSystem system;
    const auto dir = system.SystemDirectory();
    EXPECT_FALSE(dir.empty());
    int width = 0, height = 0;
    EXPECT_TRUE(system.WindowSize(reinterpret_cast<TWindowHandle>(GetDesktopWindow()), width, height));
    EXPECT_GT(width, 0);
    EXPECT_FALSE(system.WindowSize(0x7FFF0001, width, height));
    EXPECT_EQ(system.OpenLibrary(dir + "\\NO-SUCH-LIBRARY.DLL"), 0u);

    TApplication application;
    TWin32Launcher launcher;
    TExecutePro exec(application, launcher);
    exec.Mode = TExecMode::emProcess;
    auto process = launcher.StartProcess(dir + "\\cmd.exe /c exit 7", "", PriorityClass(TExecPriority::epNormal), 0);
    ASSERT_NE(process, nullptr);
    std::uint32_t code = kStillActive;
    for (int i = 0; i < 1000 && process->ExitCode(code) && code == kStillActive; ++i) launcher.Pause();
    EXPECT_EQ(code, 7u);
    EXPECT_EQ(launcher.StartProcess("C:\\no\\such\\program.exe /s", "", 0x20, 5), nullptr);
    exec.Execute("C:\\no\\such\\program.exe /s");  // fails silently
}

TEST(Win32Platform, DisplayModesAndSilentSound) {
    TWin32DisplayDriver driver;
    TDisplayControl control(driver);
    control.Enumerate();
    const auto& desktop = control.DesktopMode();
    EXPECT_GT(desktop.Width(), 0);
    EXPECT_GT(desktop.ColorDepth, 0);
    EXPECT_GT(control.VideoModes().Count(), 0);

    // The wave resource may not be linked in: silence, no error.
    TWin32SoundPlayer player;
    TSound sound(player);
    bool enabled = true;
    sound.ApplySound(enabled);
    sound.StopSound();
    EXPECT_TRUE(enabled);
}

// The temporary folder exists and takes a file name appended directly; a missing file is
// nothing the desktop opens.
TEST(Win32Platform, TemporaryFolderAndDesktopOpen) {
    const std::string dir = TemporaryDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '\\');
    const DWORD attributes = GetFileAttributesA(dir.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(OpenWithDesktop(dir + "no such tidewell file.hlp"));
}

}  // namespace
