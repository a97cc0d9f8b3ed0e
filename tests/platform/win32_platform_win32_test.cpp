// The Windows services for real, under Wine in the test run.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/app_fakes.h"
#include "app/execute_pro.h"
#include "app/log_file.h"
#include "app/exception.h"
#include "app/registry.h"
#include "display/display_control.h"
#include "platform/services.h"
#include "platform/win32/win32_display.h"
#include "model/resource_finder.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/wide_text.h"
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
        reg.WriteString("Folder", "C:\\Users\\Jürgen\\日本\\");
    }
    TRegistry reg(store, TRootKey::CurrentUser);
    ASSERT_TRUE(reg.OpenKeyReadOnly(key));
    EXPECT_EQ(reg.ReadInteger("\x9D\x96\x8C\x97"), -3);
    EXPECT_FALSE(reg.ReadBool("Sound"));
    EXPECT_EQ(reg.ReadString("Path"), "C:\\Games\\");
    EXPECT_EQ(reg.ReadString("Folder"), "C:\\Users\\Jürgen\\日本\\");
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
    EXPECT_NE(host.Arguments()[0].find("tests_platform"), std::string::npos);
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
    EXPECT_EQ(ColorDepthWarning(control.DesktopName()),
              "Warning! This Screen Saver needs High Color (16 bits) or True Color (32 bits) to work in Preview "
              "Mode.\r\n Change the Color Depth of your Windows Desktop to run it!");

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


// The user's "screen saving is on" switch survives every run; "a saver runs" is set for the
// full-screen run only and cleared at its end.
TEST(Win32Platform, SaverRunsLeaveScreenSavingOnAndClearTheRunningFlag) {
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, 0));
    TWin32SaverSystem system;
    for (const char* mode : {"/s", "/c", "/p"}) {
        TApplication application;
        FakeRegistryStore registry;
        FakeGuard guard;
        FakeHost host;
        host.args = {"C:\\Saver\\3DTidewell.exe", mode, "0"};
        BOOL running = TRUE;
        {
            TScreenSaverApp app(application, TAppServices{host, registry, guard}, system);
            app.Loaded();
            if (std::string(mode) == "/s") {
                ASSERT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0));
                EXPECT_TRUE(running);
                ShowCursorUntilVisible(system);
            }
        }
        BOOL active = FALSE;
        ASSERT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0));
        EXPECT_TRUE(active) << mode;
        ASSERT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0));
        EXPECT_FALSE(running) << mode;
    }
}

// A log viewer may read the log while the saver writes it; a second writer may not open it.
// A folder that cannot take files sends the log to the user's own application data.
TEST(Win32Platform, LogFileSharingAndItsFolder) {
    const std::string dir = TemporaryDirectory();
    const std::string path = dir + "tidewell-share-" + std::to_string(GetCurrentProcessId()) + ".log";
    {
        TLogFile log(OpenLogStream, path);
        log.WriteLine("first");
        const HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
        const HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(reader, INVALID_HANDLE_VALUE);
        char text[8] = {};
        DWORD read = 0;
        EXPECT_TRUE(ReadFile(reader, text, 7, &read, nullptr));
        EXPECT_EQ(std::string(text, read), "first\r\n");
        log.WriteLine("second");  // a reader does not stop the writer
        CloseHandle(reader);
    }
    EXPECT_TRUE(DeleteFileA(path.c_str()));

    EXPECT_EQ(WritableDirectoryFor(dir, "C:\\unused\\"), dir);
    const std::string local = dir + "tidewell-local-" + std::to_string(GetCurrentProcessId()) + "\\";
    ASSERT_TRUE(CreateDirectoryA(local.c_str(), nullptr));
    const std::string own = WritableDirectoryFor("C:\\no such tidewell folder\\", local);
    EXPECT_EQ(own, local + "3D Tidewell\\");
    const DWORD attributes = GetFileAttributesA(own.c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    // The probe leaves nothing behind in a folder it could write.
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((dir + "~tidewell*").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    RemoveDirectoryA(own.c_str());
    RemoveDirectoryA(local.c_str());
    EXPECT_EQ(LocalAppDataDirectory().back(), '\\');
}

// A folder name outside the ANSI code page: the log, a profile file, a plain file read and the
// log's own folder all reach the same folder, under the same name.
TEST(Win32Platform, PathsOutsideTheAnsiCodePage) {
    const std::string dir = TemporaryDirectory() + "Jürgen 日本 " +
                            std::to_string(GetCurrentProcessId()) + "\\";
    ASSERT_TRUE(CreateDirectoryW(WideText(dir).c_str(), nullptr));
    {
        TLogFile log(OpenLogStream, dir + "3DTidewell.log");
        log.WriteLine("line");
    }
    EXPECT_EQ(ReadFileBytes(dir + "3DTidewell.log").substr(0, 6), "line\r\n");
    const std::string ini = dir + "3DTidewell.ini";
    const std::string text = "[General]\r\nLog=1\r\n";
    const HANDLE file = CreateFileW(WideText(ini).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    const auto profile = OpenProfileFile(ini);
    ASSERT_NE(profile, nullptr);
    EXPECT_EQ(profile->Read("General", "Log"), "1");
    EXPECT_EQ(OpenProfileFile(dir + "none.ini"), nullptr);
    // A user's own application data folder under such a name takes the log's folder.
    const std::string own = WritableDirectoryFor("C:\\no such tidewell folder\\", dir);
    EXPECT_EQ(own, dir + "3D Tidewell\\");
    EXPECT_TRUE(RemoveDirectoryW(WideText(own).c_str()));
    for (const char* name : {"3DTidewell.log", "3DTidewell.ini"}) EXPECT_TRUE(DeleteFileW(WideText(dir + name).c_str()));
    EXPECT_TRUE(RemoveDirectoryW(WideText(dir).c_str()));
}

}  // namespace
