#include "platform/x11/xrandr_driver.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

#include <cstring>

TXRandrDriver::TXRandrDriver(const std::string& displayName) {
    display_ = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (!display_) return;
    int eventBase = 0, errorBase = 0;
    randr_ = XRRQueryExtension(display_, &eventBase, &errorBase) != 0 && !XWayland(display_);
}

// XWayland's RandR sizes are make-believe: the compositor keeps the output's mode and shows a
// switched screen as a small picture in a corner, so its current mode is the only one there.
// Newer servers have an extension of that name; all of them name their outputs XWAYLAND<n>.
bool TXRandrDriver::XWayland(_XDisplay* display) {
    int opcode = 0, eventBase = 0, errorBase = 0;
    if (XQueryExtension(display, "XWAYLAND", &opcode, &eventBase, &errorBase)) return true;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    if (!resources) return false;
    bool found = false;
    for (int i = 0; i < resources->noutput && !found; ++i) {
        if (XRROutputInfo* output = XRRGetOutputInfo(display, resources, resources->outputs[i])) {
            found = output->name && std::strncmp(output->name, "XWAYLAND", 8) == 0;
            XRRFreeOutputInfo(output);
        }
    }
    XRRFreeScreenResources(resources);
    return found;
}

TXRandrDriver::~TXRandrDriver() {
    if (!display_) return;
    if (originalSize_ >= 0) SetSize(originalSize_);
    XCloseDisplay(display_);
}

int TXRandrDriver::BitsPerPixel() {
    const int depth = DefaultDepth(display_, DefaultScreen(display_));
    int count = 0;
    int bits = depth;
    if (XPixmapFormatValues* formats = XListPixmapFormats(display_, &count)) {
        for (int i = 0; i < count; ++i)
            if (formats[i].depth == depth) bits = formats[i].bits_per_pixel;
        XFree(formats);
    }
    return bits;
}

std::vector<TXRandrDriver::Size> TXRandrDriver::Sizes() {
    std::vector<Size> sizes;
    if (randr_) {
        int count = 0;
        if (XRRScreenSize* list = XRRSizes(display_, DefaultScreen(display_), &count))
            for (int i = 0; i < count; ++i) sizes.push_back({list[i].width, list[i].height});
    }
    return sizes;
}

TVideoMode TXRandrDriver::ScreenMode() {
    if (!display_) return {};
    const int screen = DefaultScreen(display_);
    return {DisplayWidth(display_, screen), DisplayHeight(display_, screen), BitsPerPixel()};
}

bool TXRandrDriver::EnumSettings(std::uint32_t index, TModeRecord& record) {
    if (!display_) return false;
    const auto sizes = Sizes();
    const int bits = BitsPerPixel();
    record.Fields = kModeFields;
    record.BitsPerPel = bits;
    if (sizes.empty()) {
        if (index != 0) return false;
        const auto current = ScreenMode();
        record.PelsWidth = current.Width;
        record.PelsHeight = current.Height;
        return true;
    }
    if (index >= sizes.size()) return false;
    record.PelsWidth = sizes[index].width;
    record.PelsHeight = sizes[index].height;
    return true;
}

bool TXRandrDriver::SetSize(int index) {
    XRRScreenConfiguration* config = XRRGetScreenInfo(display_, DefaultRootWindow(display_));
    if (!config) return false;
    Rotation rotation = 0;
    const SizeID current = XRRConfigCurrentConfiguration(config, &rotation);
    if (originalSize_ < 0) {
        originalSize_ = current;
        originalRotation_ = rotation;
    }
    Status status = RRSetConfigSuccess;
    if (current != index) {
        const Rotation wanted = index == originalSize_ ? originalRotation_ : rotation;
        status = XRRSetScreenConfig(display_, config, DefaultRootWindow(display_), static_cast<SizeID>(index), wanted,
                                    CurrentTime);
    }
    XRRFreeScreenConfigInfo(config);
    XSync(display_, False);
    return status == RRSetConfigSuccess;
}

std::int32_t TXRandrDriver::ChangeSettings(const TModeRecord* record, std::uint32_t flags) {
    if (!display_) return kDispChangeBadMode;
    if (!record) {
        if (originalSize_ >= 0 && SetSize(originalSize_)) originalSize_ = -1;
        return kDispChangeSuccessful;
    }
    if (record->BitsPerPel != BitsPerPixel()) return kDispChangeBadMode;
    const auto sizes = Sizes();
    if (sizes.empty()) {
        const auto current = ScreenMode();
        return record->PelsWidth == current.Width && record->PelsHeight == current.Height ? kDispChangeSuccessful
                                                                                          : kDispChangeBadMode;
    }
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        if (sizes[i].width != record->PelsWidth || sizes[i].height != record->PelsHeight) continue;
        if (flags & kCdsTest) return kDispChangeSuccessful;
        return SetSize(static_cast<int>(i)) ? kDispChangeSuccessful : -1;
    }
    return kDispChangeBadMode;
}
