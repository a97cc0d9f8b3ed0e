#pragma once
// The display control: the display modes grouped by colour depth for the settings dialog, the
// chosen full-screen mode, and the switch into it and back, with events around every change.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "display/video_modes.h"

class TScreenMode {
public:
    TScreenMode() = default;
    TScreenMode(std::int32_t width, std::int32_t height, std::int32_t colorDepth);

    std::int32_t ColorDepth = 0;
    // Width in the high 16 bits, height in the low 16 bits.
    std::int32_t ScreenSize = 0;

    std::int32_t Width() const { return static_cast<std::int32_t>(static_cast<std::uint32_t>(ScreenSize) >> 16); }
    std::int32_t Height() const { return static_cast<std::int32_t>(static_cast<std::uint32_t>(ScreenSize) & 0xFFFFu); }
    void SetWidth(std::int32_t width);
    void SetHeight(std::int32_t height);
    // Copies ColorDepth and ScreenSize.
    void Assign(const TScreenMode& source) {
        ColorDepth = source.ColorDepth;
        ScreenSize = source.ScreenSize;
    }
};

class TScreenModes {
public:
    int Count() const { return static_cast<int>(modes_.size()); }
    TScreenMode& Items(int i) { return *modes_.at(static_cast<std::size_t>(i)); }
    void Clear() { modes_.clear(); }
    int IndexOf(std::int32_t width, std::int32_t height, std::int32_t depth) const;
    void Add(std::int32_t width, std::int32_t height, std::int32_t depth);

private:
    std::vector<std::unique_ptr<TScreenMode>> modes_;
};

class TColorDepthMode {
public:
    explicit TColorDepthMode(std::int32_t colorDepth) : ColorDepth(colorDepth) {}
    const std::int32_t ColorDepth;
    TScreenModes ScreenModes;
};

class TColorDepthModes {
public:
    int Count() const { return static_cast<int>(depths_.size()); }
    TColorDepthMode& Items(int i) { return *depths_.at(static_cast<std::size_t>(i)); }
    void Clear() { depths_.clear(); }
    int IndexOf(std::int32_t depth) const;
    // The index of the depth's group, appended when new.
    int Add(std::int32_t depth);

private:
    std::vector<std::unique_ptr<TColorDepthMode>> depths_;
};

using TVideoModeEnumEvent = std::function<void(std::int32_t colorDepth, std::int32_t width, std::int32_t height, bool& accept)>;

class TDisplayControl {
public:
    explicit TDisplayControl(IDisplayModeDriver& driver);
    ~TDisplayControl();
    TDisplayControl(const TDisplayControl&) = delete;
    TDisplayControl& operator=(const TDisplayControl&) = delete;

    bool AutoEnumerate = false;
    std::function<void()> OnBeforeChange;
    std::function<void()> OnAfterChange;
    TVideoModeEnumEvent OnEnumerate;

    // After the owner has set the stored properties: enumerates when AutoEnumerate.
    void PropertiesLoaded();
    void Enumerate();

    bool FullScreen() const { return fullScreen_; }
    void SetFullScreen(bool value);
    const TScreenMode& FullScreenMode() const { return *fullScreenMode_; }
    void SetFullScreenMode(const TScreenMode& mode);
    // The mode from before the first switch.
    const TScreenMode& DesktopMode();
    const TScreenMode& CurrentMode() { return fullScreen_ ? *fullScreenMode_ : DesktopMode(); }

    bool ChangeMode(std::int32_t width, std::int32_t height, std::int32_t depth);
    void RestoreMode();

    TVideoModesList& VideoModes() { return *videoModes_; }
    TColorDepthModes& ColorDepthModes() { return *colorDepthModes_; }
    std::string DesktopName() const { return driver_.DesktopName(); }

private:
    IDisplayModeDriver& driver_;
    std::unique_ptr<TVideoModesList> videoModes_;
    std::unique_ptr<TColorDepthModes> colorDepthModes_;
    bool fullScreen_ = false;
    std::unique_ptr<TScreenMode> desktopMode_;
    std::unique_ptr<TScreenMode> fullScreenMode_;
};
