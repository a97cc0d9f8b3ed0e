#include "scene/tank.h"

#include <algorithm>

TTankRanges TankRanges(const TSceneSettings& settings) {
    TTankRanges ranges;
    const int species = std::clamp(settings.SpeciesCount, 0, kMaxSpecies);
    for (int i = 0; i < species; ++i) {
        const TFishSpecies& slot = settings.Species[static_cast<std::size_t>(i)];
        ranges.Species.push_back({.DepthMin = slot.DepthMin,
                                  .SpeedMax = slot.SpeedMax,
                                  .FieldOfView = settings.FieldOfView,
                                  .DepthMax = slot.DepthMax,
                                  .HeightMin = slot.HeightMin,
                                  .SpeedMin = slot.SpeedMin,
                                  .HeightMax = slot.HeightMax,
                                  .SpeciesShare = 100.0f / static_cast<float>(species)});
    }
    ranges.Bubbles = {.DepthMin = settings.BubbleDepthMin,
                      .SpeedMax = settings.BubbleSpeedMax,
                      .SpeedMin = settings.BubbleSpeedMin,
                      .DepthMax = settings.BubbleDepthMax,
                      .SurfaceY = settings.SurfaceY,
                      .BottomY = settings.BottomY,
                      .FieldOfView = settings.FieldOfView};
    return ranges;
}

TTank::TTank(const TTankRanges& ranges) {
    for (const TFishRanges& species : ranges.Species) {
        fishes_.push_back(std::make_unique<TFishes>(Size));
        fishes_.back()->Ranges() = species;
        containers_.push_back(fishes_.back().get());
    }
    bubbles_.Ranges() = ranges.Bubbles;
}

void TTank::WarmUp(std::int32_t fishCount, std::int32_t bubbleCount) {
    WarmUpBubbles(bubbles_, bubbleCount);
    WarmUpFishes(containers_, fishCount, appliedFishCount_);
}

void TTank::ApplyCounts(std::int32_t fishCount, std::int32_t bubbleCount) {
    ApplyFishCount(containers_, fishCount, appliedFishCount_);
    ApplyBubbleCount(bubbles_, bubbleCount);
}

void TTank::Step(float dt) {
    bubbles_.Update(dt);
    for (TFishes* fishes : containers_) fishes->Update(dt);
}
