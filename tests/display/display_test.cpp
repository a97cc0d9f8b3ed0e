#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

#include "display/display_control.h"

namespace {

using Mode = std::tuple<int, int, int>;

// A display driver: a list it enumerates, a set of modes its test accepts, a current mode.
class FakeDriver final : public IDisplayModeDriver {
public:
    std::vector<Mode> enumerated;
    std::set<Mode> accepted;
    Mode screen{1280, 1024, 32};
    Mode stored{1280, 1024, 32};
    std::vector<std::string> calls;
    std::vector<std::uint8_t> probeNative;

    bool EnumSettings(std::uint32_t index, TModeRecord& record) override {
        if (index >= enumerated.size()) return false;
        std::tie(record.PelsWidth, record.PelsHeight, record.BitsPerPel) = enumerated[index];
        record.Fields = kModeFields | 0x400000;  // and a refresh rate
        record.Native = {static_cast<std::uint8_t>(60 + index)};
        return true;
    }
    std::int32_t ChangeSettings(const TModeRecord* record, std::uint32_t flags) override {
        if (!record) {
            calls.push_back("restore " + std::to_string(flags));
            screen = stored;
            return kDispChangeSuccessful;
        }
        const Mode mode{record->PelsWidth, record->PelsHeight, record->BitsPerPel};
        calls.push_back((flags & kCdsTest ? "test " : "switch ") + Text(mode) + " " + std::to_string(flags));
        if (mode == Mode{42, 37, 8}) probeNative = record->Native;
        if (!accepted.count(mode)) return kDispChangeBadMode;
        if (!(flags & kCdsTest)) screen = mode;
        return kDispChangeSuccessful;
    }
    TVideoMode ScreenMode() override { return {std::get<0>(screen), std::get<1>(screen), std::get<2>(screen)}; }

