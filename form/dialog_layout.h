#pragma once
// The settings dialog and the About box as the form lays them out: each item's kind, caption,
// hint and rectangle, and the track bars' ranges. The Win32 and the GTK view both build their
// controls from these tables, so each caption and hint is written here once. Rectangles are in
// layout units: pixels of the design font (8-point Tahoma at 96 DPI); a view multiplies them by
// its own dialog font's size against that one (TDialogUnits), so larger text grows the dialog.
// Header-only: the GTK module compiles nothing of the core.
#include <cstdint>
#include <optional>
#include <string>

#include "form/settings_view.h"

enum class TDialogItemKind : std::uint8_t {
    Label,              // a caption beside a control
    NumberLabel,        // a number under a track bar, aligned by Align, see-through
    ComboBox,           // a drop-down list
    CheckBox,
    PushButton,
    DefaultPushButton,  // the one Enter presses
    TrackBar,
    GroupBox,
    PreviewPanel,       // black and bevelled; the preview window covers its inside
};

enum class TDialogAlign : std::uint8_t { Left, Centre, Right };

struct TDialogRect {
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

// A track bar runs from 0 to Max; the keys move it by Line and Page, a tick every Tick.
struct TTrackBarRange {
    int Max = 0, Line = 1, Page = 1, Tick = 1;
};

struct TDialogItem {
    TDialogItemKind Kind = TDialogItemKind::Label;
    std::optional<TDialogControl> Control{};  // none for captions, group boxes and end labels
    const char* Name = nullptr;               // the form's name of the item, where it has one
    const char* Caption = nullptr;            // "&" marks the access key
    const char* Hint = nullptr;
    TDialogRect Group{};                      // the group it lies in; zero for the dialog itself
    TDialogRect Rect{};                       // relative to its group
    TDialogAlign Align = TDialogAlign::Left;
    TTrackBarRange Range{};
    bool WindowsOnly = false;                 // made on every system, shown on Windows only
    bool WaylandOnly = false;                 // made on every system, shown on a Wayland session only
    bool LinuxOnly = false;                   // made on every system, shown on Linux only

