// libFuzzer target: the scene description file, read as profile text and applied to the
// scene's settings, and the value conversions on the raw text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/exception.h"
#include "scene/scene_description.h"

namespace {
class NoPriority final : public IProcessPriority {
public:
    void SetNormal() override {}
    void SetHigh() override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    TProfileText profile(text);
    TSceneSettings settings{};
    NoPriority priority;
    SetSceneDefaults(settings, priority);
    bool logFile = false;
    try {
        ReadSceneDescription(profile, settings, logFile, priority);
    } catch (const Exception&) {
    }
    // The scene sizes its species slots by this.
    if (settings.SpeciesCount < 0 || settings.SpeciesCount > kMaxSpecies) __builtin_trap();
    (void)ParseReal(text);
    (void)ParseInteger(text);
    try {
        (void)ParseColour(text, Colour{});
    } catch (const Exception&) {
    }
    return 0;
}
