// Runs against the X server in DISPLAY (the test script starts an Xvfb).
#include <gtest/gtest.h>

#include <cstdlib>

#include "display/display_control.h"
#include "platform/x11/xrandr_driver.h"

namespace {

TEST(XRandrDriver, ListsTheScreenModeAndSwitchesToIt) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    TXRandrDriver driver;
    if (!driver.Connected()) GTEST_SKIP() << "cannot open the X display";
    const auto screen = driver.ScreenMode();
    EXPECT_GT(screen.Width, 0);
    EXPECT_TRUE(screen.ColorDepth == 16 || screen.ColorDepth == 32 || screen.ColorDepth == 8) << screen.ColorDepth;

    TVideoModesList list(driver);
    list.Enumerate();
    ASSERT_GE(list.Count(), 1);
    bool currentListed = false;
    for (int i = 0; i < list.Count(); ++i) {
        EXPECT_EQ(list.Items(i).ColorDepth, screen.ColorDepth);
        currentListed |= list.Items(i) == screen;
    }
    EXPECT_TRUE(currentListed);

    TModeRecord impossible;
    impossible.Fields = kModeFields;
    impossible.PelsWidth = 42;
    impossible.PelsHeight = 37;
    impossible.BitsPerPel = 8;
    EXPECT_FALSE(list.TestMode(impossible));
    EXPECT_FALSE(list.SwitchTo(screen.Width, screen.Height, screen.ColorDepth == 16 ? 32 : 16));

    TDisplayControl control(driver);
    control.SetFullScreenMode(TScreenMode(screen.Width, screen.Height, screen.ColorDepth));
    control.SetFullScreen(true);
    EXPECT_TRUE(control.FullScreen());
    EXPECT_EQ(control.DesktopMode().Width(), screen.Width);
    control.SetFullScreen(false);
    EXPECT_FALSE(control.FullScreen());
    EXPECT_EQ(driver.ScreenMode(), screen);
}

}  // namespace