    // The rectangle in the dialog's client area.
    constexpr TDialogRect Placed() const { return {Group.Left + Rect.Left, Group.Top + Rect.Top, Rect.Width, Rect.Height}; }
};

// The caption without its access key marker ("&About..." shows as "About...").
inline std::string WithoutAccessKey(const char* caption) {
    std::string text;
    for (const char* c = caption ? caption : ""; *c; ++c) {
        if (*c == '&') ++c;  // "&&" stands for "&"
        if (!*c) break;
        text += *c;
    }
    return text;
}

// The access key of a caption, lower case ("&About..." has 'a'); 0 when it has none.
inline char AccessKey(const char* caption) {
    for (const char* c = caption ? caption : ""; *c; ++c) {
        if (*c != '&') continue;
        if (*++c != '&' && *c) return static_cast<char>(*c >= 'A' && *c <= 'Z' ? *c - 'A' + 'a' : *c);
        if (!*c) break;
    }
    return 0;
}

// The caption in GTK's mnemonic form: "_" marks the key, "__" is a "_".
inline std::string WithUnderscoreKey(const char* caption) {
    std::string text;
    for (const char* c = caption ? caption : ""; *c; ++c) {
        if (*c == '_') text += '_';
        if (*c == '&') {
            if (!*++c) break;
            if (*c != '&') text += '_';
        }
        text += *c;
    }
    return text;
}

// The dialog font's size against the design font's: the text "A".."Z" "a".."z" is 52 average
// characters wide (as Windows measures its dialog base units), a line as high as the font.
inline constexpr char kAverageCharSample[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
inline constexpr double kDesignCharWidth = 6.0, kDesignLineHeight = 13.0;

struct TDialogUnits {
    double X = 1.0, Y = 1.0;  // device pixels per layout unit

    // From the font's sample width (of kAverageCharSample) and line height in device pixels. A
    // font smaller than the design's keeps the design's size: the controls need their room.
    static TDialogUnits FromFont(double sampleWidth, double lineHeight) {
        const double x = sampleWidth / 52.0 / kDesignCharWidth, y = lineHeight / kDesignLineHeight;
        return {x > 1.0 ? x : 1.0, y > 1.0 ? y : 1.0};
    }
    // Rounded: a layout edge lands on the same pixel in every control that shares it.
    int Horizontal(int value) const { return static_cast<int>(value * X + (value < 0 ? -0.5 : 0.5)); }
    int Vertical(int value) const { return static_cast<int>(value * Y + (value < 0 ? -0.5 : 0.5)); }
    TDialogRect Scaled(const TDialogRect& rect) const {
        const int left = Horizontal(rect.Left), top = Vertical(rect.Top);
        return {left, top, Horizontal(rect.Left + rect.Width) - left, Vertical(rect.Top + rect.Height) - top};
    }
};

inline constexpr int kSettingsDialogWidth = 511, kSettingsDialogHeight = 387;
// The preview window covers the panel less its bevel on each side.
inline constexpr int kPreviewPanelBevel = 2;
// The themes list's first item: the theme changes with each run.
inline constexpr char kAutoThemeItem[] = "Auto";
inline constexpr char kOkCaption[] = "&OK";
// The monitors list, in the order of TMonitorChoice.
inline constexpr const char* kMonitorItems[] = {"One aquarium on each monitor", "One aquarium across all monitors",
                                                "Primary monitor only"};

namespace dialog_layout {

using K = TDialogItemKind;
using C = TDialogControl;

inline constexpr TDialogRect kVideoModes{336, 8, 165, 113};
inline constexpr TDialogRect kFishCount{336, 128, 165, 56};
inline constexpr TDialogRect kBubbleCount{336, 192, 165, 56};
inline constexpr TDialogRect kTheme{336, 256, 165, 56};
inline constexpr TDialogRect kSound{8, 256, 321, 56};
inline constexpr char kDepthHint[] = "Set 16 bits for speedup";
inline constexpr char kResolutionHint[] = "Set 640x480 for speedup";
inline constexpr char kMonitorsHint[] = "Set how the aquarium fills several monitors";
inline constexpr char kIdleTimeHint[] = "Minutes without input before the screen saver starts";

// In tab order, which follows the layout: each caption comes just before the control it names
// (a group box's before its track bar or list), so that its access key moves to that control
// and screen readers take it as the control's name. The numbers under a track bar follow it.
// Every caption of a control or of its label has an access key, none twice in the dialog.
inline constexpr TDialogItem kSettingsLayout[] = {
    {.Kind = K::PreviewPanel, .Name = "PanelPreview", .Caption = "Downloading...", .Rect = {8, 12, 320, 240}},
    {.Kind = K::GroupBox, .Name = "GroupBox1", .Caption = "Video Modes", .Rect = kVideoModes},
    {.Kind = K::Label, .Name = "Label1", .Caption = "&Color Depth", .Hint = kDepthHint,
     .Group = kVideoModes, .Rect = {8, 20, 63, 16}},
    {.Kind = K::ComboBox, .Control = C::ComboBoxDepth, .Name = "ComboBoxDepth",
     .Hint = kDepthHint, .Group = kVideoModes, .Rect = {72, 16, 85, 21}},
    {.Kind = K::Label, .Name = "Label2", .Caption = "&Resolution", .Hint = kResolutionHint,
     .Group = kVideoModes, .Rect = {14, 48, 57, 16}},
    {.Kind = K::ComboBox, .Control = C::ComboBoxResolution, .Name = "ComboBoxResolution",
     .Hint = kResolutionHint, .Group = kVideoModes, .Rect = {72, 44, 85, 21}},
    {.Kind = K::CheckBox, .Control = C::CheckBoxDesktop, .Name = "CheckBoxDesktop",
     .Caption = "&Desktop Only", .Hint = "Set Color Depth and Resolution from Desktop", .Group = kVideoModes,
     .Rect = {6, 72, 89, 17}},
    {.Kind = K::PushButton, .Control = C::ButtonDefault, .Name = "ButtonDefault",
     .Caption = "D&efault", .Group = kVideoModes, .Rect = {97, 85, 60, 20}},
    {.Kind = K::CheckBox, .Control = C::CheckBoxRunAsEXE, .Name = "CheckBoxRunAsEXE",
     .Caption = "Run As E&XE", .Hint = "Enable If Screen Saver runs without Acceleration", .Group = kVideoModes,
     .Rect = {6, 90, 83, 17}, .WindowsOnly = true},  // the hand-over of a ".SCR" to its ".exe" copy
    {.Kind = K::GroupBox, .Name = "GroupBox2", .Caption = "&Fish Count", .Rect = kFishCount},
    {.Kind = K::TrackBar, .Control = C::TrackBarFishCount, .Name = "TrackBarFishCount",
     .Group = kFishCount, .Rect = {8, 24, 145, 18}, .Range = {.Max = 100, .Line = 1, .Page = 5, .Tick = 5}},
    {.Kind = K::NumberLabel, .Caption = "0", .Group = kFishCount, .Rect = {10, 42, 16, 13}},
    {.Kind = K::NumberLabel, .Control = C::LabelFishCount, .Name = "LabelFishCount",
     .Group = kFishCount, .Rect = {62, 42, 41, 13}, .Align = TDialogAlign::Centre},
    {.Kind = K::NumberLabel, .Caption = "100", .Group = kFishCount, .Rect = {125, 42, 30, 13},
     .Align = TDialogAlign::Right},
    {.Kind = K::GroupBox, .Name = "GroupBox3", .Caption = "&Bubble Count", .Rect = kBubbleCount},
    {.Kind = K::TrackBar, .Control = C::TrackBarBubblesCount, .Name = "TrackBarBubblesCount",
     .Group = kBubbleCount, .Rect = {8, 24, 145, 18}, .Range = {.Max = 200, .Line = 5, .Page = 20, .Tick = 10}},
    {.Kind = K::NumberLabel, .Caption = "0", .Group = kBubbleCount, .Rect = {10, 42, 16, 13}},
    {.Kind = K::NumberLabel, .Control = C::LabelBubblesCount, .Name = "LabelBubblesCount",
     .Group = kBubbleCount, .Rect = {62, 42, 41, 13}, .Align = TDialogAlign::Centre},
    {.Kind = K::NumberLabel, .Caption = "200", .Group = kBubbleCount, .Rect = {125, 42, 30, 13},
     .Align = TDialogAlign::Right},
    {.Kind = K::GroupBox, .Name = "GroupBox4", .Caption = "&Theme", .Rect = kTheme},
    {.Kind = K::ComboBox, .Control = C::ComboBoxThemes, .Name = "ComboBoxThemes",
     .Hint = "Change Underwater Background", .Group = kTheme, .Rect = {12, 22, 145, 21}},
    {.Kind = K::GroupBox, .Name = "GroupBox5", .Caption = "Sound", .Rect = kSound},
    {.Kind = K::CheckBox, .Control = C::CheckBoxSound, .Name = "CheckBoxSound",
     .Caption = "Enable &Sound", .Group = kSound, .Rect = {12, 24, 97, 17}},
    // The idle watch's (Wayland sessions have no xscreensaver to start the saver).
    {.Kind = K::CheckBox, .Control = C::CheckBoxSessionStart, .Name = "CheckBoxSessionStart",
     .Caption = "Start &with my session", .Hint = "Start the screen saver when the session is idle, from every login on",
     .Group = kSound, .Rect = {124, 12, 150, 17}, .WaylandOnly = true},
    {.Kind = K::Label, .Name = "LabelIdleTime", .Caption = "&Idle time:", .Hint = kIdleTimeHint, .Group = kSound,
     .Rect = {124, 35, 50, 16}, .WaylandOnly = true},
    {.Kind = K::ComboBox, .Control = C::ComboBoxIdleTime, .Name = "ComboBoxIdleTime", .Hint = kIdleTimeHint,
     .Group = kSound, .Rect = {176, 31, 72, 21}, .WaylandOnly = true},
    // Under the theme, beside the monitors list: the live wallpaper's (X11 and Wayland sessions).
    {.Kind = K::CheckBox, .Control = C::CheckBoxWallpaperSessionStart, .Name = "CheckBoxWallpaperSessionStart",
     .Caption = "Wa&llpaper with my session", .Hint = "Show the aquarium as the desktop background, from every login on",
     .Rect = {342, 322, 159, 17}, .LinuxOnly = true},
    {.Kind = K::Label, .Name = "LabelMonitors", .Caption = "&Monitors:", .Hint = kMonitorsHint, .Rect = {8, 324, 60, 16}},
    {.Kind = K::ComboBox, .Control = C::ComboBoxMonitors, .Name = "ComboBoxMonitors", .Hint = kMonitorsHint,
     .Rect = {72, 320, 257, 21}},
    {.Kind = K::PushButton, .Control = C::ButtonPreview, .Name = "ButtonPreview",
     .Caption = "&Preview...", .Rect = {8, 352, 75, 25}},
    {.Kind = K::PushButton, .Control = C::ButtonAbout, .Name = "ButtonAbout",
     .Caption = "&About...", .Rect = {176, 352, 75, 25}},
    {.Kind = K::PushButton, .Control = C::ButtonHelp, .Name = "ButtonHelp",
     .Caption = "&Help...", .Rect = {260, 352, 75, 25}},
    {.Kind = K::DefaultPushButton, .Control = C::ButtonOk, .Name = "ButtonOk",
     .Caption = kOkCaption, .Rect = {344, 352, 75, 25}},
    {.Kind = K::PushButton, .Control = C::ButtonCancel, .Name = "ButtonCancel",
     .Caption = "Ca&ncel", .Rect = {428, 352, 75, 25}},
};

// The caption that names a control without its own (a list's label, a track bar's group), or
// null: the item just before it in the table, as the tab order has it.
inline const char* LabelOf(TDialogControl control) {
    const TDialogItem* previous = nullptr;
    for (const TDialogItem& item : kSettingsLayout) {
        if (item.Control == control)
            return !item.Caption && previous && (previous->Kind == K::Label || previous->Kind == K::GroupBox) ? previous->Caption
                                                                                                             : nullptr;
        previous = &item;
    }
    return nullptr;
}

}  // namespace dialog_layout

using dialog_layout::kSettingsLayout;
using dialog_layout::LabelOf;

// The About box: its parts' rectangles; the texts but OK's come from TAboutInfo.
struct TAboutLayout {
    int Width = 414, Height = 279;
    TDialogRect Logo{8, 18, 154, 114};      // an etched frame around the picture
    TDialogRect Picture{10, 21, 150, 110};
    TDialogRect ProductName{168, 8, 229, 16};
    TDialogRect Version{172, 24, 225, 16};
    TDialogRect Link{168, 76, 241, 16};     // at most this wide: only its text takes the click
    TDialogRect Comments{168, 100, 241, 46};
    TDialogRect Line{8, 148, 397, 13};      // an etched line along its top
    TDialogRect OkButton{319, 240, 75, 25};
    const char* OkCaption = kOkCaption;
};
inline constexpr TAboutLayout kAboutLayout;
