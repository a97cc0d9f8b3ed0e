#pragma once
// The looping bubbling sound, played from the program's embedded wave "SBUBLES".
#include <cstdint>
#include <functional>
#include <string>

constexpr std::uint32_t kSndAsync = 0x0001;
constexpr std::uint32_t kSndNoDefault = 0x0002;
constexpr std::uint32_t kSndLoop = 0x0008;
constexpr std::uint32_t kSndNoStop = 0x0010;
constexpr std::uint32_t kSndPurge = 0x0040;
constexpr std::uint32_t kSndResource = 0x00040004;
constexpr std::uint32_t kBubblesFlags = kSndResource | kSndAsync | kSndNoDefault | kSndLoop | kSndNoStop;
constexpr const char* kBubblesResource = "SBUBLES";

// PlaySoundA's contract: a resource name with flags, or no name to stop (kSndPurge). Playing a
// missing resource or without an audio device is silent; the player never raises for that.
class ISoundPlayer {
public:
    virtual ~ISoundPlayer() = default;
    virtual void Play(const char* name, std::uint32_t flags) = 0;
};

class TSound {
public:
    explicit TSound(ISoundPlayer& player) : player_(player) {}

    // Shows an error that escaped ApplySound: no owner window, the application title followed
    // by " Screen Saver Error!" as caption, an error icon.
    std::function<void(const std::string& message)> ShowError;

    void PlayBubbles();
    void StopSound();
    // Plays or stops as the option says; an error other than a silent abort is shown and
    // switches the option off.
    void ApplySound(bool& soundEnabled);

private:
    ISoundPlayer& player_;
};
