// The Linux player decodes an MS ADPCM wave from memory and loops it; SDL's dummy audio driver
// stands in for a sound card.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/posix/sdl_sound_player.h"
#include "form/sound.h"

namespace {

void Put16(std::string& s, unsigned v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, unsigned v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// Stereo MS ADPCM at 11025 Hz, block align 512, 500 samples per block, like the saver's sound.
std::string AdpcmWave(int blocks) {
    static const int coefficients[7][2] = {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}};
    std::string fmt;
    Put16(fmt, 2);      // MS ADPCM
    Put16(fmt, 2);      // channels
    Put32(fmt, 11025);  // sample rate
    Put32(fmt, 11155);  // average bytes per second
    Put16(fmt, 512);    // block align
    Put16(fmt, 4);      // bits per sample
    Put16(fmt, 32);     // extra size
    Put16(fmt, 500);    // samples per block
    Put16(fmt, 7);
    for (const auto& c : coefficients) {
        Put16(fmt, static_cast<unsigned>(c[0]) & 0xFFFF);
        Put16(fmt, static_cast<unsigned>(c[1]) & 0xFFFF);
    }
    std::string data;
    for (int b = 0; b < blocks; ++b) {
        std::string block;
        block += '\0';
        block += '\0';                      // predictors
        Put16(block, 16), Put16(block, 16);  // deltas
        Put16(block, 0), Put16(block, 0);    // sample 1
        Put16(block, 0), Put16(block, 0);    // sample 2
        block.resize(512, '\x11');
        data += block;
    }
    std::string wave = "WAVE";
    wave += "fmt ";
    Put32(wave, static_cast<unsigned>(fmt.size()));
    wave += fmt;
    wave += "fact";
    Put32(wave, 4);
    Put32(wave, static_cast<unsigned>(500 * blocks));
    wave += "data";
    Put32(wave, static_cast<unsigned>(data.size()));
    wave += data;
    std::string riff = "RIFF";
    Put32(riff, static_cast<unsigned>(wave.size()));
    return riff + wave;
}

TEST(SdlSoundPlayer, DecodesAndLoopsTheEmbeddedWaveAndIsSilentWithoutIt) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const std::string wave = AdpcmWave(2);
    TSdlSoundPlayer player([&](const std::string& name) -> std::string_view {
        return name == "SBUBLES" ? std::string_view(wave) : std::string_view();
    });
    TSound sound(player);
    bool enabled = true;
    sound.ApplySound(enabled);
    if (!player.Playing()) GTEST_SKIP() << "no SDL audio, not even the dummy driver";
    EXPECT_TRUE(enabled);
    EXPECT_EQ(player.DecodedBytes(), 1000u * 2u * 2u);  // 16-bit stereo samples
    // The desktop's mixer lists the stream under the program's name.
    if (void* sdl = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_NOLOAD)) {
        const auto getHint = reinterpret_cast<const char* (*)(const char*)>(dlsym(sdl, "SDL_GetHint"));
        ASSERT_NE(getHint, nullptr);
        for (const char* hint : {"SDL_APP_NAME", "SDL_AUDIO_DEVICE_APP_NAME"}) {
            const char* name = getHint(hint);
            EXPECT_STREQ(name ? name : "", "3D Tidewell") << hint;
        }
        dlclose(sdl);
    }
    // The dummy device consumes the buffer in real time; a looping sound keeps going.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(player.Playing());
    EXPECT_LE(player.Position(), player.DecodedBytes());
    sound.StopSound();
    EXPECT_FALSE(player.Playing());

    TSdlSoundPlayer silent([](const std::string&) { return std::string_view(); });
    silent.Play(kBubblesResource, kBubblesFlags);
    EXPECT_FALSE(silent.Playing());
    TSdlSoundPlayer garbage([](const std::string&) { return std::string_view("RIFF nonsense"); });
    garbage.Play(kBubblesResource, kBubblesFlags);
    EXPECT_FALSE(garbage.Playing());
}

}  // namespace
