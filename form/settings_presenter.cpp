#include "form/settings_presenter.h"

#include <algorithm>
#include <fstream>

#include "app/exception.h"
#include "app/message_loop.h"
#include "app/utf8_path.h"
#include "form/dialog_layout.h"
#include "scene/frame_rate.h"
#include "scene/scene_settings.h"

namespace {

std::string DepthText(std::int32_t depth) { return std::to_string(depth) + " bits"; }

std::string SizeText(std::int32_t width, std::int32_t height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

int IndexOf(const std::vector<std::string>& items, const std::string& text) {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == text) return static_cast<int>(i);
    return -1;
}

}  // namespace

std::vector<std::int32_t> IdleTimeChoices(std::int32_t stored) {
    std::vector<std::int32_t> choices{1, 2, 3, 5, 10, 15, 20, 30, 45, 60, 90, 120};
    const auto at = std::lower_bound(choices.begin(), choices.end(), stored);
    if (stored >= kIdleMinutesMin && stored <= kIdleMinutesMax && (at == choices.end() || *at != stored))
        choices.insert(at, stored);
    return choices;
}

std::string IdleTimeText(std::int32_t minutes) { return std::to_string(minutes) + " min"; }

TSettingsPresenter::TSettingsPresenter(TSettingsPresenterServices services, TScreenSaverApp& saver,
                                       TDisplayControl& display, IAquarium& aquarium, TSaverOptions& options,
                                       TSound& sound, TSaverRun& run)
    : services_(std::move(services)),
      saver_(saver),
      display_(display),
      aquarium_(aquarium),
      options_(options),
      sound_(sound),
      run_(run) {}

void TSettingsPresenter::Start() {
    FillDepthList();
    FillResolutionList(display_.FullScreenMode().ColorDepth);
    OptionsToControls();
    // Asked once: the wallpaper's box stays as the user left it, only greyed, with the reason.
    if (const std::string why = services_.WallpaperUnavailable ? services_.WallpaperUnavailable() : ""; !why.empty()) {
        view_->SetEnabled(TDialogControl::CheckBoxWallpaperSessionStart, false);
        view_->SetHint(TDialogControl::CheckBoxWallpaperSessionStart, why);
    }
    StartDialogPreview();
}

void TSettingsPresenter::ShowDialog(const std::string& caption) {
    if (view_ || !services_.MakeSettingsView) return;
    view_ = services_.MakeSettingsView();
    view_->SetEvents(this);
    view_->SetCaption(caption);
    // Only a handle given on the command line owns the dialog; without one it belongs to the desktop.
    const std::intptr_t owner = ReadParentHandle(services_.Host.Arguments(), 0);
    view_->Show(saver_.Needs().DialogOwnedByParent ? owner : 0);
    if (saver_.Needs().EndsOnQuitSignal) services_.Windows.WatchQuitSignals([this] { Quit(); });
}

void TSettingsPresenter::Quit() {
    if (!fullScreenPreview_) {
        services_.Close();
        return;
    }
    quitAfterPreview_ = true;
    run_.Input().Quit();
}

std::vector<std::string>& TSettingsPresenter::ListItems(TDialogControl list) {
    return list == TDialogControl::ComboBoxDepth ? depthItems_ : resolutionItems_;
}

void TSettingsPresenter::SelectListText(TDialogControl list, const std::string& text) {
    const int index = IndexOf(ListItems(list), text);
    view_->SelectListItem(list, index >= 0 ? index : (ListItems(list).empty() ? -1 : 0));
}

void TSettingsPresenter::FillDepthList() {
    depthItems_.clear();
    auto& groups = display_.ColorDepthModes();
    for (std::int32_t i = 0; i < groups.Count(); ++i) depthItems_.push_back(DepthText(groups.Items(i).ColorDepth));
    view_->SetListItems(TDialogControl::ComboBoxDepth, depthItems_);
}

void TSettingsPresenter::FillResolutionList(std::int32_t colorDepth) {
    resolutionItems_.clear();
    auto& groups = display_.ColorDepthModes();
    const int group = groups.IndexOf(colorDepth);
    if (group >= 0) {
        auto& modes = groups.Items(group).ScreenModes;
        for (std::int32_t i = 0; i < modes.Count(); ++i)
            resolutionItems_.push_back(SizeText(modes.Items(i).Width(), modes.Items(i).Height()));
    }
    view_->SetListItems(TDialogControl::ComboBoxResolution, resolutionItems_);
}

