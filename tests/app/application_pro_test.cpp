#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/application_pro.h"
#include "app/exception.h"
#include "app/log_file.h"
#include "app_fakes.h"

namespace {

using Args = std::vector<std::string>;

struct FrameRig {
    TApplication application;
    FakeRegistryStore registry;
    FakeGuard guard;
    FakeHost host;
    TCustomGraphicApplicationPro frame{application, TAppServices{host, registry, guard}};
};

TEST(OptionsRegistry, KeyPathScopesAndCaching) {
    FrameRig rig;
    rig.frame.Title = "3D Tidewell";
    EXPECT_EQ(rig.frame.OptionsKey(), "Software\\3D Tidewell");
    rig.frame.Company = "Korvane Software";
    EXPECT_EQ(rig.frame.OptionsKey(), "Software\\Korvane Software\\3D Tidewell");

    TRegistry& first = rig.frame.OptionsRegistry();
    EXPECT_EQ(&first, &rig.frame.OptionsRegistry());  // cached
    EXPECT_EQ(rig.registry.opens, Args{"HKCU rw Software\\Korvane Software\\3D Tidewell"});
    first.WriteInteger("n", 5);

    rig.frame.SetReadOnlyOptions(false);  // same value: cache kept
    rig.frame.SetMachineOptions(false);
    EXPECT_TRUE(rig.frame.OptionsCached());
    rig.frame.SetMachineOptions(true);  // change: released
    EXPECT_FALSE(rig.frame.OptionsCached());
    rig.frame.SetReadOnlyOptions(true);
    TRegistry& machine = rig.frame.OptionsRegistry();
    EXPECT_EQ(machine.RootKey(), TRootKey::LocalMachine);
    // A read-only key that does not exist is not created: every value is absent.
    EXPECT_FALSE(machine.HasCurrentKey());
    EXPECT_FALSE(machine.ValueExists("Path"));
    EXPECT_EQ(machine.ReadString("Path"), "");
    EXPECT_THROW(machine.ReadInteger("Path"), Exception);
    EXPECT_EQ(rig.registry.keys.count({TRootKey::LocalMachine, "Software\\Korvane Software\\3D Tidewell"}), 0u);

    rig.frame.SetMachineOptions(false);
    TRegistry& user = rig.frame.OptionsRegistry();
    EXPECT_EQ(user.ReadInteger("n"), 5);
    EXPECT_TRUE(user.ReadOnly());
    try {
        user.WriteInteger("n", 6);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'n'");
    }
    try {
        user.ReadString("n");
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'n'");
    }
}

TEST(OptionsRegistry, LoadAndSaveReleaseTheStoreEvenWhenTheHandlerFails) {
    FrameRig rig;
    rig.frame.Title = "T";
    int loads = 0;
    rig.frame.UseOptions([&] {
        ++loads;
        rig.frame.OptionsRegistry(TOptionsScope::UserRead);
    });
    EXPECT_EQ(loads, 1);
    EXPECT_FALSE(rig.frame.OptionsCached());
    EXPECT_THROW(rig.frame.UseOptions([&] {
        rig.frame.OptionsRegistry(TOptionsScope::UserWrite).WriteBool("b", true);
        throw Exception("disk full");
    }),
                 Exception);
    EXPECT_FALSE(rig.frame.OptionsCached());
    EXPECT_EQ((rig.registry.keys[{TRootKey::CurrentUser, "Software\\T"}]["b"].integer), 1);
    // Each named scope opens its root with its access.
    rig.frame.OptionsRegistry(TOptionsScope::MachineRead);
    rig.frame.OptionsRegistry(TOptionsScope::UserRead);
    EXPECT_EQ(rig.registry.opens, (Args{"HKCU r Software\\T", "HKCU rw Software\\T", "HKLM r Software\\T",
                                        "HKCU r Software\\T"}));
}

TEST(IdleTurn, StartOnceThenContinuousIdleAndRelease) {
    FrameRig rig;
    rig.frame.Loaded();
    Args events;
    rig.frame.OnStart = [&] {
        events.push_back("start");
        rig.frame.OptionsRegistry();
    };
    rig.frame.OnIdle = [&](bool& done) {
        events.push_back(done ? "idle done" : "idle busy");
        EXPECT_TRUE(rig.frame.OptionsCached() || events.size() > 2);
        rig.frame.OptionsRegistry();
    };
    EXPECT_EQ(rig.frame.Started(), 0);
    EXPECT_FALSE(rig.application.Idle());  // never waits
    EXPECT_EQ(rig.frame.Started(), 2);
    EXPECT_FALSE(rig.frame.OptionsCached());
    EXPECT_FALSE(rig.application.Idle());
    EXPECT_EQ(events, (Args{"start", "idle busy", "idle busy"}));

    // A handler may ask the loop to wait.
    rig.frame.OnIdle = [](bool& done) { done = true; };
    EXPECT_TRUE(rig.application.Idle());
}

TEST(StopEvent, OnlyWhileTerminatingAndAtMostOncePerStart) {
    FrameRig rig;
    rig.frame.Loaded();
    int stops = 0;
    rig.frame.OnStop = [&] { ++stops; };
    rig.frame.Notification(TOperation::opRemove);  // not started, not terminating
    rig.application.Idle();
    rig.frame.Notification(TOperation::opRemove);  // started, not terminating
    EXPECT_EQ(stops, 0);
    rig.application.Terminate();
    rig.frame.Notification(TOperation::opInsert);
    EXPECT_EQ(stops, 0);
    rig.frame.Notification(TOperation::opRemove);
    rig.frame.Notification(TOperation::opRemove);
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(rig.frame.Started(), 0);
}

TEST(ExceptionHook, DetachesIdleWhileHandlingThenIdleGoesStraightToTheHandler) {
    FrameRig rig;
    rig.frame.Loaded();
    int idles = 0;
    rig.frame.OnIdle = [&](bool&) { ++idles; };
    rig.application.HandleException(Exception("dropped"));  // no handler: dropped
    std::string seen;
    rig.frame.OnException = [&](const std::exception& e) {
        seen = e.what();
        EXPECT_FALSE(rig.application.OnIdle);
    };
    rig.application.HandleException(Exception("boom"));
    EXPECT_EQ(seen, "boom");
    rig.application.Idle();
    EXPECT_EQ(idles, 1);
    EXPECT_EQ(rig.frame.Started(), 0);  // the frame's idle turn no longer runs
}

class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("tidewell-app-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string Read(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::filesystem::path dir;
};

using LogFile = TempDir;

TEST_F(LogFile, LinesThenZeroBlocks) {
    const auto path = dir / "x.log";
    {
        std::ofstream(path) << "old run";
        TLogFile log(OpenLogStream, path.string());
        log.WriteLine("first");
        log.WriteLine("second");
        const auto text = Read(path);
        ASSERT_EQ(text.size(), 16384u);
        EXPECT_EQ(text.substr(0, 15), "first\r\nsecond\r\n");
        EXPECT_EQ(text.find_first_not_of('\0', 15), std::string::npos);

        // A line that does not fit grows the file by a block from the current position.
        log.WriteLine(std::string(16384 - 15 - 2, 'a'));  // fits exactly
        EXPECT_EQ(Read(path).size(), 16384u);
        log.WriteLine("b");
        EXPECT_EQ(Read(path).size(), 16384u + 16384u);
        // Longer than a block: written whole, past the zeros.
        log.WriteLine(std::string(40000, 'c'));
        const auto big = Read(path);
        EXPECT_EQ(big.size(), 16384u + 3u + 40002u);
        EXPECT_EQ(big.substr(16384, 3), "b\r\n");
        EXPECT_EQ(big.substr(big.size() - 3), "c\r\n");
        log.WriteLine("d");
        EXPECT_EQ(Read(path).size(), 16384u + 3u + 40002u + 16384u);
    }
    // The next run empties it at its first line.
    TLogFile next(OpenLogStream, path.string());
    next.WriteLine("again");
    EXPECT_EQ(Read(path).size(), 16384u);
    EXPECT_EQ(Read(path).substr(0, 7), "again\r\n");
}

TEST_F(LogFile, FrameWritesOnlyWhenOnAndReportsAFileThatCannotBeCreated) {
    FrameRig rig;
    rig.host.args = {(dir / "3DTidewell.scr").string()};
    rig.frame.Loaded();
    rig.frame.WriteLog("off");
    EXPECT_FALSE(std::filesystem::exists(rig.frame.LogFileName()));
    rig.frame.SetLogFile(true);
    rig.frame.WriteLog("on");
    EXPECT_EQ(Read(rig.frame.LogFileName()).substr(0, 4), "on\r\n");
    rig.frame.SetLogFile(false);  // closes it
    std::filesystem::remove(rig.frame.LogFileName());
    EXPECT_FALSE(std::filesystem::exists(rig.frame.LogFileName()));

    // Debug puts exception messages into the log.
    rig.frame.SetLogFile(true);
    rig.frame.Debug = true;
    rig.application.HandleException(Exception("bad thing"));
    EXPECT_EQ(Read(rig.frame.LogFileName()).substr(0, 11), "bad thing\r\n");

    TLogFile broken(OpenLogStream, (dir / "no-such-dir" / "x.log").string());
    EXPECT_THROW(broken.WriteLine("x"), Exception);
}

}  // namespace
