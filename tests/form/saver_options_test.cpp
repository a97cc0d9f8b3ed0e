#include <gtest/gtest.h>

#include "app/app_fakes.h"
#include "app/exception.h"
#include "app/scrambled.h"
#include "form/saver_options.h"
#include "form/settings_presenter.h"

namespace {

// A display with a fixed list of modes that accepts every listed mode.
class ListDriver final : public IDisplayModeDriver {
public:
    std::vector<TVideoMode> modes;
    TVideoMode screen{1280, 1024, 32};
    bool EnumSettings(std::uint32_t index, TModeRecord& record) override {
        if (index >= modes.size()) return false;
        record.PelsWidth = modes[index].Width;
        record.PelsHeight = modes[index].Height;
        record.BitsPerPel = modes[index].ColorDepth;
        return true;
    }
    std::int32_t ChangeSettings(const TModeRecord* record, std::uint32_t) override {
        if (!record) return kDispChangeSuccessful;
        for (const auto& m : modes)
            if (m == TVideoMode{record->PelsWidth, record->PelsHeight, record->BitsPerPel}) return kDispChangeSuccessful;
        return kDispChangeBadMode;
    }
    TVideoMode ScreenMode() override { return screen; }
};

struct OptionsRig : SaverRig {
    ListDriver driver;
    std::unique_ptr<TDisplayControl> display;
    std::unique_ptr<TScreenSaverApp> app;
    TSaverOptions options;

