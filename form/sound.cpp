#include "form/sound.h"

#include <exception>

#include "app/application.h"

void TSound::PlayBubbles() {
    StopSound();
    player_.Play(kBubblesResource, kBubblesFlags);
}

void TSound::StopSound() { player_.Play(nullptr, kSndPurge); }

void TSound::ApplySound(bool& soundEnabled) {
    try {
        if (soundEnabled)
            PlayBubbles();
        else
            StopSound();
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        if (ShowError) ShowError(e.what());
        soundEnabled = false;
    }
}
