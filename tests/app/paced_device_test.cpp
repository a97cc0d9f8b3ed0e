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
