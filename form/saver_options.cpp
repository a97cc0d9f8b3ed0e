#include "form/saver_options.h"

#include <algorithm>

#include "app/scrambled.h"

namespace OptionNames {
std::string BubbleCount() { static constexpr TScrambled name("BubblesCount"); return name.Text(); }
std::string FishCount() { static constexpr TScrambled name("FishCount"); return name.Text(); }
std::string Theme() { static constexpr TScrambled name("Theme"); return name.Text(); }
std::string ColorDepth() { static constexpr TScrambled name("ColorDepth"); return name.Text(); }
std::string Width() { static constexpr TScrambled name("ScreenWidth"); return name.Text(); }
std::string Height() { static constexpr TScrambled name("ScreenHeight"); return name.Text(); }
std::string Sound() { static constexpr TScrambled name("SoundEnabled"); return name.Text(); }
std::string DesktopOnly() { static constexpr TScrambled name("DesktopOnly"); return name.Text(); }
std::string RunAsExe() { static constexpr TScrambled name("RunAsExe"); return name.Text(); }
std::string Monitors() { static constexpr TScrambled name("Monitors"); return name.Text(); }
std::string IdleMinutes() { static constexpr TScrambled name("IdleMinutes"); return name.Text(); }
std::string SessionStart() { static constexpr TScrambled name("SessionStart"); return name.Text(); }
std::string WallpaperSessionStart() { static constexpr TScrambled name("WallpaperSessionStart"); return name.Text(); }
}  // namespace OptionNames

namespace {

TScreenMode Desktop(TDisplayControl& display) {
    TScreenMode mode;
    mode.Assign(display.DesktopMode());
    return mode;
}

}  // namespace

void SetDefaultOptions(TSaverOptions& options, TDisplayControl& display) {
    TScreenMode mode = Desktop(display);
    if (mode.Width() > 800 && mode.Height() > 600) {
        mode.SetWidth(800);
        mode.SetHeight(600);
    }
    display.SetFullScreenMode(mode);
    options.DesktopOnly = false;
    options.BubbleCount = 50;
    options.FishCount = 20;
    options.ThemeIndex = 0;
    options.AutoTheme = false;
    options.SoundEnabled = true;
    options.Monitors = mcEachOwn;
    options.IdleMinutes = kIdleMinutesDefault;
}

std::int32_t IdleMinutesFrom(TRegistry& reg) {
    if (!reg.ValueExists(OptionNames::IdleMinutes())) return kIdleMinutesDefault;
    try {
        const std::int32_t minutes = reg.ReadInteger(OptionNames::IdleMinutes());
        return minutes >= kIdleMinutesMin && minutes <= kIdleMinutesMax ? minutes : kIdleMinutesDefault;
    } catch (const std::exception&) {
        return kIdleMinutesDefault;
    }
}

std::int32_t StoredIdleMinutes(IRegistryStore& store) {
    TRegistry reg(store, TRootKey::CurrentUser);
    if (!reg.OpenKeyReadOnly(std::string("Software\\") + kCompanyName + "\\3D Tidewell")) return kIdleMinutesDefault;
    return IdleMinutesFrom(reg);
}

