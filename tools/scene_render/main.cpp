// Offline renderer: builds the aquarium on a headless EGL context and writes PNG frames, or
// times frames. The clock is simulated, so a picture depends only on the options.
//
//   tidewell_render [--size WxH] [--theme 0|1|2] [--fish N] [--bubbles N] [--seconds S]
//                   [--frames N] [--step S] [--shine A] [--passes 1|3] [--out FILE.png]
//                   [--monitor WxH+X+Y ...] [--across 0|1]
//   tidewell_render --bench N [--size WxH] [--fish N] [--bubbles N] [--theme T]
//
// --seconds: simulated time after the start before the first frame written (in steps of
// 0.25 s, drawn but not written). --frames: frames written, --step apart (FILE_000.png ...
// when more than one). --bench: draws N frames 1/60 s apart after one second of warm-up
// frames and prints frames per second, the whole frame, the simulation step, the simulation plus
// draw calls up to the flush, and of that the time spent outside OpenGL calls (our own work).
// --monitor (repeated): monitors in one window that spans them all (the size is their bounding
// rectangle), each with an aquarium of its own, or one aquarium seen through all with --across 1.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "gl/gl_api.h"
#include "platform/headless/egl_device.h"
#include "platform/services.h"
#include "scene/aquarium_scene.h"
#include "scene/model_import_assets.h"
#include "sim/random.h"
#include "tools/artgen/image.h"

namespace {

struct Options {
    int width = 1280;
    int height = 720;
    int theme = 0;
    int fish = 20;
    int bubbles = 50;
    double seconds = 0.0;
    int frames = 1;
    double step = 1.0 / 30.0;
    float shine = -1.0f;
    int passes = 1;  // 3: each water layer, its caustics and its fade as passes of their own
    std::string out = "aquarium.png";
    int bench = 0;
    std::vector<TViewRect> monitors;
    bool across = false;
};

[[noreturn]] void Usage(const char* program) {
    std::fprintf(stderr,
                 "usage: %s [--size WxH] [--theme 0-2] [--fish N] [--bubbles N] [--seconds S] [--frames N]\n"
                 "          [--step S] [--shine A] [--passes 1|3] [--out FILE.png] [--bench N]\n"
                 "          [--monitor WxH+X+Y ...] [--across 0|1]\n",
                 program);
    std::exit(2);
}

Options Parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) Usage(argv[0]);
        const std::string value = argv[++i];
        try {
            if (arg == "--size") {
                const auto x = value.find('x');
                if (x == std::string::npos) Usage(argv[0]);
                o.width = std::stoi(value.substr(0, x));
                o.height = std::stoi(value.substr(x + 1));
            } else if (arg == "--theme") {
                o.theme = std::stoi(value);
            } else if (arg == "--fish") {
                o.fish = std::stoi(value);
            } else if (arg == "--bubbles") {
                o.bubbles = std::stoi(value);
            } else if (arg == "--seconds") {
                o.seconds = std::stod(value);
            } else if (arg == "--frames") {
                o.frames = std::stoi(value);
            } else if (arg == "--step") {
                o.step = std::stod(value);
            } else if (arg == "--passes") {
                o.passes = std::stoi(value);
            } else if (arg == "--shine") {
                o.shine = std::stof(value);
            } else if (arg == "--out") {
                o.out = value;
            } else if (arg == "--bench") {
                o.bench = std::stoi(value);
            } else if (arg == "--monitor") {
                TViewRect m;
                char end = 0;
                if (std::sscanf(value.c_str(), "%dx%d+%d+%d%c", &m.Width, &m.Height, &m.Left, &m.Top, &end) != 4 ||
                    m.Width < 1 || m.Height < 1 || m.Left < 0 || m.Top < 0)
                    Usage(argv[0]);
                o.monitors.push_back(m);
            } else if (arg == "--across") {
                o.across = std::stoi(value) != 0;
            } else {
                Usage(argv[0]);
            }
        } catch (const std::logic_error&) {
            Usage(argv[0]);
        }
    }
    if (o.width < 1 || o.height < 1 || o.width > 8192 || o.height > 8192 || o.theme < 0 || o.theme > 2 ||
        o.frames < 0 || o.step < 0 || o.seconds < 0 || o.bench < 0)
        Usage(argv[0]);
    if (!o.monitors.empty()) {
        o.width = o.height = 0;
        for (const TViewRect& m : o.monitors) {
            o.width = std::max(o.width, m.Left + m.Width);
            o.height = std::max(o.height, m.Top + m.Height);
        }
    }
    o.fish = std::clamp(o.fish, 0, 100);
    o.bubbles = std::clamp(o.bubbles, 0, 200);
    return o;
}

