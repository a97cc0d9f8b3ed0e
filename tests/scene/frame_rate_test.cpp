#include <gtest/gtest.h>

#include "scene/frame_rate.h"
#include "support/fake_clock.h"

namespace {

TEST(FrameRate, CountsFramesInWindowsOfAtLeastOneSecond) {
    FakeClock clock;
    TTimerPro rateClock(clock);
    rateClock.Start();
    TFrameRate rate(rateClock);
    std::vector<std::string> captions;
    auto show = [&](const std::string& c) { captions.push_back(c); };

    // 59 frames of 17 ms (about 1.0 s): the 59th frame ends the window.
    for (int frame = 1; frame <= 59; ++frame) {
        clock.now = static_cast<std::uint32_t>(frame * 17);
        rate.CountFrame(false, "3DTidewell.scr", show);
        if (frame < 59) {
            ASSERT_EQ(rate.FrameRate(), 0) << frame;
        }
    }
    EXPECT_EQ(rate.FrameRate(), 59);
    EXPECT_EQ(rate.FrameCounter(), 0);
    ASSERT_EQ(captions.size(), 1u);
    EXPECT_EQ(captions[0], "3DTidewell.scr FPS: 59");

    // Full screen: the rate is still refreshed, the caption never touched.
    for (int frame = 1; frame <= 30; ++frame) {
        clock.now += 34;
        rate.CountFrame(true, "3DTidewell.scr", show);
    }
    EXPECT_EQ(rate.FrameRate(), 30);
    EXPECT_EQ(captions.size(), 1u);

    rate.Reset();
    EXPECT_EQ(rate.FrameRate(), 0);
    // More than a second since the last restart: the first frame ends the window with 1.
    clock.now += 5000;
    rate.CountFrame(true, "x", show);
    EXPECT_EQ(rate.FrameRate(), 1);
}

TEST(GLInfo, SummaryAndLogLines) {
    GLDriverInfo info;
    info.vendor = "Mesa";
    info.renderer = "llvmpipe";
    info.version = "4.5";
    info.extensions = "GL_ARB_one GL_EXT_two ";
    info.maxLights = 8;
    info.maxViewport[0] = 16384;
    info.maxViewport[1] = 8192;
    EXPECT_EQ(GLInfoText(info), "Vendor:  Mesa\r\nVideo:  llvmpipe\r\nOpenGL:  4.5");

    const auto lines = GLInfoLogLines(info);
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[1], "OpenGL Version: 4.5");
    EXPECT_EQ(lines[3], "Video Card: llvmpipe");
    EXPECT_EQ(lines[4], "*** Start OpenGL Extensions ***");
    EXPECT_EQ(lines[5], "GL_ARB_one");
    EXPECT_EQ(lines[6], "GL_EXT_two");
    EXPECT_EQ(lines[7], "*** End OpenGL Extensions ***");
    EXPECT_EQ(lines[8], "MaxLights: 8");
    EXPECT_EQ(lines[12], "MaxViewportSize: 16384 8192");
    EXPECT_EQ(lines.back(), "*** End OpenGL Info ***");

    EXPECT_EQ(GLInfoText(GLDriverInfo{}), "Vendor:  \r\nVideo:  \r\nOpenGL:  ");
    EXPECT_EQ(GLInfoLogLines(GLDriverInfo{}).size(), 12u);
    EXPECT_EQ(FullScreenStopLogLine(1920, 1080, 32, 57), "Full Screen mode: 1920X1080X32  FPS:57");
}

}  // namespace