void LoadSaverOptions(TScreenSaverApp& app, TSaverOptions& options, TDisplayControl& display) {
    TRegistry& reg = app.OptionsRegistry(TOptionsScope::UserRead);
    // Values outside what the dialog offers are brought into range: the scene sizes its
    // containers and theme tables by these limits.
    if (reg.ValueExists(OptionNames::BubbleCount()))
        options.BubbleCount = std::clamp(reg.ReadInteger(OptionNames::BubbleCount()), 0, TSaverOptions::kMaxBubbles);
    if (reg.ValueExists(OptionNames::FishCount()))
        options.FishCount = std::clamp(reg.ReadInteger(OptionNames::FishCount()), 0, TSaverOptions::kMaxFish);
    if (reg.ValueExists(OptionNames::Sound())) options.SoundEnabled = reg.ReadBool(OptionNames::Sound());
    if (reg.ValueExists(OptionNames::Theme())) {
        const std::int32_t theme = reg.ReadInteger(OptionNames::Theme());
        options.AutoTheme = theme < 0;
        options.ThemeIndex = std::clamp(theme < 0 ? ~theme : theme, 0, TSaverOptions::kThemeCount - 1);
    } else {
        options.AutoTheme = false;
    }
    if (reg.ValueExists(OptionNames::DesktopOnly())) options.DesktopOnly = reg.ReadBool(OptionNames::DesktopOnly());
    // A choice this program does not know (a newer one's) reads as the default.
    if (reg.ValueExists(OptionNames::Monitors())) {
        const std::int32_t monitors = reg.ReadInteger(OptionNames::Monitors());
        options.Monitors = monitors >= 0 && monitors < kMonitorChoiceCount ? static_cast<TMonitorChoice>(monitors) : mcEachOwn;
    }
    options.IdleMinutes = IdleMinutesFrom(reg);
    if (reg.ValueExists(OptionNames::SessionStart())) options.SessionStart = reg.ReadBool(OptionNames::SessionStart());
    if (reg.ValueExists(OptionNames::WallpaperSessionStart()))
        options.WallpaperSessionStart = reg.ReadBool(OptionNames::WallpaperSessionStart());
    if (options.DesktopOnly) {
        display.SetFullScreenMode(Desktop(display));
        return;
    }
    TScreenMode mode;
    mode.Assign(display.FullScreenMode());
    if (reg.ValueExists(OptionNames::ColorDepth())) mode.ColorDepth = reg.ReadInteger(OptionNames::ColorDepth());
    if (reg.ValueExists(OptionNames::Width())) mode.SetWidth(reg.ReadInteger(OptionNames::Width()));
    if (reg.ValueExists(OptionNames::Height())) mode.SetHeight(reg.ReadInteger(OptionNames::Height()));
    const TScreenMode& desktop = display.DesktopMode();
    auto& groups = display.ColorDepthModes();
    if (groups.IndexOf(mode.ColorDepth) < 0) mode.ColorDepth = desktop.ColorDepth;
    const int group = groups.IndexOf(mode.ColorDepth);
    // A desktop depth that is not listed either has no group to look in: the desktop size.
    if (group < 0 || groups.Items(group).ScreenModes.IndexOf(mode.Width(), mode.Height(), mode.ColorDepth) < 0) {
        mode.SetWidth(desktop.Width());
        mode.SetHeight(desktop.Height());
    }
    display.SetFullScreenMode(mode);
}

void SaveSaverOptions(TScreenSaverApp& app, const TSaverOptions& options, TDisplayControl& display) {
    WriteSaverOptions(app.OptionsRegistry(TOptionsScope::UserWrite), options, display);
}

void WriteSaverOptions(TRegistry& reg, const TSaverOptions& options, TDisplayControl& display) {
    const TScreenMode& mode = display.FullScreenMode();
    reg.WriteInteger(OptionNames::BubbleCount(), options.BubbleCount);
    reg.WriteInteger(OptionNames::FishCount(), options.FishCount);
    reg.WriteInteger(OptionNames::Theme(), options.AutoTheme ? ~options.ThemeIndex : options.ThemeIndex);
    reg.WriteInteger(OptionNames::ColorDepth(), mode.ColorDepth);
    reg.WriteInteger(OptionNames::Width(), mode.Width());
    reg.WriteInteger(OptionNames::Height(), mode.Height());
    reg.WriteBool(OptionNames::Sound(), options.SoundEnabled);
    reg.WriteBool(OptionNames::DesktopOnly(), options.DesktopOnly);
    reg.WriteBool(OptionNames::RunAsExe(), options.RunAsExe);
    reg.WriteInteger(OptionNames::Monitors(), options.Monitors);
    reg.WriteInteger(OptionNames::IdleMinutes(), options.IdleMinutes);
    reg.WriteBool(OptionNames::SessionStart(), options.SessionStart);
    reg.WriteBool(OptionNames::WallpaperSessionStart(), options.WallpaperSessionStart);
}

void StoreAutoTheme(TScreenSaverApp& app, const TSaverOptions& options) {
    if (app.Needs().Stores != TStoring::AutoThemeAtEnd || !options.AutoTheme) return;
    app.OptionsRegistry(TOptionsScope::UserWrite).WriteInteger(OptionNames::Theme(), ~options.ThemeIndex);
}

std::string ReadInstallPath(TScreenSaverApp& app) {
    TRegistry& reg = app.OptionsRegistry(TOptionsScope::MachineRead);
    static constexpr TScrambled path("Path");
    return reg.ValueExists(path.Text()) ? reg.ReadString(path.Text()) : app.ExeDir();
}

bool ReadRunAsExe(TScreenSaverApp& app) {
    TRegistry& reg = app.OptionsRegistry(TOptionsScope::UserRead);
    return reg.ValueExists(OptionNames::RunAsExe()) && reg.ReadBool(OptionNames::RunAsExe());
}

void ApplyHackOptions(const THackOptions& hack, TSaverOptions& options) {
    if (hack.FishCount) options.FishCount = *hack.FishCount;
    if (hack.BubbleCount) options.BubbleCount = *hack.BubbleCount;
    if (hack.Theme) {
        options.AutoTheme = *hack.Theme < 0;
        if (!options.AutoTheme) options.ThemeIndex = *hack.Theme;
    }
    options.SoundEnabled = hack.Sound;
    options.DesktopOnly = true;
}