// Simulated milliseconds, moved by the renderer.
class SimulatedClock final : public IMillisecondClock {
public:
    double now = 0.0;
    std::uint32_t Now() override { return static_cast<std::uint32_t>(now); }
    bool GetPeriodRange(std::uint32_t& minimum, std::uint32_t& maximum) override {
        minimum = 1;
        maximum = 1000000;
        return true;
    }
    bool BeginPeriod(std::uint32_t) override { return true; }
    void EndPeriod(std::uint32_t) override {}
};

class OffscreenWindow final : public IDrawingWindow {
public:
    OffscreenWindow(int width, int height) : device_(width, height), width_(width), height_(height) {}
    std::int32_t ClientWidth() const override { return width_; }
    std::int32_t ClientHeight() const override { return height_; }
    IGLDevice* AcquireDevice() override { return &device_; }
    void ReleaseDevice(IGLDevice*) override {}

private:
    HeadlessGLDevice device_;
    int width_, height_;
};

class NoPriority final : public IProcessPriority {
public:
    void SetNormal() override {}
    void SetHigh() override {}
};

std::string FrameName(const std::string& out, int index, int count) {
    if (count <= 1) return out;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "_%03d", index);
    const auto dot = out.rfind('.');
    return dot == std::string::npos ? out + suffix : out.substr(0, dot) + suffix + out.substr(dot);
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

using Clock = std::chrono::steady_clock;
double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Time spent inside OpenGL calls: every entry of the table is replaced by a wrapper that adds
// the duration of the real call here.
Clock::duration insideGL{};

template <int N, typename R, typename... A>
struct TimedEntry {
    static inline R (*original)(A...) = nullptr;
    static R Call(A... args) {
        const auto start = Clock::now();
        if constexpr (std::is_void_v<R>) {
            original(args...);
            insideGL += Clock::now() - start;
        } else {
            R result = original(args...);
            insideGL += Clock::now() - start;
            return result;
        }
    }
};

template <int N, typename R, typename... A>
void Wrap(R (*&entry)(A...)) {
    if (!entry) return;
    TimedEntry<N, R, A...>::original = entry;
    entry = &TimedEntry<N, R, A...>::Call;
}

void TimeGLCalls() {
#define TW_WRAP_GL(ret, name, params) Wrap<__COUNTER__>(gl.name);
#define TW_WRAP_GLU(ret, name, params) Wrap<__COUNTER__>(glu.name);
    TW_GL_FUNCTIONS(TW_WRAP_GL)
    TW_GL12_FUNCTIONS(TW_WRAP_GL)
    TW_GLU_FUNCTIONS(TW_WRAP_GLU)
#undef TW_WRAP_GL
#undef TW_WRAP_GLU
}

