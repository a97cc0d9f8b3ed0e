#pragma once
// Display modes on X11 through XRandR's screen sizes. X cannot change the colour depth, so
// every mode carries the screen's bits per pixel and only that depth is accepted. A server
// without RandR sizes (or XWayland, whose sizes change nothing on the outputs) lists its current
// mode only and accepts only that.
#include <string>

#include "display/video_modes.h"

struct _XDisplay;

class TXRandrDriver final : public IDisplayModeDriver {
public:
    // Opens its own connection to `displayName` (the default display when empty).
    explicit TXRandrDriver(const std::string& displayName = {});
    ~TXRandrDriver() override;
    TXRandrDriver(const TXRandrDriver&) = delete;
    TXRandrDriver& operator=(const TXRandrDriver&) = delete;

    bool EnumSettings(std::uint32_t index, TModeRecord& record) override;
    std::int32_t ChangeSettings(const TModeRecord* record, std::uint32_t flags) override;
    TVideoMode ScreenMode() override;

    bool Connected() const { return display_ != nullptr; }
    bool HasRandr() const { return randr_; }
    // Whether the server is XWayland, an X server inside a Wayland session.
    static bool XWayland(_XDisplay* display);

private:
    struct Size {
        int width, height;
    };
    std::vector<Size> Sizes();
    int BitsPerPixel();
    bool SetSize(int index);

    _XDisplay* display_ = nullptr;
    bool randr_ = false;
    int originalSize_ = -1;
    unsigned short originalRotation_ = 1;
};
