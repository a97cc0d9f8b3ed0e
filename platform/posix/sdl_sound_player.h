#pragma once
// Sound on Linux: the embedded wave (MS ADPCM) is decoded by SDL2 from memory and looped on
// the default audio device from SDL's audio thread. SDL is loaded by name on the first sound.
// No device, no SDL or no resource: silence, as PlaySoundA with kSndNoDefault gives.
// Play returns at once, as PlaySoundA with SND_ASYNC does: loading SDL, decoding and opening the
// device (10-15 ms) go on a thread of their own, so the saver's first frame does not wait for
// them. Every other call waits for that start to finish first.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "form/sound.h"

// The program's name in the desktop's sound mixer.
inline constexpr char kSoundApplicationName[] = "3D Tidewell";

class TSdlSoundPlayer final : public ISoundPlayer {
public:
    using Lookup = std::function<std::string_view(const std::string& name)>;
    explicit TSdlSoundPlayer(Lookup lookup) : lookup_(std::move(lookup)) {}
    ~TSdlSoundPlayer() override;
    TSdlSoundPlayer(const TSdlSoundPlayer&) = delete;
    TSdlSoundPlayer& operator=(const TSdlSoundPlayer&) = delete;

    void Play(const char* name, std::uint32_t flags) override;

    bool Playing() const;
    // Decoded bytes and the position the audio thread reached (for tests).
    std::size_t DecodedBytes() const;
    std::size_t Position() const;

private:
    static void Fill(void* self, std::uint8_t* stream, int length);
    void Start(std::string_view data, std::uint32_t flags);
    void FinishStarting() const;
    void Stop();

    Lookup lookup_;
    std::uint32_t device_ = 0;
    bool audioInitialised_ = false;
    std::vector<std::uint8_t> pcm_;
    std::size_t position_ = 0;
    bool loop_ = false;
    std::uint8_t silence_ = 0;
    // Sets the members above while it runs; joined before anything reads them.
    mutable std::thread starter_;
};