void TSettingsPresenter::ApplyModeSelection() {
    auto& groups = display_.ColorDepthModes();
    const int group = view_->SelectedListItem(TDialogControl::ComboBoxDepth);
    if (group < 0 || group >= groups.Count()) return;
    auto& modes = groups.Items(group).ScreenModes;
    const int mode = view_->SelectedListItem(TDialogControl::ComboBoxResolution);
    if (mode < 0 || mode >= modes.Count()) return;
    TScreenMode chosen;
    chosen.Assign(modes.Items(mode));
    display_.SetFullScreenMode(chosen);
}

void TSettingsPresenter::OptionsToControls() {
    controlsReady_ = false;
    std::vector<std::string> themes{kAutoThemeItem};
    themes.insert(themes.end(), kThemeNames.begin(), kThemeNames.end());
    view_->SetListItems(TDialogControl::ComboBoxThemes, themes);
    view_->SetListItems(TDialogControl::ComboBoxMonitors, {std::begin(kMonitorItems), std::end(kMonitorItems)});
    const TSaverOptions& options = options_;
    const TScreenMode& mode = display_.FullScreenMode();
    SelectListText(TDialogControl::ComboBoxDepth, DepthText(mode.ColorDepth));
    // The resolution list always holds the sizes of the depth shown above it.
    const int group = view_->SelectedListItem(TDialogControl::ComboBoxDepth);
    auto& groups = display_.ColorDepthModes();
    FillResolutionList(group >= 0 && group < groups.Count() ? groups.Items(group).ColorDepth : mode.ColorDepth);
    SelectListText(TDialogControl::ComboBoxResolution, SizeText(mode.Width(), mode.Height()));
    view_->SetPosition(TDialogControl::TrackBarBubblesCount, options.BubbleCount);
    view_->SetText(TDialogControl::LabelBubblesCount, std::to_string(options.BubbleCount));
    view_->SetPosition(TDialogControl::TrackBarFishCount, options.FishCount);
    view_->SetText(TDialogControl::LabelFishCount, std::to_string(options.FishCount));
    view_->SelectListItem(TDialogControl::ComboBoxThemes, options.AutoTheme ? 0 : options.ThemeIndex + 1);
    view_->SelectListItem(TDialogControl::ComboBoxMonitors, options.Monitors);
    view_->SetChecked(TDialogControl::CheckBoxSound, options.SoundEnabled);
    view_->SetChecked(TDialogControl::CheckBoxDesktop, options.DesktopOnly);
    view_->SetChecked(TDialogControl::CheckBoxRunAsEXE, options.RunAsExe);
    idleChoices_ = IdleTimeChoices(options.IdleMinutes);
    std::vector<std::string> idleItems;
    for (const std::int32_t minutes : idleChoices_) idleItems.push_back(IdleTimeText(minutes));
    view_->SetListItems(TDialogControl::ComboBoxIdleTime, idleItems);
    view_->SelectListItem(TDialogControl::ComboBoxIdleTime,
                          static_cast<int>(std::find(idleChoices_.begin(), idleChoices_.end(), options.IdleMinutes) -
                                           idleChoices_.begin()));
    view_->SetChecked(TDialogControl::CheckBoxSessionStart, options.SessionStart);
    view_->SetChecked(TDialogControl::CheckBoxWallpaperSessionStart, options.WallpaperSessionStart);
    view_->SetEnabled(TDialogControl::ComboBoxDepth, !options.DesktopOnly);
    view_->SetEnabled(TDialogControl::ComboBoxResolution, !options.DesktopOnly);
    controlsReady_ = true;
}

