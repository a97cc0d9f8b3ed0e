#pragma once
// The looping bubbling sound, played from the program's embedded wave "SBUBLES".
#include <cstdint>
#include <functional>
#include <string>

constexpr std::uint32_t SND_ASYNC = 0x0001;
constexpr std::uint32_t SND_NODEFAULT = 0x0002;
constexpr std::uint32_t SND_LOOP = 0x0008;
constexpr std::uint32_t SND_NOSTOP = 0x0010;
constexpr std::uint32_t SND_PURGE = 0x0040;
constexpr std::uint32_t SND_RESOURCE = 0x00040004;
constexpr std::uint32_t kBubblesFlags = SND_RESOURCE | SND_ASYNC | SND_NODEFAULT | SND_LOOP | SND_NOSTOP;
constexpr const char* kBubblesResource = "SBUBLES";

// PlaySoundA's contract: a resource name with flags, or no name to stop (SND_PURGE). Playing a
// missing resource or without an audio device is silent; the player never raises for that.
class ISoundPlayer {
public:
    virtual ~ISoundPlayer() = default;
    virtual void PlaySound(const char* name, std::uint32_t flags) = 0;
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