int Run(const Options& o) {
    RandomSeed = 7;
    FillRandomTable();
    SimulatedClock clock;
    NoPriority priority;
    SetResourceFinder(&ProgramResources());
    TAquarium scene(ModelImportAssets(), priority, clock, SystemLibraryLoader(), OpenProfileFile,
                    TAquariumHost{.ExeName = "tidewell_render"});
    scene.Options().FishCount = o.fish;
    scene.Options().BubbleCount = o.bubbles;
    scene.Options().ThemeIndex = o.theme;
    if (o.shine >= 0.0f) scene.Settings().ShineAlpha = o.shine;
    scene.AllowSinglePassLayers = o.passes == 1;
    scene.BuildScene();
    std::vector<TTankView> views;
    for (const TViewRect& m : o.monitors)
        views.push_back(o.across ? TTankView{m, {0, 0, o.width, o.height}, 0}
                                 : TTankView{m, m, static_cast<std::int32_t>(views.size())});
    scene.SetViews(views);
    OffscreenWindow window(o.width, o.height);
    scene.InitDrawing(window, true);
    std::fprintf(stderr, "%s\r\nColour bits %d, depth bits %d, alpha bits %d\n", scene.GLInfoText().c_str(),
                 scene.Engine()->ColorBits, scene.Engine()->DepthBits, scene.Engine()->AlphaBits);
    scene.ResetDrawing();

    if (o.bench > 0) {
        // One second of frames first: textures uploaded, sort lists grown.
        for (int i = 0; i < 60; ++i) {
            clock.now += 1000.0 / 60.0;
            scene.DrawFrame();
        }
        gl.Finish();
        TimeGLCalls();
        Clock::time_point start, updated, submitted;
        Clock::duration glBeforeSwap{};
        scene.AfterUpdate = [&] { updated = Clock::now(); };
        scene.BeforeSwap = [&] {
            submitted = Clock::now();
            glBeforeSwap = insideGL;
        };
        std::vector<double> simulation, submission, outside, whole;
        const auto benchStart = Clock::now();
        for (int i = 0; i < o.bench; ++i) {
            clock.now += 1000.0 / 60.0;
            insideGL = {};
            start = Clock::now();
            scene.DrawFrame();
            gl.Finish();
            const auto end = Clock::now();
            simulation.push_back(Milliseconds(updated - start));
            submission.push_back(Milliseconds(submitted - start));
            outside.push_back(Milliseconds(submitted - start - glBeforeSwap));
            whole.push_back(Milliseconds(end - start));
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - benchStart).count();
        std::printf("size %dx%d fish %d bubbles %d frames %d\n", o.width, o.height, o.fish, o.bubbles, o.bench);
        std::printf("fps %.1f\n", o.bench / seconds);
        std::printf("frame_ms_median %.3f\n", Median(whole));
        std::printf("simulation_ms_median %.3f\n", Median(simulation));
        std::printf("submission_ms_median %.3f\n", Median(submission));
        std::printf("outside_gl_ms_median %.3f\n", Median(outside));
        return 0;
    }

    // Pre-roll in quarter seconds, as the warm-up steps.
    for (double t = 0.0; t + 1e-9 < o.seconds; t += 0.25) {
        clock.now += 1000.0 * std::min(0.25, o.seconds - t);
        scene.DrawFrame();
    }
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(o.width) * o.height * 4);
    scene.BeforeSwap = [&] {
        gl.Finish();
        gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
        gl.ReadPixels(0, 0, o.width, o.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    };
    for (int frame = 0; frame < o.frames; ++frame) {
        if (frame > 0 || o.seconds > 0.0) clock.now += 1000.0 * o.step;
        scene.DrawFrame();
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(o.width) * o.height * 3);
        for (int y = 0; y < o.height; ++y)
            for (int x = 0; x < o.width; ++x)
                for (int c = 0; c < 3; ++c)
                    rgb[(static_cast<std::size_t>(y) * o.width + x) * 3 + c] =
                        rgba[(static_cast<std::size_t>(o.height - 1 - y) * o.width + x) * 4 + c];
        const std::string name = FrameName(o.out, frame, o.frames);
        art::WritePng(name, o.width, o.height, rgb);
        std::fprintf(stderr, "wrote %s\n", name.c_str());
    }
    scene.ReleaseDrawing();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(Parse(argc, argv));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tidewell_render: %s\n", e.what());
        return 1;
    }
}
