#include "platform/posix/sdl_sound_player.h"

#include <SDL2/SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstring>

namespace {

void Quiet(const char*, int, const char*, int, const char*, ...) {}

// Without a sound card ALSA prints its failures on the error stream, several lines on every
// start. SDL opens libasound itself; the copy loaded here, kept for the process, is the same one.
void SilenceAlsa() {
    static bool done = false;
    if (done) return;
    done = true;
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
    if (!alsa) return;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    if (auto set = reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler"))) set(&Quiet);
}

}  // namespace

TSdlSoundPlayer::~TSdlSoundPlayer() {
    Stop();
    if (audioInitialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void TSdlSoundPlayer::Stop() {
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    device_ = 0;
    pcm_.clear();
    position_ = 0;
}

std::size_t TSdlSoundPlayer::Position() const {
    if (device_ == 0) return 0;
    SDL_LockAudioDevice(device_);
    const auto position = position_;
    SDL_UnlockAudioDevice(device_);
    return position;
}

void TSdlSoundPlayer::Fill(void* self, std::uint8_t* stream, int length) {
    auto& player = *static_cast<TSdlSoundPlayer*>(self);
    auto remaining = static_cast<std::size_t>(length);
    while (remaining > 0) {
        if (player.position_ >= player.pcm_.size()) {
            if (!player.loop_ || player.pcm_.empty()) {
                std::memset(stream, player.silence_, remaining);
                return;
            }
            player.position_ = 0;
        }
        const auto n = std::min(remaining, player.pcm_.size() - player.position_);
        std::memcpy(stream, player.pcm_.data() + player.position_, n);
        player.position_ += n;
        stream += n;
        remaining -= n;
    }
}

void TSdlSoundPlayer::Play(const char* name, std::uint32_t flags) {
    if (name == nullptr) {
        if (flags & kSndPurge) Stop();
        return;
    }
    if ((flags & kSndNoStop) && Playing()) return;
    Stop();
    const auto data = lookup_ ? lookup_(name) : std::string_view();
    if (data.empty()) return;
    if (!audioInitialised_) {
        // SDL's own SIGINT/SIGTERM handlers would turn a kill into an event nobody reads.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        SilenceAlsa();
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
        audioInitialised_ = true;
    }
    SDL_AudioSpec wanted{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    SDL_RWops* source = SDL_RWFromConstMem(data.data(), static_cast<int>(data.size()));
    if (!source || !SDL_LoadWAV_RW(source, 1, &wanted, &buffer, &length)) return;
    pcm_.assign(buffer, buffer + length);
    SDL_FreeWAV(buffer);
    loop_ = (flags & kSndLoop) != 0;
    position_ = 0;
    silence_ = wanted.silence;
    wanted.callback = &TSdlSoundPlayer::Fill;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device_ == 0) {
        pcm_.clear();
        return;
    }
    silence_ = obtained.silence;
    SDL_PauseAudioDevice(device_, 0);
}
