#pragma once
// The full-screen display modes the primary display accepts, the desktop's own mode, and
// temporary switches between them, over the platform's display-settings calls.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TVideoMode {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t ColorDepth = 0;

    bool operator==(const TVideoMode&) const = default;
};

constexpr std::uint32_t kDmBitsPerPel = 0x00040000;
constexpr std::uint32_t kDmPelsWidth = 0x00080000;
constexpr std::uint32_t kDmPelsHeight = 0x00100000;
constexpr std::uint32_t kModeFields = kDmBitsPerPel | kDmPelsWidth | kDmPelsHeight;
constexpr std::uint32_t kCdsTest = 2;
constexpr std::uint32_t kCdsFullScreen = 4;
constexpr std::int32_t kDispChangeSuccessful = 0;
constexpr std::int32_t kDispChangeBadMode = -2;

// A mode record as the driver fills or takes it. The platform keeps the rest of its own record
// (refresh rate, flags...) in Native, so a record offered back carries what enumeration gave.
struct TModeRecord {
    std::uint32_t Fields = 0;
    std::int32_t BitsPerPel = 0;
    std::int32_t PelsWidth = 0;
    std::int32_t PelsHeight = 0;
    std::vector<std::uint8_t> Native;
};

class IDisplayModeDriver {
public:
    virtual ~IDisplayModeDriver() = default;
    // Fills record with mode number `index` of the primary display; false past the last one.
    virtual bool EnumSettings(std::uint32_t index, TModeRecord& record) = 0;
    // Tests or enters a mode (flags kCdsTest, kCdsFullScreen); a null record returns to the
    // mode stored for the display. Returns a DISP_CHANGE_ code.
    virtual std::int32_t ChangeSettings(const TModeRecord* record, std::uint32_t flags) = 0;
    // The screen's current size and bits per pixel.
    virtual TVideoMode ScreenMode() = 0;
    // What the user calls the desktop whose colour depth this driver reports, for messages.
    virtual std::string DesktopName() const { return "desktop"; }
};

class TVideoModesList {
public:
    explicit TVideoModesList(IDisplayModeDriver& driver) : driver_(driver) {}
    ~TVideoModesList();
    TVideoModesList(const TVideoModesList&) = delete;
    TVideoModesList& operator=(const TVideoModesList&) = delete;

    int Count() const { return static_cast<int>(modes_.size()); }
    TVideoMode Items(int i) const { return modes_.at(static_cast<std::size_t>(i)); }
    void Clear() { modes_.clear(); }

    void Enumerate();
    TVideoMode GetDesktopMode();
    bool SwitchTo(std::int32_t width, std::int32_t height, std::int32_t depth);
    void Restore();
    bool Switched() const { return switched_; }

    void AddMode(const TModeRecord& record);
    bool TestMode(const TModeRecord& record);

private:
    void CaptureDesktopMode();

    IDisplayModeDriver& driver_;
    TVideoMode desktopMode_;
    bool switched_ = false;
    std::vector<TVideoMode> modes_;
};
