// Swap pacing hooks onto the first make-current of every context, and the platform's context
// sees the platform's own device.
#include <gtest/gtest.h>

#include "platform/paced_device.h"

namespace {

class RecordingDevice final : public IGLDevice {
public:
    struct Context final : IGLRenderContext {
        RecordingDevice& owner;
        explicit Context(RecordingDevice& o) : owner(o) {}
        bool MakeCurrent(IGLDevice& device) override {
            owner.currentOn.push_back(&device);
            return owner.makeCurrentSucceeds;
        }
        bool ReleaseCurrent() override { return true; }
        std::string LastErrorText() override { return "failed"; }
    };
    std::vector<IGLDevice*> currentOn;
    bool makeCurrentSucceeds = true;
    int swaps = 0;

    std::uint32_t ObjectType() override { return kObjDC; }
    int ChoosePixelFormat(const TPixelFormatDescriptor&) override { return 3; }
    bool SetPixelFormat(int, const TPixelFormatDescriptor&) override { return true; }
    bool DescribePixelFormat(int, TPixelFormatDescriptor&) override { return true; }
    std::unique_ptr<IGLPalette> CreatePalette(const std::vector<TPaletteEntry>&) override { return nullptr; }
    void SelectPalette(IGLPalette&) override {}
    std::unique_ptr<IGLRenderContext> CreateContext() override { return std::make_unique<Context>(*this); }
    bool SwapBuffers() override { return ++swaps > 0; }
    TGLLibrary Library() override { return {}; }
};

TEST(PacedDevice, PacesEachContextOnceOnItsFirstSuccessfulMakeCurrent) {
    auto inner = std::make_unique<RecordingDevice>();
    RecordingDevice& platform = *inner;
    int paced = 0;
    TPacedDevice device(std::move(inner), [&] { ++paced; });
    EXPECT_EQ(device.ChoosePixelFormat({}), 3);

    auto first = device.CreateContext();
    platform.makeCurrentSucceeds = false;
    EXPECT_FALSE(first->MakeCurrent(device));
    EXPECT_EQ(paced, 0);  // no current context: nothing to pace yet
    platform.makeCurrentSucceeds = true;
    EXPECT_TRUE(first->MakeCurrent(device));
    EXPECT_TRUE(first->MakeCurrent(device));
    EXPECT_EQ(paced, 1);
    // The platform's context is made current on the platform's device, never on the wrapper.
    for (IGLDevice* on : platform.currentOn) EXPECT_EQ(on, &platform);

    auto second = device.CreateContext();
    EXPECT_TRUE(second->MakeCurrent(device));
    EXPECT_EQ(paced, 2);
    EXPECT_TRUE(device.SwapBuffers());
    EXPECT_EQ(platform.swaps, 1);
}

// Where the driver has no swap control the swaps follow the timer: with a clock of our own,
// the deadlines a 50 Hz timer sleeps until, and no burst after a slow frame.
TEST(PacedDevice, WithoutSwapControlSwapsFollowATimerAtTheRefreshRate) {
    using namespace std::chrono;
    using Clock = TFrameTimer::Clock;
    Clock::time_point now{};
    std::vector<milliseconds> sleeps;
    const auto hook = [&](TPacedDevice& device) {
        device.Timer.Now = [&] { return now; };
        device.Timer.SleepUntil = [&](Clock::time_point until) {
            sleeps.push_back(duration_cast<milliseconds>(until - Clock::time_point{}));
            now = until;
        };
    };

    bool driverPaces = false;
    auto inner = std::make_unique<RecordingDevice>();
    RecordingDevice& platform = *inner;
    TPacedDevice device(std::move(inner), [&] { return driverPaces; }, 50);
    hook(device);
    EXPECT_FALSE(device.Timer.On());  // no context yet
    auto context = device.CreateContext();
    ASSERT_TRUE(context->MakeCurrent(device));
    EXPECT_TRUE(device.Timer.On());
    EXPECT_EQ(device.Timer.Period(), duration_cast<Clock::duration>(milliseconds(20)));

    EXPECT_TRUE(device.SwapBuffers());  // the first frame goes at once
    now += milliseconds(5);             // a quick frame waits for the rest of its 20 ms
    device.SwapBuffers();
    now += milliseconds(45);  // a slow one goes at once, and the next one waits a whole period
    device.SwapBuffers();
    device.SwapBuffers();
    EXPECT_EQ(sleeps, (std::vector<milliseconds>{milliseconds(20), milliseconds(85)}));
    EXPECT_EQ(platform.swaps, 4);

    // A driver that paces its swaps, or TIDEWELL_UNPACED (a rate of 0), leaves the timer off.
    driverPaces = true;
    TPacedDevice paced(std::make_unique<RecordingDevice>(), [&] { return driverPaces; }, 60);
    hook(paced);
    auto pacedContext = paced.CreateContext();
    ASSERT_TRUE(pacedContext->MakeCurrent(paced));
    EXPECT_FALSE(paced.Timer.On());
    driverPaces = false;
    TPacedDevice off(std::make_unique<RecordingDevice>(), [&] { return driverPaces; }, 0);
    auto offContext = off.CreateContext();
    ASSERT_TRUE(offContext->MakeCurrent(off));
    EXPECT_FALSE(off.Timer.On());
    sleeps.clear();
    paced.SwapBuffers();
    paced.SwapBuffers();
    EXPECT_TRUE(sleeps.empty());
}

// A hack's -delay caps the swaps with the timer whether or not the driver paces them; with the
// refresh timer too, the lower rate counts. Set before the first context or after, and removed.
TEST(PacedDevice, ARateLimitCapsTheSwapsBesideTheDriversPacing) {
    using namespace std::chrono;
    using Clock = TFrameTimer::Clock;
    const auto period = [](double rate) { return duration_cast<Clock::duration>(duration<double>(1.0 / rate)); };
    const auto current = [](TPacedDevice& device) {
        auto context = device.CreateContext();
        ASSERT_TRUE(context->MakeCurrent(device));
    };

    TPacedDevice vsynced(std::make_unique<RecordingDevice>(), [] { return true; }, 60);
    vsynced.LimitRate(30);
    EXPECT_FALSE(vsynced.Timer.On());  // applied once the pacing is known
    current(vsynced);
    EXPECT_EQ(vsynced.Timer.Period(), period(30));
    vsynced.LimitRate(0);
    EXPECT_FALSE(vsynced.Timer.On());

    TPacedDevice timed(std::make_unique<RecordingDevice>(), [] { return false; }, 60);
    current(timed);
    EXPECT_EQ(timed.Timer.Period(), period(60));
    timed.LimitRate(25);
    EXPECT_EQ(timed.Timer.Period(), period(25));
    timed.LimitRate(200);  // above the refresh: the refresh counts
    EXPECT_EQ(timed.Timer.Period(), period(60));
    timed.LimitRate(0);
    EXPECT_EQ(timed.Timer.Period(), period(60));

    // The hook-only device (Windows): the limit alone; and a 40 ms cap on a fake clock, with the
    // slow frame not made up for.
    TPacedDevice hooked(std::make_unique<RecordingDevice>(), [] {});
    Clock::time_point now{};
    std::vector<milliseconds> sleeps;
    hooked.Timer.Now = [&] { return now; };
    hooked.Timer.SleepUntil = [&](Clock::time_point until) {
        sleeps.push_back(duration_cast<milliseconds>(until - now));
        now = until;
    };
    current(hooked);
    EXPECT_FALSE(hooked.Timer.On());
    hooked.LimitRate(25);
    for (const int work : {10, 10, 70, 5}) {
        hooked.SwapBuffers();
        now += milliseconds(work);
    }
    EXPECT_EQ(sleeps, (std::vector<milliseconds>{milliseconds(30), milliseconds(30)}));
}

TEST(PacedDevice, ExtensionNamesMatchWholeWords) {
    const char* list = "GLX_ARB_create_context GLX_EXT_swap_control_tear GLX_MESA_swap_control";
    EXPECT_TRUE(HasExtension(list, "GLX_MESA_swap_control"));
    EXPECT_TRUE(HasExtension(list, "GLX_ARB_create_context"));
    EXPECT_FALSE(HasExtension(list, "GLX_EXT_swap_control"));
    EXPECT_FALSE(HasExtension(list, "GLX_SGI_swap_control"));
    EXPECT_FALSE(HasExtension(nullptr, "GLX_SGI_swap_control"));
    EXPECT_FALSE(HasExtension("", ""));
}

}  // namespace