void TSettingsPresenter::ControlChanged(TDialogControl control) {
    if (!controlsReady_ || !view_) return;
    TSaverOptions& options = options_;
    switch (control) {
        case TDialogControl::ComboBoxDepth: {
            const int shown = view_->SelectedListItem(TDialogControl::ComboBoxResolution);
            const std::string text =
                shown >= 0 && shown < static_cast<int>(resolutionItems_.size()) ? resolutionItems_[shown] : "";
            const int group = view_->SelectedListItem(TDialogControl::ComboBoxDepth);
            auto& groups = display_.ColorDepthModes();
            if (group < 0 || group >= groups.Count()) return;
            FillResolutionList(groups.Items(group).ColorDepth);
            SelectListText(TDialogControl::ComboBoxResolution, text);
            ApplyModeSelection();
            break;
        }
        case TDialogControl::ComboBoxResolution: ApplyModeSelection(); break;
        case TDialogControl::CheckBoxDesktop:
            options.DesktopOnly = view_->Checked(TDialogControl::CheckBoxDesktop);
            view_->SetEnabled(TDialogControl::ComboBoxDepth, !options.DesktopOnly);
            view_->SetEnabled(TDialogControl::ComboBoxResolution, !options.DesktopOnly);
            if (options.DesktopOnly) {
                TScreenMode desktop;
                desktop.Assign(display_.DesktopMode());
                display_.SetFullScreenMode(desktop);
                OptionsToControls();
            }
            break;
        case TDialogControl::ButtonDefault:
            services_.SetDefaults();
            OptionsToControls();
            break;
        case TDialogControl::TrackBarFishCount:
            options.FishCount = view_->Position(TDialogControl::TrackBarFishCount);
            view_->SetText(TDialogControl::LabelFishCount, std::to_string(options.FishCount));
            break;
        case TDialogControl::TrackBarBubblesCount:
            options.BubbleCount = view_->Position(TDialogControl::TrackBarBubblesCount);
            view_->SetText(TDialogControl::LabelBubblesCount, std::to_string(options.BubbleCount));
            break;
        case TDialogControl::ComboBoxThemes: {
            const int item = view_->SelectedListItem(TDialogControl::ComboBoxThemes);
            if (item == 0) {
                options.AutoTheme = true;
            } else if (item > 0 && item <= TSaverOptions::kThemeCount) {
                options.AutoTheme = false;
                options.ThemeIndex = item - 1;
            }
            break;
        }
        case TDialogControl::ComboBoxMonitors: {
            const int item = view_->SelectedListItem(TDialogControl::ComboBoxMonitors);
            if (item >= 0 && item < kMonitorChoiceCount) options.Monitors = static_cast<TMonitorChoice>(item);
            break;
        }
        case TDialogControl::CheckBoxSound: ApplySoundFromDialog(); break;
        case TDialogControl::ComboBoxIdleTime: {
            const int item = view_->SelectedListItem(TDialogControl::ComboBoxIdleTime);
            if (item >= 0 && item < static_cast<int>(idleChoices_.size())) options.IdleMinutes = idleChoices_[item];
            break;
        }
        case TDialogControl::CheckBoxSessionStart:
            options.SessionStart = view_->Checked(TDialogControl::CheckBoxSessionStart);
            break;
        case TDialogControl::CheckBoxWallpaperSessionStart:
            options.WallpaperSessionStart = view_->Checked(TDialogControl::CheckBoxWallpaperSessionStart);
            break;
        case TDialogControl::CheckBoxRunAsEXE:
            options.RunAsExe = view_->Checked(TDialogControl::CheckBoxRunAsEXE);
            // Told now, while the user can still untick it: the saver itself falls back quietly.
            if (options.RunAsExe && services_.RunAsExePath) {
                const std::string copy = services_.RunAsExePath();
                if (!std::ifstream(Utf8Path(copy), std::ios::binary).good())
                    view_->ShowMessage("Run As EXE: the program copy " + copy +
                                           " is missing, so the screen saver will run by itself.",
                                       services_.Application.Title + " Screen Saver");
            }
            break;
        case TDialogControl::ButtonOk:
            // Options the store refuses stay in the dialog: the user can mend the cause and press
            // OK again, or cancel.
            try {
                services_.SaveOptions();
                if (services_.SetSessionStart) services_.SetSessionStart(options.SessionStart);
                if (services_.SetWallpaperSessionStart) services_.SetWallpaperSessionStart(options.WallpaperSessionStart);
            } catch (const std::exception& e) {
                view_->ShowMessage(e.what(), services_.Application.Title + " Screen Saver Error!");
                break;
            }
            services_.Close();
            break;
        case TDialogControl::ButtonCancel: services_.Close(); break;
        case TDialogControl::ButtonPreview: RunFullScreenPreview(); break;
        case TDialogControl::ButtonAbout: ShowAboutBox(); break;
        case TDialogControl::ButtonHelp: OpenHelp(); break;
        case TDialogControl::LabelFishCount:
        case TDialogControl::LabelBubblesCount: break;
    }
}

