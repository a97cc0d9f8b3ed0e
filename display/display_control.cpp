#include "display/display_control.h"

TScreenMode::TScreenMode(std::int32_t width, std::int32_t height, std::int32_t colorDepth) : ColorDepth(colorDepth) {
    SetWidth(width);
    SetHeight(height);
}

void TScreenMode::SetWidth(std::int32_t width) {
    const auto size = static_cast<std::uint32_t>(ScreenSize);
    ScreenSize = static_cast<std::int32_t>((size & 0xFFFFu) | ((static_cast<std::uint32_t>(width) & 0xFFFFu) << 16));
}

void TScreenMode::SetHeight(std::int32_t height) {
    const auto size = static_cast<std::uint32_t>(ScreenSize);
    ScreenSize = static_cast<std::int32_t>((size & 0xFFFF0000u) | (static_cast<std::uint32_t>(height) & 0xFFFFu));
}

int TScreenModes::IndexOf(std::int32_t width, std::int32_t height, std::int32_t depth) const {
    for (std::size_t i = 0; i < modes_.size(); ++i) {
        const auto& m = *modes_[i];
        if (m.ColorDepth == depth && m.Width() == width && m.Height() == height) return static_cast<int>(i);
    }
    return -1;
}

void TScreenModes::Add(std::int32_t width, std::int32_t height, std::int32_t depth) {
    if (IndexOf(width, height, depth) < 0) modes_.push_back(std::make_unique<TScreenMode>(width, height, depth));
}

int TColorDepthModes::IndexOf(std::int32_t depth) const {
    for (std::size_t i = 0; i < depths_.size(); ++i)
        if (depths_[i]->ColorDepth == depth) return static_cast<int>(i);
    return -1;
}

int TColorDepthModes::Add(std::int32_t depth) {
    const int index = IndexOf(depth);
    if (index >= 0) return index;
    depths_.push_back(std::make_unique<TColorDepthMode>(depth));
    return Count() - 1;
}

TDisplayControl::TDisplayControl(IDisplayModeDriver& driver)
    : driver_(driver),
      videoModes_(std::make_unique<TVideoModesList>(driver)),
      colorDepthModes_(std::make_unique<TColorDepthModes>()),
      desktopMode_(std::make_unique<TScreenMode>()),
      fullScreenMode_(std::make_unique<TScreenMode>(640, 480, 16)) {}

TDisplayControl::~TDisplayControl() {
    desktopMode_.reset();
    fullScreenMode_.reset();
    colorDepthModes_.reset();
    videoModes_.reset();  // restores a switched display, without events
}

void TDisplayControl::PropertiesLoaded() {
    if (AutoEnumerate) Enumerate();
}

void TDisplayControl::Enumerate() {
    colorDepthModes_->Clear();
    videoModes_->Enumerate();
    for (int i = 0; i < videoModes_->Count(); ++i) {
        const auto mode = videoModes_->Items(i);
        bool accept = true;
        if (OnEnumerate) OnEnumerate(mode.ColorDepth, mode.Width, mode.Height, accept);
        if (accept)
            colorDepthModes_->Items(colorDepthModes_->Add(mode.ColorDepth)).ScreenModes.Add(mode.Width, mode.Height, mode.ColorDepth);
    }
}

const TScreenMode& TDisplayControl::DesktopMode() {
    if (desktopMode_->ColorDepth == 0) {
        const auto mode = videoModes_->GetDesktopMode();
        *desktopMode_ = TScreenMode(mode.Width, mode.Height, mode.ColorDepth);
    }
    return *desktopMode_;
}

void TDisplayControl::SetFullScreen(bool value) {
    if (value == fullScreen_) return;
    if (value)
        ChangeMode(fullScreenMode_->Width(), fullScreenMode_->Height(), fullScreenMode_->ColorDepth);
    else
        RestoreMode();
}

void TDisplayControl::SetFullScreenMode(const TScreenMode& mode) {
    fullScreenMode_->Assign(mode);
    if (fullScreen_) ChangeMode(fullScreenMode_->Width(), fullScreenMode_->Height(), fullScreenMode_->ColorDepth);
}

bool TDisplayControl::ChangeMode(std::int32_t width, std::int32_t height, std::int32_t depth) {
    if (OnBeforeChange) OnBeforeChange();
    const bool result = videoModes_->SwitchTo(width, height, depth);
    fullScreen_ = videoModes_->Switched();
    if (OnAfterChange) OnAfterChange();
    return result;
}

void TDisplayControl::RestoreMode() {
    if (OnBeforeChange) OnBeforeChange();
    videoModes_->Restore();
    fullScreen_ = videoModes_->Switched();
    if (OnAfterChange) OnAfterChange();
}
