// Which display platform a run starts, over a list of fakes.
#include <gtest/gtest.h>

#include <map>

#include "platform/platform_choice.h"

namespace {

using Args = std::vector<std::string>;

// What each fake's server lets happen, by name.
std::map<std::string, bool> reachable;
bool offered = true;

template <const char* kName>
class TFakePlatform final : public IDisplayPlatform {
public:
    std::string Name() const override { return kName; }
    void Connect() override {
        if (!reachable[kName]) throw std::runtime_error("cannot open display ':5'");
    }
    IWindowSystem& Windows() override { throw std::logic_error("unused"); }
    std::unique_ptr<IDrawingWindow> CreateDrawingWindow(ISaverWindow&) override { return nullptr; }
    std::unique_ptr<IMonitorList> CreateMonitorList() override { return nullptr; }
    std::unique_ptr<IDisplayModeDriver> CreateDisplayModeDriver() override { return nullptr; }
    std::unique_ptr<ISaverSystem> CreateSaverSystem() override { return nullptr; }
    std::unique_ptr<ISettingsView> CreateSettingsView() override { return nullptr; }
    bool OpenWithDesktop(const std::string&) override { return false; }
    void ShowErrorMessage(const std::string&, const std::string&) override {}
};

constexpr char kFirst[] = "first";
constexpr char kSecond[] = "second";
constexpr char kHeadless[] = "headless";

std::vector<TDisplayPlatformEntry> List() {
    return {{kFirst, [] { return offered; }, [] { return std::unique_ptr<IDisplayPlatform>(new TFakePlatform<kFirst>); }},
            {kSecond, [] { return true; }, [] { return std::unique_ptr<IDisplayPlatform>(new TFakePlatform<kSecond>); }},
            {kHeadless, nullptr, [] { return std::unique_ptr<IDisplayPlatform>(new TFakePlatform<kHeadless>); }}};
}

std::string UsageError(Args args, const char* environment) {
    try {
        TPlatformChoice choice(List(), args, environment);
    } catch (const EPlatformUsage& e) {
        return e.what();
    }
    return {};
}

TEST(PlatformChoice, TheOptionAnywhereOrTheEnvironmentNamesOneOfTheList) {
    Args args{"3dtidewell", "/s", "--platform", "headless"};
    EXPECT_EQ(TPlatformChoice(List(), args, "second").Requested(), "headless");  // the option wins
    EXPECT_EQ(args, (Args{"3dtidewell", "/s"}));                                 // and is taken out
    args = {"3dtidewell", "--platform=first", "-root", "-fish", "3"};
    EXPECT_EQ(TPlatformChoice(List(), args, nullptr).Requested(), "first");
    EXPECT_EQ(args, (Args{"3dtidewell", "-root", "-fish", "3"}));
    args = {"3dtidewell", "/c"};
    EXPECT_EQ(TPlatformChoice(List(), args, "second").Requested(), "second");
    EXPECT_EQ(TPlatformChoice(List(), args, "").Requested(), "");
    EXPECT_EQ(args, (Args{"3dtidewell", "/c"}));

    EXPECT_EQ(UsageError({"3dtidewell", "--platform", "nosuch", "/s"}, nullptr),
              "unknown platform 'nosuch' (known: first, second, headless)");
    EXPECT_EQ(UsageError({"3dtidewell", "/s"}, "nosuch"), "unknown platform 'nosuch' (known: first, second, headless)");
    EXPECT_EQ(UsageError({"3dtidewell", "/s", "--platform"}, nullptr), "--platform needs a name: first, second, headless");
    EXPECT_EQ(UsageError({"3dtidewell", "--platform=", "/s"}, nullptr), "--platform needs a name: first, second, headless");
}

TEST(PlatformChoice, StartsTheNamedOneOrTheFirstOfferedThatConnectsAndSaysWhyNot) {
    Args args{"3dtidewell", "/s"};
    reachable = {{"first", true}, {"second", true}, {"headless", true}};
    offered = true;
    EXPECT_EQ(TPlatformChoice(List(), args, nullptr).Start().Name(), "first");
    offered = false;  // its server's variable is not set
    EXPECT_EQ(TPlatformChoice(List(), args, nullptr).Start().Name(), "second");
    offered = true;
    reachable["first"] = false;  // offered, but it cannot connect: the next one
    TPlatformChoice fallen(List(), args, nullptr);
    EXPECT_EQ(fallen.Start().Name(), "second");
    EXPECT_EQ(&fallen.Start(), &fallen.Start());
    EXPECT_EQ(fallen.ForMessages(), &fallen.Start());

    // Only by name, and a named one that cannot start is not replaced by another.
    EXPECT_EQ(TPlatformChoice(List(), args, "headless").Start().Name(), "headless");
    TPlatformChoice named(List(), args, "first");
    EXPECT_EQ(named.ForMessages()->Name(), "first");
    try {
        named.Start();
        ADD_FAILURE() << "started";
    } catch (const EPlatformStart& e) {
        EXPECT_STREQ(e.what(), "platform first: cannot open display ':5'");
    }
    reachable["second"] = false;
    EXPECT_THROW(TPlatformChoice(List(), args, nullptr).Start(), EPlatformStart);
}

// The settings dialog's platform goes first in the automatic choice where it is offered (x11
// through XWayland on a Wayland session); a name the user gave wins, and one not offered is skipped.
TEST(PlatformChoice, TheDialogsPlatformFirstInTheAutomaticChoice) {
    Args args{"3dtidewell", "/c"};
    reachable = {{"first", true}, {"second", true}, {"headless", true}};
    offered = true;
    TPlatformChoice preferred(List(), args, nullptr);
    preferred.Prefer("second");
    EXPECT_EQ(preferred.Start().Name(), "second");
    TPlatformChoice named(List(), args, "first");
    named.Prefer("second");
    EXPECT_EQ(named.Start().Name(), "first");
    TPlatformChoice notOffered(List(), args, nullptr);
    notOffered.Prefer("headless");
    EXPECT_EQ(notOffered.Start().Name(), "first");
}

}  // namespace
