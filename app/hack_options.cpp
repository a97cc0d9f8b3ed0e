#include "app/hack_options.h"

#include <cctype>
#include <cstdint>

namespace {

// "--fish" and "-fish" are the same option.
std::string OptionName(const std::string& arg) {
    if (arg.size() < 2 || arg[0] != '-') return {};
    return arg.substr(arg[1] == '-' ? 2 : 1);
}

bool KnownOption(const std::string& name) {
    for (const char* known : {"root", "window-id", "fish", "bubbles", "theme", "sound", "no-sound", "fps", "no-fps", "delay",
                             "maxfps"})
        if (name == known) return true;
    return false;
}

std::optional<std::int32_t> ParseCount(const std::string& text, std::int32_t min, std::int32_t max) {
    if (text.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > max) return std::nullopt;
    }
    if (value < min) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::optional<std::intptr_t> ParseWindowId(const std::string& text) {
    std::size_t i = 0;
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        i = 2;
    }
    if (i == text.size()) return std::nullopt;
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const int c = std::tolower(static_cast<unsigned char>(text[i]));
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return std::nullopt;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        // X resource ids have 29 bits.
        if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    if (value == 0) return std::nullopt;
    return static_cast<std::intptr_t>(value);
}

TProgramRequest ReadProgramRequest(const std::vector<std::string>& args) {
    if (args.size() < 2) return TProgramRequest::Run;
    const std::string& first = args[1];
    if (first == "--help" || first == "-h") return TProgramRequest::Help;
    if (first == "--version") return TProgramRequest::Version;
    // Every other first argument is the run modes' to judge (run_modes.h).
    return TProgramRequest::Run;
}

std::string UsageText(const std::string& program) {
    return "Usage: " + program + R"( [mode] | [hack options]
A 3D aquarium screen saver.

Modes:
  (none), --settings, /c   the settings dialog, with a live preview
  /s                       the saver, full screen, until a key, a click or a mouse move
  /p <window id>           the still picture inside that X window (decimal or 0x hex)
  --idle-watch             on a Wayland session: starts /s after the idle time the dialog
                           stores (10 minutes unless set), ends it when the user is back
  --wallpaper [--fps N] [--on-battery full|reduced]
                           the aquarium behind every window, with the stored fish, theme
                           and monitors; no input, no sound; paused while nobody can see it;
                           at most N frames a second (1..60, default 30), at most 10 on
                           battery unless --on-battery full; one per session; until SIGTERM
  --help, -h               this text
  --version                the version

Display platform (anywhere on the command line; TIDEWELL_PLATFORM=<name> too):
  --platform <name>        wayland (the default when WAYLAND_DISPLAY is set), x11 (the
                           default otherwise), or null: every mode without a window or a
                           picture, until SIGTERM (for tests)

As an xscreensaver hack (options hold for this run only):
  -root                    draw into the root window
  -window-id <id>          draw into that window (decimal or 0x hex); XSCREENSAVER_WINDOW too
  -fish N                  fish, 0..100
  -bubbles N               bubbles, 0..200
  -theme T                 blue, aquamarine, green or auto
  -sound, -no-sound        play the bubbling sound or not (silent unless -sound)
  -fps, -no-fps            the frame rate in the lower left corner
  -delay US                at least US microseconds from one frame to the next, 0..1000000
                           (default 33333: 30 frames a second; 0: as often as the display shows)
  -maxfps N                at most N frames a second, 1..1000 (-delay 1000000/N)
  Options may have one dash or two. Options not given come from the stored settings.

Files:
  ~/.config/Korvane Software/3D Tidewell.conf   the settings the dialog stores
  3dtidewell.ini beside the program             the optional scene description
  3dtidewell.log beside the program, else $XDG_STATE_HOME/3dtidewell   the log (Log=1 in the .ini)

Exit status: 0 a normal end (SIGTERM, SIGINT and SIGHUP too), 1 an error was reported, 2 a
command line that cannot run. More in the manual page, 3dtidewell(6).
)";
}

bool IsHackCommandLine(const std::vector<std::string>& args, const std::optional<std::string>& windowVariable) {
    if (args.size() < 2) return windowVariable.has_value() && !windowVariable->empty();
    return KnownOption(OptionName(args[1]));
}

THackOptions ParseHackOptions(const std::vector<std::string>& args, const std::optional<std::string>& windowVariable) {
    THackOptions options;
    std::optional<std::intptr_t> windowId;
    bool root = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string name = OptionName(args[i]);
        if (!KnownOption(name)) throw EHackUsage("unknown option '" + args[i] + "'");
        if (name == "root") {
            root = true;
        } else if (name == "sound" || name == "no-sound") {
            options.Sound = name == "sound";
        } else if (name == "fps" || name == "no-fps") {
            options.ShowFps = name == "fps";
        } else {
            if (i + 1 >= args.size()) throw EHackUsage("option '" + args[i] + "' needs a value");
            const std::string& value = args[++i];
            if (name == "window-id") {
                windowId = ParseWindowId(value);
                if (!windowId) throw EHackUsage("-window-id: '" + value + "' is not a window id (decimal or 0x hex)");
            } else if (name == "fish") {
                options.FishCount = ParseCount(value, 0, 100);
                if (!options.FishCount) throw EHackUsage("-fish: '" + value + "' is not a number from 0 to 100");
            } else if (name == "bubbles") {
                options.BubbleCount = ParseCount(value, 0, 200);
                if (!options.BubbleCount) throw EHackUsage("-bubbles: '" + value + "' is not a number from 0 to 200");
            } else if (name == "delay") {
                const auto delay = ParseCount(value, 0, THackOptions::kMaxFrameDelay);
                if (!delay) throw EHackUsage("-delay: '" + value + "' is not a number of microseconds from 0 to 1000000");
                options.FrameDelay = *delay;
            } else if (name == "maxfps") {
                const auto rate = ParseCount(value, 1, 1000);
                if (!rate) throw EHackUsage("-maxfps: '" + value + "' is not a number from 1 to 1000");
                options.FrameDelay = (1000000 + *rate / 2) / *rate;
            } else {
                const char* themes[] = {"blue", "aquamarine", "green"};
                for (int t = 0; t < 3; ++t)
                    if (value == themes[t]) options.Theme = t;
                if (value == "auto") options.Theme = -1;
                if (!options.Theme) throw EHackUsage("-theme: '" + value + "' is not blue, aquamarine, green or auto");
            }
        }
    }
    if (windowId) {
        options.Window = *windowId;
    } else if (windowVariable && !windowVariable->empty()) {
        const auto fromVariable = ParseWindowId(*windowVariable);
        if (!fromVariable) throw EHackUsage("XSCREENSAVER_WINDOW: '" + *windowVariable + "' is not a window id");
        options.Window = *fromVariable;
    } else if (root) {
        options.Window = THackOptions::kRootWindow;
    } else {
        throw EHackUsage("no window to draw into: give -root or -window-id <id>");
    }
    return options;
}