    static std::string Text(const Mode& m) {
        return std::to_string(std::get<0>(m)) + "x" + std::to_string(std::get<1>(m)) + "x" + std::to_string(std::get<2>(m));
    }
};

std::vector<Mode> Listed(const TVideoModesList& list) {
    std::vector<Mode> result;
    for (int i = 0; i < list.Count(); ++i) result.emplace_back(list.Items(i).Width, list.Items(i).Height, list.Items(i).ColorDepth);
    return result;
}

TEST(TVideoModesList, DuplicatesAndRefusedModesAreNotListed) {
    FakeDriver driver;
    driver.enumerated = {{640, 480, 16}, {640, 480, 16}, {800, 600, 16}, {1024, 768, 8}};
    driver.accepted = {{640, 480, 16}, {800, 600, 16}};
    TVideoModesList list(driver);
    list.Enumerate();
    EXPECT_EQ(Listed(list), (std::vector<Mode>{{640, 480, 16}, {800, 600, 16}}));
    // Tests go out with the flags 6; the 42x37x8 probe, then the 60 extra modes.
    ASSERT_EQ(driver.calls.size(), 4u + 60u);
    EXPECT_EQ(driver.calls[0], "test 640x480x16 6");
    EXPECT_EQ(driver.calls[3], "test 42x37x8 6");
    EXPECT_EQ(driver.calls[4], "test 320x200x8 6");
    EXPECT_EQ(driver.calls.back(), "test 512x384x32 6");
    // The probe reuses the last enumerated record: its other fields stay as enumeration left them.
    EXPECT_EQ(driver.probeNative, std::vector<std::uint8_t>{63});
}

TEST(TVideoModesList, AProbeThatSucceedsEndsAfterTheEnumeratedModes) {
    FakeDriver driver;
    driver.enumerated = {{640, 480, 32}};
    driver.accepted = {{640, 480, 32}, {42, 37, 8}, {320, 240, 16}};
    TVideoModesList list(driver);
    list.Enumerate();
    EXPECT_EQ(Listed(list), (std::vector<Mode>{{640, 480, 32}}));
    EXPECT_EQ(driver.calls.back(), "test 42x37x8 6");
}

TEST(TVideoModesList, AcceptedExtraModesFollowInTableOrder) {
    FakeDriver driver;
    driver.enumerated = {{1024, 768, 32}, {640, 480, 16}};
    driver.accepted = {{1024, 768, 32}, {640, 480, 16}, {512, 384, 8}, {320, 240, 16}, {320, 200, 32}};
    TVideoModesList list(driver);
    list.Enumerate();
    EXPECT_EQ(Listed(list), (std::vector<Mode>{{1024, 768, 32}, {640, 480, 16}, {320, 200, 32}, {320, 240, 16}, {512, 384, 8}}));
    list.Enumerate();  // rebuilds, no duplicates
    EXPECT_EQ(list.Count(), 5);

    FakeDriver empty;  // nothing enumerated: only the accepted extras
    empty.accepted = {{360, 480, 15}};
    TVideoModesList onlyExtras(empty);
    onlyExtras.Enumerate();
    EXPECT_EQ(Listed(onlyExtras), (std::vector<Mode>{{360, 480, 15}}));
}

TEST(TVideoModesList, SwitchAndRestoreKeepTheDesktopModeFromBeforeTheFirstSwitch) {
    FakeDriver driver;
    driver.accepted = {{800, 600, 16}, {640, 480, 32}};
    {
        TVideoModesList list(driver);
        EXPECT_TRUE(list.SwitchTo(800, 600, 16));
        EXPECT_EQ(driver.calls.back(), "switch 800x600x16 4");
        EXPECT_TRUE(list.Switched());
        EXPECT_EQ(list.GetDesktopMode(), (TVideoMode{1280, 1024, 32}));
        EXPECT_FALSE(list.SwitchTo(1600, 1200, 32));  // refused while switched: still switched
        EXPECT_TRUE(list.Switched());
        EXPECT_TRUE(list.SwitchTo(640, 480, 32));
        list.Restore();
        EXPECT_FALSE(list.Switched());
        EXPECT_EQ(driver.calls.back(), "restore 4");
        list.Restore();  // runs whether or not switched
        EXPECT_EQ(driver.calls.size(), 5u);
        EXPECT_TRUE(list.SwitchTo(800, 600, 16));
    }
    // Destroyed while switched: the display is restored.
    EXPECT_EQ(driver.calls.back(), "restore 4");
    EXPECT_EQ(driver.screen, driver.stored);
}

TEST(TScreenMode, SizePacking) {
    TScreenMode mode;
    mode.ScreenSize = 41943520;
    EXPECT_EQ(mode.Width(), 640);
    EXPECT_EQ(mode.Height(), 480);
    mode.SetWidth(800);
    EXPECT_EQ(mode.ScreenSize, 52429280);
    mode.SetHeight(0x12345);  // only the low 16 bits
    EXPECT_EQ(mode.Height(), 0x2345);
    EXPECT_EQ(mode.Width(), 800);
    TScreenMode big(40000, 30000, 32);  // widths above 32767 read back unsigned
    EXPECT_EQ(big.Width(), 40000);
    TScreenMode copy;
    copy.Assign(big);
    EXPECT_EQ(copy.ScreenSize, big.ScreenSize);
    EXPECT_EQ(copy.ColorDepth, 32);
}

TEST(TDisplayControl, EnumerationGroupsAcceptedModesByDepthInListOrder) {
    FakeDriver driver;
    driver.enumerated = {{640, 480, 16}, {640, 480, 32}, {800, 600, 16}, {1024, 768, 32}};
    driver.accepted = {{640, 480, 16}, {640, 480, 32}, {800, 600, 16}, {1024, 768, 32}, {42, 37, 8}};
    TDisplayControl control(driver);
    control.PropertiesLoaded();  // AutoEnumerate off
    EXPECT_EQ(control.ColorDepthModes().Count(), 0);
    control.AutoEnumerate = true;
    std::vector<Mode> offered;
    control.OnEnumerate = [&](std::int32_t depth, std::int32_t width, std::int32_t height, bool& accept) {
        EXPECT_TRUE(accept);
        offered.emplace_back(width, height, depth);
        accept = depth != 32;
    };
    control.PropertiesLoaded();
    EXPECT_EQ(offered.size(), 4u);
    ASSERT_EQ(control.ColorDepthModes().Count(), 1);
    auto& group = control.ColorDepthModes().Items(0);
    EXPECT_EQ(group.ColorDepth, 16);
    ASSERT_EQ(group.ScreenModes.Count(), 2);
    EXPECT_EQ(group.ScreenModes.Items(1).Width(), 800);
    EXPECT_EQ(group.ScreenModes.IndexOf(800, 600, 16), 1);
    EXPECT_EQ(group.ScreenModes.IndexOf(800, 600, 32), -1);

    control.OnEnumerate = nullptr;
    control.Enumerate();
    ASSERT_EQ(control.ColorDepthModes().Count(), 2);
    EXPECT_EQ(control.ColorDepthModes().IndexOf(32), 1);
    EXPECT_EQ(control.ColorDepthModes().Items(1).ScreenModes.Count(), 2);
    EXPECT_EQ(control.ColorDepthModes().Add(16), 0);
}

struct EventCount {
    int before = 0, after = 0;
    void Attach(TDisplayControl& control) {
        control.OnBeforeChange = [this] { ++before; };
        control.OnAfterChange = [this] { ++after; };
    }
};

TEST(TDisplayControl, FullScreenFollowsWhetherTheDisplaySwitched) {
    FakeDriver driver;
    driver.accepted = {{800, 600, 16}, {1024, 768, 32}};
    TDisplayControl control(driver);
    EventCount events;
    events.Attach(control);
    EXPECT_EQ(control.FullScreenMode().Width(), 640);
    EXPECT_EQ(control.FullScreenMode().ColorDepth, 16);

    control.SetFullScreen(false);  // already false: nothing
    EXPECT_EQ(events.before + events.after, 0);
    EXPECT_TRUE(driver.calls.empty());

    control.SetFullScreen(true);  // 640x480x16 refused
    EXPECT_FALSE(control.FullScreen());
    EXPECT_EQ(events.before, 1);
    EXPECT_EQ(events.after, 1);
    EXPECT_EQ(&control.CurrentMode(), &control.DesktopMode());

    control.SetFullScreenMode(TScreenMode(800, 600, 16));  // not full screen: nothing on screen
    EXPECT_EQ(driver.calls.size(), 1u);
    control.SetFullScreen(true);
    EXPECT_TRUE(control.FullScreen());
    EXPECT_EQ(driver.screen, (Mode{800, 600, 16}));
    EXPECT_EQ(&control.CurrentMode(), &control.FullScreenMode());
    EXPECT_EQ(control.DesktopMode().Width(), 1280);  // from before the first switch

    control.SetFullScreenMode(TScreenMode(1024, 768, 32));  // full screen: switched at once
    EXPECT_EQ(driver.screen, (Mode{1024, 768, 32}));
    control.SetFullScreenMode(TScreenMode(1600, 1200, 32));  // refused: stays in the earlier mode
    EXPECT_TRUE(control.FullScreen());
    EXPECT_EQ(driver.screen, (Mode{1024, 768, 32}));
    EXPECT_EQ(control.FullScreenMode().Width(), 1600);

    EXPECT_FALSE(control.ChangeMode(1, 1, 1));
    EXPECT_TRUE(control.FullScreen());
    control.SetFullScreen(false);
    EXPECT_FALSE(control.FullScreen());
    EXPECT_EQ(driver.screen, driver.stored);
    EXPECT_EQ(events.before, 6);
    EXPECT_EQ(events.after, 6);
}

TEST(TDisplayControl, DestroyingItWhileFullScreenRestoresTheDisplayWithoutEvents) {
    FakeDriver driver;
    driver.accepted = {{640, 480, 16}};
    int events = 0;
    {
        TDisplayControl control(driver);
        control.SetFullScreen(true);
        control.OnBeforeChange = [&] { ++events; };
        control.OnAfterChange = [&] { ++events; };
    }
    EXPECT_EQ(events, 0);
    EXPECT_EQ(driver.calls.back(), "restore 4");
}

}  // namespace