void TSettingsPresenter::ApplySoundFromDialog() {
    TSaverOptions& options = options_;
    controlsReady_ = false;
    try {
        options.SoundEnabled = view_->Checked(TDialogControl::CheckBoxSound);
        sound_.ApplySound(options.SoundEnabled);
        // ApplySound switches the option off after an error it reported itself.
        if (!options.SoundEnabled) view_->SetChecked(TDialogControl::CheckBoxSound, false);
    } catch (...) {
        options.SoundEnabled = false;
        view_->SetChecked(TDialogControl::CheckBoxSound, false);
        view_->SetEnabled(TDialogControl::CheckBoxSound, false);
    }
    controlsReady_ = true;
}

void TSettingsPresenter::StartDialogPreview() {
    run_.StartDialogPreview(view_->PreviewPanel(), [this] {
        // Once per run: the user has been told, and every return from "Preview..." would repeat it.
        if (aquarium_.SoftwareRendering() && !softwareWarningShown_) {
            softwareWarningShown_ = true;
            view_->ShowMessage(kSoftwareRenderingWarning, services_.Application.Title);
        }
    });
}

void TSettingsPresenter::ShowCaption(const std::string& text) {
    if (view_ && !run_.FullScreenDrawing()) view_->SetCaption(text);
}

void TSettingsPresenter::RunFullScreenPreview() {
    if (services_.SeparatePreview) {
        RunSeparatePreview();
        return;
    }
    fullScreenPreview_ = true;
    struct TEndPreview {
        bool& flag;
        ~TEndPreview() { flag = false; }
    } endPreview{fullScreenPreview_};
    TApplication& application = services_.Application;
    try {
        run_.StartSaverWindow();
        while (run_.DrawingWindow() && run_.DrawingWindow()->Visible() && !application.Terminated())
            HandleMessage(application, services_.Windows);
    } catch (...) {
        run_.ShowHiddenCursor();
        throw;
    }
    run_.ShowHiddenCursor();
    if (quitAfterPreview_)
        services_.Close();
    else if (!application.Terminated())
        StartDialogPreview();
}

void TSettingsPresenter::RunSeparatePreview() {
    // The dialog's loop keeps running while the saver runs; a quit signal ends the dialog at once,
    // the saver then ending on the user's return as always.
    if (!services_.Launcher) return;
    TExecutePro execute(services_.Application, *services_.Launcher, &services_.Windows);
    execute.Mode = TExecMode::emProcess;
    execute.Wait = true;
    execute.DefaultDirectory = ".";  // never a folder read from the command line
    // The saver shows the dialog's choices, stored or not.
    std::string command;
    try {
        command = services_.SeparatePreview([this](IRegistryStore& store) {
            TRegistry reg(store, TRootKey::CurrentUser);
            if (!reg.OpenKey(saver_.OptionsKey(), true)) throw Exception("Preview: the options cannot be handed over.");
            WriteSaverOptions(reg, options_, display_);
        });
    } catch (const std::exception& e) {
        view_->ShowMessage(e.what(), services_.Application.Title + " Screen Saver Error!");
        return;
    }
    bool started = true;
    saver_.WithoutInstanceMarker([&] { started = execute.Execute(command); });
    if (!started)
        view_->ShowMessage("Preview: the screen saver could not be started.", services_.Application.Title + " Screen Saver Error!");
}

void TSettingsPresenter::ShowAboutBox() {
    view_->ShowAbout(MakeAboutInfo(TAboutSource{.Title = services_.Application.Title,
                                                .MajorVersion = saver_.MajorVersion,
                                                .MinorVersion = saver_.MinorVersion,
                                                .GLInfo = aquarium_.GLInfoText(),
                                                .HomePage = services_.HomePage,
                                                .HelpPagePath = [this] { return services_.Help.Path(); },
                                                .Picture = services_.DialogPicture}));
}

void TSettingsPresenter::OpenHelp() {
    // A help page that cannot be shown is no reason to end the dialog: say so and go on.
    try {
        services_.Help.Open();
    } catch (const std::exception& e) {
        view_->ShowMessage(e.what(), services_.Application.Title + " Screen Saver Error!");
    }
}