    explicit OptionsRig(std::vector<std::string> args = {"C:\\Saver\\3DTidewell.scr", "/s"}) {
        driver.modes = {{640, 480, 16}, {800, 600, 16}, {1280, 1024, 16}, {640, 480, 32}, {1280, 1024, 32}};
        display = std::make_unique<TDisplayControl>(driver);
        display->Enumerate();
        app = Make(std::move(args));
        app->Loaded();
    }
    FakeRegistryStore::Values& User() {
        return registry.keys[{TRootKey::CurrentUser, "Software\\Korvane Software\\3D Tidewell"}];
    }
    std::string Mode() {
        const auto& m = display->FullScreenMode();
        return std::to_string(m.Width()) + "x" + std::to_string(m.Height()) + "x" + std::to_string(m.ColorDepth);
    }
};

TEST(Scrambled, StoredComplementedAndReadBackPlain) {
    static constexpr TScrambled name("Theme");
    EXPECT_EQ(name.Text(), "Theme");
    EXPECT_EQ(static_cast<unsigned char>(name.Stored()[0]), static_cast<unsigned char>(~'T'));
}

TEST(SaverOptions, FirstRunGivesTheDefaultsAndACappedDesktopMode) {
    OptionsRig rig;
    rig.options.RunAsExe = true;
    rig.options.FishCount = 3;
    SetDefaultOptions(rig.options, *rig.display);
    LoadSaverOptions(*rig.app, rig.options, *rig.display);  // no key at all
    EXPECT_EQ(rig.options.BubbleCount, 50);
    EXPECT_EQ(rig.options.FishCount, 20);
    EXPECT_EQ(rig.options.ThemeIndex, 0);
    EXPECT_FALSE(rig.options.AutoTheme);
    EXPECT_TRUE(rig.options.SoundEnabled);
    EXPECT_FALSE(rig.options.DesktopOnly);
    EXPECT_TRUE(rig.options.RunAsExe);  // "Default" leaves it
    EXPECT_EQ(rig.options.Monitors, mcEachOwn);
    // Capped to 800x600, but the load finds that size not listed at 32 bits: the desktop size.
    EXPECT_EQ(rig.Mode(), "1280x1024x32");
    EXPECT_TRUE(rig.registry.keys.empty());  // loading never creates the key
    EXPECT_FALSE(rig.app->OptionsCached() && rig.app->OptionsRegistry().HasCurrentKey());

    OptionsRig small;
    small.driver.screen = {1024, 600, 16};  // not taller than 600: no cap
    SetDefaultOptions(small.options, *small.display);
    EXPECT_EQ(small.Mode(), "1024x600x16");
    OptionsRig big;
    big.driver.screen = {1280, 1024, 16};
    SetDefaultOptions(big.options, *big.display);
    EXPECT_EQ(big.Mode(), "800x600x16");
}

TEST(SaverOptions, SaveLoadRoundTripWithTheThemeComplement) {
    OptionsRig rig;
    SetDefaultOptions(rig.options, *rig.display);
    rig.options = {{120, 7, 2, true}, false, false, true, mcAcrossAll};
    rig.display->SetFullScreenMode(TScreenMode(640, 480, 32));
    SaveSaverOptions(*rig.app, rig.options, *rig.display);
    EXPECT_EQ(rig.User()[OptionNames::Theme()].integer, -3);
    EXPECT_EQ(rig.User()[OptionNames::Width()].integer, 640);
    EXPECT_EQ(rig.User()[OptionNames::Monitors()].integer, 1);
    EXPECT_EQ(rig.User().size(), 13u);

    OptionsRig next;
    SetDefaultOptions(next.options, *next.display);
    next.registry.keys = rig.registry.keys;
    LoadSaverOptions(*next.app, next.options, *next.display);
    EXPECT_EQ(next.options.BubbleCount, 120);
    EXPECT_EQ(next.options.FishCount, 7);
    EXPECT_TRUE(next.options.AutoTheme);
    EXPECT_EQ(next.options.ThemeIndex, 2);  // -3: Auto with Green Water
    EXPECT_FALSE(next.options.SoundEnabled);
    EXPECT_FALSE(next.options.RunAsExe);  // not the load handler's
    EXPECT_EQ(next.Mode(), "640x480x32");
    EXPECT_TRUE(ReadRunAsExe(*next.app));
    EXPECT_EQ(next.options.Monitors, mcAcrossAll);
    // A choice from a newer program reads as the default.
    next.User()[OptionNames::Monitors()] = TRegValue::Int(7);
    LoadSaverOptions(*next.app, next.options, *next.display);
    EXPECT_EQ(next.options.Monitors, mcEachOwn);

    next.User()[OptionNames::Theme()] = TRegValue::Int(-1);
    LoadSaverOptions(*next.app, next.options, *next.display);
    EXPECT_TRUE(next.options.AutoTheme);
    EXPECT_EQ(next.options.ThemeIndex, 0);
    next.User()[OptionNames::Theme()] = TRegValue::Int(1);
    LoadSaverOptions(*next.app, next.options, *next.display);
    EXPECT_FALSE(next.options.AutoTheme);
    EXPECT_EQ(next.options.ThemeIndex, 1);
}

// Each check box's value is stored from its own option: one on, the other two off, in turn.
TEST(SaverOptions, EachCheckBoxIsStoredFromItsOwnOption) {
    for (int on = 0; on < 3; ++on) {
        OptionsRig rig;
        SetDefaultOptions(rig.options, *rig.display);
        rig.options.SoundEnabled = on == 0;
        rig.options.DesktopOnly = on == 1;
        rig.options.RunAsExe = on == 2;
        SaveSaverOptions(*rig.app, rig.options, *rig.display);
        EXPECT_EQ(rig.User()[OptionNames::Sound()].integer, on == 0 ? 1 : 0);
        EXPECT_EQ(rig.User()[OptionNames::DesktopOnly()].integer, on == 1 ? 1 : 0);
        EXPECT_EQ(rig.User()[OptionNames::RunAsExe()].integer, on == 2 ? 1 : 0);
    }
}

TEST(SaverOptions, ModesTheDisplayCannotShowFallBackToTheDesktop) {
    OptionsRig rig;
    SetDefaultOptions(rig.options, *rig.display);
    auto& user = rig.User();
    user[OptionNames::ColorDepth()] = TRegValue::Int(24);  // no such group: desktop depth
    user[OptionNames::Width()] = TRegValue::Int(640);
    user[OptionNames::Height()] = TRegValue::Int(480);
    LoadSaverOptions(*rig.app, rig.options, *rig.display);
    EXPECT_EQ(rig.Mode(), "640x480x32");
    user[OptionNames::ColorDepth()] = TRegValue::Int(16);
    user[OptionNames::Width()] = TRegValue::Int(1024);  // not listed at 16 bits: desktop size
    LoadSaverOptions(*rig.app, rig.options, *rig.display);
    EXPECT_EQ(rig.Mode(), "1280x1024x16");

    // A desktop depth that no group holds either: the desktop size, no crash.
    OptionsRig odd;
    odd.driver.screen = {1024, 768, 24};
    SetDefaultOptions(odd.options, *odd.display);
    odd.User()[OptionNames::ColorDepth()] = TRegValue::Int(8);
    LoadSaverOptions(*odd.app, odd.options, *odd.display);
    EXPECT_EQ(odd.Mode(), "1024x768x24");

    // Desktop only: the desktop mode whatever is stored.
    user[OptionNames::DesktopOnly()] = TRegValue::Int(1);
    user[OptionNames::Width()] = TRegValue::Int(640);
    LoadSaverOptions(*rig.app, rig.options, *rig.display);
    EXPECT_TRUE(rig.options.DesktopOnly);
    EXPECT_EQ(rig.Mode(), "1280x1024x32");
}

TEST(SaverOptions, OutOfRangeCountsAndThemesAreBroughtIntoRangeAndBadTypesRaise) {
    OptionsRig rig;
    auto& user = rig.User();
    user[OptionNames::FishCount()] = TRegValue::Int(5000);
    user[OptionNames::BubbleCount()] = TRegValue::Int(-4);
    user[OptionNames::Theme()] = TRegValue::Int(9);
    LoadSaverOptions(*rig.app, rig.options, *rig.display);
    EXPECT_EQ(rig.options.FishCount, 100);
    EXPECT_EQ(rig.options.BubbleCount, 0);
    EXPECT_EQ(rig.options.ThemeIndex, 2);
    user[OptionNames::Theme()] = TRegValue::Int(-100);
    LoadSaverOptions(*rig.app, rig.options, *rig.display);
    EXPECT_TRUE(rig.options.AutoTheme);
    EXPECT_EQ(rig.options.ThemeIndex, 2);
    user[OptionNames::FishCount()] = TRegValue::Str("many");
    EXPECT_THROW(LoadSaverOptions(*rig.app, rig.options, *rig.display), Exception);
}

// The idle watch's time: stored and read back within 1..120 minutes; anything else (out of range,
// not a number) reads as the 10-minute default, for the dialog and for the watch alike. The
// dialog's list holds a stored value that is not one of its choices.
TEST(SaverOptions, IdleTimeWithinItsLimitsElseTheDefault) {
    OptionsRig rig;
    rig.options.IdleMinutes = 120;
    rig.options.SessionStart = true;
    SaveSaverOptions(*rig.app, rig.options, *rig.display);
    TSaverOptions loaded;
    LoadSaverOptions(*rig.app, loaded, *rig.display);
    EXPECT_EQ(loaded.IdleMinutes, 120);
    EXPECT_TRUE(loaded.SessionStart);
    EXPECT_FALSE(loaded.WallpaperSessionStart);
    rig.options.WallpaperSessionStart = true;
    SaveSaverOptions(*rig.app, rig.options, *rig.display);
    LoadSaverOptions(*rig.app, loaded, *rig.display);
    EXPECT_TRUE(loaded.WallpaperSessionStart);
    auto& user = rig.User();
    for (const auto& [stored, read] : std::vector<std::pair<TRegValue, int>>{
             {TRegValue::Int(1), 1}, {TRegValue::Int(0), 10}, {TRegValue::Int(121), 10},
             {TRegValue::Int(-5), 10}, {TRegValue::Str("7"), 10}}) {
        user[OptionNames::IdleMinutes()] = stored;
        LoadSaverOptions(*rig.app, loaded, *rig.display);
        EXPECT_EQ(loaded.IdleMinutes, read);
        EXPECT_EQ(StoredIdleMinutes(rig.registry), read);
    }
    FakeRegistryStore empty;
    EXPECT_EQ(StoredIdleMinutes(empty), 10);
    EXPECT_EQ(IdleTimeChoices(7), (std::vector<std::int32_t>{1, 2, 3, 5, 7, 10, 15, 20, 30, 45, 60, 90, 120}));
    EXPECT_EQ(IdleTimeChoices(10).size(), 12u);
    EXPECT_EQ(IdleTimeChoices(500).size(), 12u);
}

TEST(SaverOptions, AutoThemeIsStoredAtTheEndOfASaverRunOnly) {
    OptionsRig rig;
    rig.options.AutoTheme = true;
    rig.options.ThemeIndex = 1;
    StoreAutoTheme(*rig.app, rig.options);
    EXPECT_EQ(rig.User()[OptionNames::Theme()].integer, -2);
    EXPECT_EQ(rig.User().size(), 1u);

    OptionsRig dialog({"a.scr", "/c"});
    dialog.options.AutoTheme = true;
    StoreAutoTheme(*dialog.app, dialog.options);
    OptionsRig fixed;
    StoreAutoTheme(*fixed.app, fixed.options);
    EXPECT_TRUE(dialog.registry.keys.empty());
    EXPECT_TRUE(fixed.registry.keys.empty());
}

TEST(SaverOptions, InstallPathFromTheMachineKeyElseTheProgramDirectory) {
    OptionsRig rig;
    EXPECT_EQ(ReadInstallPath(*rig.app), "C:\\Saver\\");
    EXPECT_FALSE(ReadRunAsExe(*rig.app));
    rig.registry.keys[{TRootKey::LocalMachine, "Software\\Korvane Software\\3D Tidewell"}]["Path"] =
        TRegValue::Str("D:\\Apps\\Tidewell\\");
    EXPECT_EQ(ReadInstallPath(*rig.app), "D:\\Apps\\Tidewell\\");
    EXPECT_EQ(rig.registry.opens.front(), "HKLM r Software\\Korvane Software\\3D Tidewell");
}

}  // namespace
