// The settings dialog's side of the main form: filling the native view from the options, the
// control handlers, the live preview in the panel, "Preview...", the About box and the help page.
#include <cstdio>
#include <fstream>

#include "app/exception.h"
#include "app/message_loop.h"
#include "form/dialog_layout.h"
#include "scene/form_fishes.h"

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

bool FileExists(const std::string& path) { return std::ifstream(path, std::ios::binary).good(); }

}  // namespace

void TFormFishes::ShowDialog() {
    if (view_ || !services_.MakeSettingsView) return;
    view_ = services_.MakeSettingsView();
    view_->SetEvents(this);
    view_->SetCaption(Caption);
    // Only a handle given on the command line owns the dialog; without one it belongs to the desktop.
    const std::intptr_t owner = ReadParentHandle(services_.Host.Arguments(), 0);
    view_->Show(screenSaver_->SaverMode() == smSettings ? owner : 0);
}

std::vector<std::string>& TFormFishes::ListItems(TDialogControl list) {
    return list == TDialogControl::ComboBoxDepth ? depthItems_ : resolutionItems_;
}

void TFormFishes::SelectListText(TDialogControl list, const std::string& text) {
    const int index = IndexOf(ListItems(list), text);
    view_->SelectListItem(list, index >= 0 ? index : (ListItems(list).empty() ? -1 : 0));
}

void TFormFishes::FillDepthList() {
    depthItems_.clear();
    auto& groups = displayControl_->ColorDepthModes();
    for (std::int32_t i = 0; i < groups.Count(); ++i) depthItems_.push_back(DepthText(groups.Items(i).ColorDepth));
    view_->SetListItems(TDialogControl::ComboBoxDepth, depthItems_);
}

void TFormFishes::FillResolutionList(std::int32_t colorDepth) {
    resolutionItems_.clear();
    auto& groups = displayControl_->ColorDepthModes();
    const int group = groups.IndexOf(colorDepth);
    if (group >= 0) {
        auto& modes = groups.Items(group).ScreenModes;
        for (std::int32_t i = 0; i < modes.Count(); ++i)
            resolutionItems_.push_back(SizeText(modes.Items(i).Width(), modes.Items(i).Height()));
    }
    view_->SetListItems(TDialogControl::ComboBoxResolution, resolutionItems_);
}

void TFormFishes::ApplyModeSelection() {
    auto& groups = displayControl_->ColorDepthModes();
    const int group = view_->SelectedListItem(TDialogControl::ComboBoxDepth);
    if (group < 0 || group >= groups.Count()) return;
    auto& modes = groups.Items(group).ScreenModes;
    const int mode = view_->SelectedListItem(TDialogControl::ComboBoxResolution);
    if (mode < 0 || mode >= modes.Count()) return;
    TScreenMode chosen;
    chosen.Assign(modes.Items(mode));
    displayControl_->SetFullScreenMode(chosen);
}

void TFormFishes::OptionsToControls() {
    ControlsReady = false;
    std::vector<std::string> themes{kAutoThemeItem};
    themes.insert(themes.end(), kThemeNames.begin(), kThemeNames.end());
    view_->SetListItems(TDialogControl::ComboBoxThemes, themes);
    const TSaverOptions& options = services_.Aquarium.Options();
    const TScreenMode& mode = displayControl_->FullScreenMode();
    SelectListText(TDialogControl::ComboBoxDepth, DepthText(mode.ColorDepth));
    // The resolution list always holds the sizes of the depth shown above it.
    const int group = view_->SelectedListItem(TDialogControl::ComboBoxDepth);
    auto& groups = displayControl_->ColorDepthModes();
    FillResolutionList(group >= 0 && group < groups.Count() ? groups.Items(group).ColorDepth : mode.ColorDepth);
    SelectListText(TDialogControl::ComboBoxResolution, SizeText(mode.Width(), mode.Height()));
    view_->SetPosition(TDialogControl::TrackBarBubblesCount, options.BubbleCount);
    view_->SetText(TDialogControl::LabelBubblesCount, std::to_string(options.BubbleCount));
    view_->SetPosition(TDialogControl::TrackBarFishCount, options.FishCount);
    view_->SetText(TDialogControl::LabelFishCount, std::to_string(options.FishCount));
    view_->SelectListItem(TDialogControl::ComboBoxThemes, options.AutoTheme ? 0 : options.ThemeIndex + 1);
    view_->SetChecked(TDialogControl::CheckBoxSound, options.SoundEnabled);
    view_->SetChecked(TDialogControl::CheckBoxDesktop, options.DesktopOnly);
    view_->SetChecked(TDialogControl::CheckBoxRunAsEXE, options.RunAsExe);
    view_->SetEnabled(TDialogControl::ComboBoxDepth, !options.DesktopOnly);
    view_->SetEnabled(TDialogControl::ComboBoxResolution, !options.DesktopOnly);
    ControlsReady = true;
}

