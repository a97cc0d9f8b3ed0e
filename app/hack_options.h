#pragma once
// The program as an xscreensaver hack: the window it draws into (-window-id, the
// XSCREENSAVER_WINDOW variable or -root) and its settings as hack options. They hold for one
// run and are never stored.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/exception.h"

// A command line that cannot be run (a bad hack option, an option or argument no mode takes, a
// window id that names no window): one line saying why. The program ends with status 2.
class EHackUsage : public Exception {
public:
    using Exception::Exception;
};

struct THackOptions {
    // The window to draw into; kRootWindow for the root window.
    static constexpr std::intptr_t kRootWindow = -1;
    std::intptr_t Window = 0;
    std::optional<std::int32_t> FishCount;
    std::optional<std::int32_t> BubbleCount;
    // 0 blue, 1 aquamarine, 2 green, -1 auto.
    std::optional<std::int32_t> Theme;
    // Hacks are silent unless asked, as xscreensaver's are: the stored option does not count here.
    bool Sound = false;
    bool ShowFps = false;
    // -delay: the shortest time from one frame to the next, in microseconds, as xscreensaver's
    // hacks take it (-maxfps N gives 1000000 / N); 0 leaves the display's refresh as the only
    // limit. Its default is the one xscreensaver's settings panel shows: 30 frames a second.
    static constexpr std::int32_t kDefaultFrameDelay = 33333;
    static constexpr std::int32_t kMaxFrameDelay = 1000000;
    std::int32_t FrameDelay = kDefaultFrameDelay;
    // Frames a second at most; 0 for no limit of the hack's own.
    double FrameRateLimit() const { return FrameDelay > 0 ? 1e6 / FrameDelay : 0; }
};

// True when the first argument is a hack option (one dash or two), or when there is none and
// xscreensaver gave a window through XSCREENSAVER_WINDOW.
bool IsHackCommandLine(const std::vector<std::string>& args, const std::optional<std::string>& windowVariable);

// The options after argument 0. The window: -window-id first, then the variable, then -root.
// Raises EHackUsage on an unknown option, a missing or bad value, or no window at all.
THackOptions ParseHackOptions(const std::vector<std::string>& args, const std::optional<std::string>& windowVariable);

// What a command line asks of the program before any window: --help and -h, --version, or the
// run its mode gives.
enum class TProgramRequest { Run, Help, Version };
TProgramRequest ReadProgramRequest(const std::vector<std::string>& args);
// The modes, the hack options and the files, for --help.
std::string UsageText(const std::string& program);

// A window id in decimal or 0x hexadecimal, as xscreensaver writes them; nullopt otherwise.
std::optional<std::intptr_t> ParseWindowId(const std::string& text);
