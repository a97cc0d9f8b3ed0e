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

// SDL is opened by name on the first sound, so a saver that plays none (or the settings
// dialog before its sound box is ticked) never maps SDL and the audio libraries it brings.
struct TSdlAudio {
    decltype(&SDL_SetHint) SetHint = nullptr;
    decltype(&SDL_InitSubSystem) InitSubSystem = nullptr;
    decltype(&SDL_QuitSubSystem) QuitSubSystem = nullptr;
    decltype(&SDL_RWFromConstMem) RWFromConstMem = nullptr;
    decltype(&SDL_LoadWAV_RW) LoadWAV_RW = nullptr;
    decltype(&SDL_FreeWAV) FreeWAV = nullptr;
    decltype(&SDL_OpenAudioDevice) OpenAudioDevice = nullptr;
    decltype(&SDL_PauseAudioDevice) PauseAudioDevice = nullptr;
    decltype(&SDL_CloseAudioDevice) CloseAudioDevice = nullptr;
    decltype(&SDL_LockAudioDevice) LockAudioDevice = nullptr;
    decltype(&SDL_UnlockAudioDevice) UnlockAudioDevice = nullptr;
};

template <typename F>
bool Resolve(void* library, const char* name, F& entry) {
    entry = reinterpret_cast<F>(dlsym(library, name));
    return entry != nullptr;
}

// Null when the library or one of its entries is missing: the saver is then silent.
const TSdlAudio* SdlAudio() {
    static const TSdlAudio* loaded = [] () -> const TSdlAudio* {
        void* library = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!library) return nullptr;  // kept for the process: SDL's audio thread runs its code
        static TSdlAudio api;
        const bool complete = Resolve(library, "SDL_SetHint", api.SetHint) &&
                              Resolve(library, "SDL_InitSubSystem", api.InitSubSystem) &&
                              Resolve(library, "SDL_QuitSubSystem", api.QuitSubSystem) &&
                              Resolve(library, "SDL_RWFromConstMem", api.RWFromConstMem) &&
                              Resolve(library, "SDL_LoadWAV_RW", api.LoadWAV_RW) &&
                              Resolve(library, "SDL_FreeWAV", api.FreeWAV) &&
                              Resolve(library, "SDL_OpenAudioDevice", api.OpenAudioDevice) &&
                              Resolve(library, "SDL_PauseAudioDevice", api.PauseAudioDevice) &&
                              Resolve(library, "SDL_CloseAudioDevice", api.CloseAudioDevice) &&
                              Resolve(library, "SDL_LockAudioDevice", api.LockAudioDevice) &&
                              Resolve(library, "SDL_UnlockAudioDevice", api.UnlockAudioDevice);
        return complete ? &api : nullptr;
    }();
    return loaded;
}

}  // namespace

TSdlSoundPlayer::~TSdlSoundPlayer() {
    Stop();
    if (audioInitialised_) SdlAudio()->QuitSubSystem(SDL_INIT_AUDIO);
}

void TSdlSoundPlayer::FinishStarting() const {
    if (starter_.joinable()) starter_.join();
}

bool TSdlSoundPlayer::Playing() const {
    FinishStarting();
    return device_ != 0;
}

std::size_t TSdlSoundPlayer::DecodedBytes() const {
    FinishStarting();
    return pcm_.size();
}

void TSdlSoundPlayer::Stop() {
    FinishStarting();
    if (device_ != 0) SdlAudio()->CloseAudioDevice(device_);
    device_ = 0;
    pcm_.clear();
    position_ = 0;
}

std::size_t TSdlSoundPlayer::Position() const {
    FinishStarting();
    if (device_ == 0) return 0;
    SdlAudio()->LockAudioDevice(device_);
    const auto position = position_;
    SdlAudio()->UnlockAudioDevice(device_);
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
    // The resource's bytes live as long as the program.
    starter_ = std::thread([this, data, flags] { Start(data, flags); });
}

void TSdlSoundPlayer::Start(std::string_view data, std::uint32_t flags) {
    const TSdlAudio* sdl = SdlAudio();
    if (!sdl) return;
    if (!audioInitialised_) {
        // SDL's own SIGINT/SIGTERM handlers would turn a kill into an event nobody reads.
        sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // The name the desktop's mixer shows for our stream (PulseAudio, PipeWire), instead of
        // SDL's default; the hints by name, as older SDL headers lack the constants.
        sdl->SetHint("SDL_APP_NAME", kSoundApplicationName);
        sdl->SetHint("SDL_AUDIO_DEVICE_APP_NAME", kSoundApplicationName);
        SilenceAlsa();
        if (sdl->InitSubSystem(SDL_INIT_AUDIO) != 0) return;
        audioInitialised_ = true;
    }
    SDL_AudioSpec wanted{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    SDL_RWops* source = sdl->RWFromConstMem(data.data(), static_cast<int>(data.size()));
    if (!source || !sdl->LoadWAV_RW(source, 1, &wanted, &buffer, &length)) return;
    pcm_.assign(buffer, buffer + length);
    sdl->FreeWAV(buffer);
    loop_ = (flags & kSndLoop) != 0;
    position_ = 0;
    silence_ = wanted.silence;
    wanted.callback = &TSdlSoundPlayer::Fill;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    device_ = sdl->OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device_ == 0) {
        pcm_.clear();
        return;
    }
    silence_ = obtained.silence;
    sdl->PauseAudioDevice(device_, 0);
}