void TFormFishes::ControlChanged(TDialogControl control) {
    if (!ControlsReady || !view_) return;
    TSaverOptions& options = services_.Aquarium.Options();
    switch (control) {
        case TDialogControl::ComboBoxDepth: {
            const int shown = view_->SelectedListItem(TDialogControl::ComboBoxResolution);
            const std::string text =
                shown >= 0 && shown < static_cast<int>(resolutionItems_.size()) ? resolutionItems_[shown] : "";
            const int group = view_->SelectedListItem(TDialogControl::ComboBoxDepth);
            auto& groups = displayControl_->ColorDepthModes();
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
                desktop.Assign(displayControl_->DesktopMode());
                displayControl_->SetFullScreenMode(desktop);
                OptionsToControls();
            }
            break;
        case TDialogControl::ButtonDefault:
            SetDefaults();
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
        case TDialogControl::CheckBoxSound: ApplySoundFromDialog(); break;
        case TDialogControl::CheckBoxRunAsEXE: options.RunAsExe = view_->Checked(TDialogControl::CheckBoxRunAsEXE); break;
        case TDialogControl::ButtonOk:
            screenSaver_->SaveOptions();
            Close();
            break;
        case TDialogControl::ButtonCancel: Close(); break;
        case TDialogControl::ButtonPreview: RunFullScreenPreview(); break;
        case TDialogControl::ButtonAbout: ShowAboutBox(); break;
        case TDialogControl::ButtonHelp: OpenHelp(); break;
        case TDialogControl::LabelFishCount:
        case TDialogControl::LabelBubblesCount: break;
    }
}

void TFormFishes::ApplySoundFromDialog() {
    TSaverOptions& options = services_.Aquarium.Options();
    ControlsReady = false;
    try {
        options.SoundEnabled = view_->Checked(TDialogControl::CheckBoxSound);
        sound_->ApplySound(options.SoundEnabled);
        // ApplySound switches the option off after an error it reported itself.
        if (!options.SoundEnabled) view_->SetChecked(TDialogControl::CheckBoxSound, false);
    } catch (...) {
        options.SoundEnabled = false;
        view_->SetChecked(TDialogControl::CheckBoxSound, false);
        view_->SetEnabled(TDialogControl::CheckBoxSound, false);
    }
    ControlsReady = true;
}

void TFormFishes::StartDialogPreview() {
    IAquarium& aquarium = services_.Aquarium;
    aquarium.ReleaseDrawing();
    displayControl_->SetFullScreen(false);
    FullScreenDrawing = false;
    FreeDrawingWindow();

    drawingWindow_ = services_.Windows.CreateChildWindow(view_->PreviewPanel());
    if (!drawingWindow_) throw Exception("The preview window cannot be created!");
    drawingWindow_->OnPaint = [this] { services_.Aquarium.DrawFrame(); };
    drawingWindow_->Show();
    drawingSurface_ = services_.MakeDrawingWindow(*drawingWindow_);
    aquarium.InitDrawing(*drawingSurface_, false);
    // Once per run: the user has been told, and every return from "Preview..." would repeat it.
    if (aquarium.SoftwareRendering() && !softwareWarningShown_) {
        softwareWarningShown_ = true;
        view_->ShowMessage(kSoftwareRenderingWarning, services_.Application.Title);
    }
    aquarium.ResetDrawing();
    sound_->ApplySound(aquarium.Options().SoundEnabled);
}

void TFormFishes::ShowCaption(const std::string& text) {
    if (view_ && !FullScreenDrawing) view_->SetCaption(text);
}

void TFormFishes::RunFullScreenPreview() {
    fullScreenPreview_ = true;
    struct TEndPreview {
        TFormFishes& form;
        ~TEndPreview() { form.fullScreenPreview_ = false; }
    } endPreview{*this};
    TApplication& application = services_.Application;
    try {
        StartSaverWindow();
        while (drawingWindow_ && drawingWindow_->Visible() && !application.Terminated())
            HandleMessage(application, services_.Windows);
    } catch (...) {
        ShowHiddenCursor();
        throw;
    }
    ShowHiddenCursor();
    if (!application.Terminated()) StartDialogPreview();
}

void TFormFishes::ShowAboutBox() {
    const TScreenSaverApp& saver = *screenSaver_;
    const std::string product = services_.Application.Title + " Screen Saver";
    TAboutInfo about;
    about.Caption = "About " + product;
    about.ProductName = product;
    about.Version = "Version " + std::to_string(saver.MajorVersion) + "." + std::to_string(saver.MinorVersion);
    about.Comments = services_.Aquarium.GLInfoText();
    if (!services_.HomePage.empty()) {
        about.LinkText = services_.HomePage;
        about.LinkTarget = services_.HomePage;
    } else {
        // No home page is known: the link leads to the help page instead of a made-up address.
        about.LinkText = "Help and troubleshooting";
        try {
            about.LinkTarget = HelpPagePath();
        } catch (const std::exception&) {
            about.LinkText.clear();
        }
    }
    if (services_.DialogPicture) about.Picture = services_.DialogPicture();
    view_->ShowAbout(about);
}

std::string TFormFishes::HelpPagePath() {
    const std::string installed = InstallPath + kHelpFileName;
    if (FileExists(installed)) return installed;
    const std::string dir = services_.TemporaryDirectory ? services_.TemporaryDirectory() : std::string();
    const std::string page = dir + kHelpFileName;
    const std::string html = services_.HelpPage ? services_.HelpPage() : std::string();
    if (html.empty()) throw Exception("The help page is missing from the program.");
    std::ofstream out(page, std::ios::binary | std::ios::trunc);
    out << html;
    out.close();
    if (!out) throw Exception("The help page cannot be written to " + page + ".");
    return page;
}

void TFormFishes::OpenHelp() {
    // A help page that cannot be shown is no reason to end the dialog: say so and go on.
    try {
        const std::string page = HelpPagePath();
        if (!services_.OpenDocument || !services_.OpenDocument(page))
            throw Exception("The help page " + page + " cannot be opened: no program is set to open web pages.");
    } catch (const std::exception& e) {
        view_->ShowMessage(e.what(), services_.Application.Title + " Screen Saver Error!");
    }
}
