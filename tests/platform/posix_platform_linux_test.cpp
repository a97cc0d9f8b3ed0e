#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/application_pro.h"
#include "app/exception.h"
#include "app/registry.h"
#include "platform/posix/autostart.h"
#include "platform/posix/file_options_store.h"
#include "platform/posix/flock_guard.h"
#include "platform/posix/posix_host.h"
#include "platform/services.h"

namespace {

namespace fs = std::filesystem;

class PosixPlatform : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("tidewell-posix-" + std::to_string(getpid()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "config");
        fs::create_directories(dir / "etc");
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    fs::path dir;
};

TEST_F(PosixPlatform, OptionsRoundTripThroughAFilePerKey) {
    TFileOptionsStore store((dir / "config").string(), (dir / "etc").string());
    const std::string key = "Software\\Korvane Software\\3D Tidewell";
    EXPECT_EQ(store.KeyFile(TRootKey::CurrentUser, key), (dir / "config" / "Korvane Software" / "3D Tidewell.conf").string());
    {
        TRegistry reg(store, TRootKey::CurrentUser);
        EXPECT_FALSE(reg.OpenKeyReadOnly(key));  // read-only never creates
        ASSERT_TRUE(reg.OpenKey(key, true));
        reg.WriteInteger("\x9D\x96\x8C\x97", -3);  // scrambled names are just bytes
        reg.WriteInteger("Fish", 2147483647);
        reg.WriteBool("Sound", true);
        reg.WriteString("Odd=name\\", "line 1\nline 2 = \\x41");
    }
    TRegistry again(store, TRootKey::CurrentUser);
    ASSERT_TRUE(again.OpenKeyReadOnly(key));
    EXPECT_EQ(again.ReadInteger("\x9D\x96\x8C\x97"), -3);
    EXPECT_EQ(again.ReadInteger("Fish"), 2147483647);
    EXPECT_TRUE(again.ReadBool("Sound"));
    EXPECT_EQ(again.ReadString("Odd=name\\"), "line 1\nline 2 = \\x41");
    EXPECT_FALSE(again.ValueExists("Missing"));
    EXPECT_THROW(again.WriteInteger("Fish", 1), Exception);
    // Only the final file is left: the temporary one was renamed over it.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "config" / "Korvane Software"), fs::directory_iterator()), 1);

    // The machine-wide root is read-only; a path that would leave the root names no file.
    TRegistry machine(store, TRootKey::LocalMachine);
    EXPECT_FALSE(machine.OpenKey(key, true));
    fs::create_directories(dir / "etc" / "Korvane Software");
    std::ofstream(dir / "etc" / "Korvane Software" / "3D Tidewell.conf") << "Path=str:/opt/tidewell/\n";
    ASSERT_TRUE(machine.OpenKeyReadOnly(key));
    EXPECT_EQ(machine.ReadString("Path"), "/opt/tidewell/");
    EXPECT_EQ(store.KeyFile(TRootKey::CurrentUser, "Software\\..\\x"), "");
    EXPECT_FALSE(machine.OpenKeyReadOnly("Software\\..\\..\\etc\\passwd"));
}

TEST_F(PosixPlatform, ABrokenOptionsFileIsAClearErrorAndIsNeverOverwritten) {
    TFileOptionsStore store((dir / "config").string(), (dir / "etc").string());
    const auto file = dir / "config" / "T.conf";
    const std::string broken = "Fish=int:20\nBubbles=int:lots\n";
    std::ofstream(file) << broken;
    TRegistry reg(store, TRootKey::CurrentUser);
    ASSERT_TRUE(reg.OpenKey("Software\\T", true));
    try {
        reg.ValueExists("Fish");
        ADD_FAILURE();
    } catch (const Exception& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find(file.string()), std::string::npos) << message;
        EXPECT_NE(message.find("line 2"), std::string::npos) << message;
    }
    EXPECT_THROW(reg.WriteInteger("Fish", 5), Exception);
    EXPECT_EQ(Read(file), broken);
    for (const char* text : {"no equals\n", "A=float:1\n", "A=int:99999999999\n", "A=str:\\q\n", "A\\x4=int:1\n"}) {
        std::ofstream(file, std::ios::trunc) << text;
        EXPECT_THROW(reg.ReadString("A"), Exception) << text;
    }
}

// A file taken for missing would be replaced by the defaults on the next save.
TEST_F(PosixPlatform, AnOptionsFileThatCannotBeReadIsAClearErrorAndIsNeverOverwritten) {
    TFileOptionsStore store((dir / "config").string(), (dir / "etc").string());
    const auto file = dir / "config" / "T.conf";
    const auto refused = [&](const std::string& why) {
        TRegistry reg(store, TRootKey::CurrentUser);
        ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\T")) << why;
        try {
            reg.ValueExists("Fish");
            ADD_FAILURE() << why;
        } catch (const Exception& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(file.string()), std::string::npos) << message;
            EXPECT_NE(message.find(why), std::string::npos) << message;
        }
        ASSERT_TRUE(reg.OpenKey("Software\\T", true)) << why;
        EXPECT_THROW(reg.WriteInteger("Fish", 5), Exception) << why;
    };
    fs::create_symlink(file, file);
    refused(std::strerror(ELOOP));
    EXPECT_TRUE(fs::is_symlink(file));
    fs::remove(file);
    fs::create_directory(file);
    refused(std::strerror(EISDIR));
    EXPECT_TRUE(fs::is_directory(file));
    fs::remove(file);
    if (geteuid() != 0) {  // permissions do not stop root
        std::ofstream(file) << "Fish=int:7\n";
        fs::permissions(file, fs::perms::none);
        refused(std::strerror(EACCES));
        fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_EQ(Read(file), "Fish=int:7\n");
    }
}

