#include <gtest/gtest.h>

#include <stdexcept>

#include "app/application.h"
#include "form/sound.h"

namespace {

class FakePlayer final : public ISoundPlayer {
public:
    std::vector<std::string> calls;
    bool throwAbort = false;
    bool throwError = false;
    void Play(const char* name, std::uint32_t flags) override {
        calls.push_back(std::string(name ? name : "-") + " " + std::to_string(flags));
        if (name && throwAbort) throw EAbort();
        if (name && throwError) throw std::runtime_error("no sound device");
    }
};

TEST(TSound, PlayRestartsTheLoopFromTheResourceAndStopPurges) {
    EXPECT_EQ(kBubblesFlags, 262175u);
    FakePlayer player;
    TSound sound(player);
    bool enabled = true;
    sound.ApplySound(enabled);
    sound.ApplySound(enabled);  // clicking twice restarts from the beginning
    enabled = false;
    sound.ApplySound(enabled);
    EXPECT_EQ(player.calls, (std::vector<std::string>{"- 64", "SBUBLES 262175", "- 64", "SBUBLES 262175", "- 64"}));
}

TEST(TSound, ErrorsTurnTheOptionOffExceptASilentAbort) {
    FakePlayer player;
    TSound sound(player);
    std::vector<std::string> shown;
    sound.ShowError = [&](const std::string& m) { shown.push_back(m); };
    bool enabled = true;
    player.throwAbort = true;
    sound.ApplySound(enabled);
    EXPECT_TRUE(enabled);
    EXPECT_TRUE(shown.empty());
    player.throwAbort = false;
    player.throwError = true;
    sound.ApplySound(enabled);
    EXPECT_FALSE(enabled);
    EXPECT_EQ(shown, std::vector<std::string>{"no sound device"});
}

}  // namespace