TEST_F(PosixPlatform, FlockGuardIsExclusiveAcrossOpensAndProcesses) {
    TFlockGuard guard(dir.string());
    bool existed = true;
    auto first = guard.Create("3dtidewellSemaphore", existed);
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(existed);
    auto second = guard.Create("3dtidewellSemaphore", existed);
    EXPECT_TRUE(existed);
    second.reset();

    const pid_t child = fork();
    if (child == 0) {
        TFlockGuard other(dir.string());
        bool there = false;
        auto handle = other.Create("3dtidewellSemaphore", there);
        _exit(handle && there ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    first.reset();  // released: the next instance is the first again
    auto third = guard.Create("3dtidewellSemaphore", existed);
    EXPECT_FALSE(existed);
    EXPECT_EQ(guard.LockFile("a/b"), (dir / "a_b.lock").string());
}

TEST_F(PosixPlatform, HostNamesFilesAfterTheWholeProgramNameAndFallsBackToState) {
    setenv("XDG_STATE_HOME", (dir / "state").c_str(), 1);
    TPosixHost host({"3dtidewell", "/s"});
    EXPECT_TRUE(fs::path(host.Arguments()[0]).is_absolute());
    EXPECT_EQ(host.Arguments()[1], "/s");
    EXPECT_TRUE(host.DotlessNameIsBaseName());
    EXPECT_EQ(host.WritableDirectory(dir.string() + "/"), dir.string() + "/");
    const std::string state = (dir / "state" / "3dtidewell").string() + "/";
    EXPECT_EQ(host.WritableDirectory((dir / "missing").string() + "/"), state);
    EXPECT_TRUE(fs::is_directory(dir / "state" / "3dtidewell"));
    // Never a system folder, though root may write there; never a folder of another user's.
    EXPECT_EQ(host.WritableDirectory("/usr/bin/"), state);
    EXPECT_EQ(host.WritableDirectory("/"), state);
    std::string others = "/tmp/";
    if (geteuid() == 0) {
        fs::create_directory(dir / "others");
        fs::permissions(dir / "others", fs::perms::all);
        ASSERT_EQ(chown((dir / "others").c_str(), 65534, 65534), 0);
        others = (dir / "others").string() + "/";
    }
    EXPECT_EQ(host.WritableDirectory(others), state);
    const auto name = SplitProgramPath("/usr/games/3dtidewell", host.DotlessNameIsBaseName());
    EXPECT_EQ(name.baseName + ".log", "3dtidewell.log");
}

TEST_F(PosixPlatform, SceneDescriptionBesideTheProgramElseInTheUserConfig) {
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    const std::string install = dir.string() + "/";
    EXPECT_EQ(SceneDescriptionFile(install, "3dtidewell"), (dir / "config" / "3dtidewell" / "3dtidewell.ini").string());
    std::ofstream(dir / "3dtidewell.ini") << "[x]\n";
    EXPECT_EQ(SceneDescriptionFile(install, "3dtidewell"), (dir / "3dtidewell.ini").string());
}

// "Start with my session": the autostart entry is made (with its folder) and names the program,
// quoted where its path needs it; unticking removes it, and removing what is not there is no error.
// The wallpaper's entry is a file of its own beside the idle watch's.
TEST_F(PosixPlatform, AutostartEntryWrittenAndRemoved) {
    const std::string config = (dir / "config").string();
    const fs::path file = dir / "config" / "autostart" / "3dtidewell-idle-watch.desktop";
    const fs::path wallpaper = dir / "config" / "autostart" / "3dtidewell-wallpaper.desktop";
    EXPECT_EQ(AutostartFile(kIdleWatchAutostart, config), file.string());
    WriteAutostartEntry(kIdleWatchAutostart, config, "/usr/bin/3dtidewell");
    const std::string entry = Read(file);
    EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_NE(entry.find("\nType=Application\n"), std::string::npos);
    EXPECT_NE(entry.find("\nExec=/usr/bin/3dtidewell --idle-watch\n"), std::string::npos);
    WriteAutostartEntry(kIdleWatchAutostart, config, "/opt/my games/100%/3dtidewell");
    EXPECT_NE(Read(file).find("\nExec=\"/opt/my games/100%%/3dtidewell\" --idle-watch\n"), std::string::npos);
    WriteAutostartEntry(kWallpaperAutostart, config, "/opt/my games/3dtidewell");
    EXPECT_NE(Read(wallpaper).find("\nExec=\"/opt/my games/3dtidewell\" --wallpaper\n"), std::string::npos);
    EXPECT_NE(Read(wallpaper).find("\nName=3D Tidewell wallpaper\n"), std::string::npos);
    RemoveAutostartEntry(kIdleWatchAutostart, config);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(fs::exists(wallpaper));
    EXPECT_NO_THROW(RemoveAutostartEntry(kIdleWatchAutostart, config));
    RemoveAutostartEntry(kWallpaperAutostart, config);
    EXPECT_FALSE(fs::exists(wallpaper));
    // A config folder that is a file: a clear error.
    std::ofstream(dir / "blocked");
    EXPECT_THROW(WriteAutostartEntry(kWallpaperAutostart, (dir / "blocked").string(), "/usr/bin/3dtidewell"), Exception);
}

}  // namespace
