#pragma once
// TTank: one aquarium's living part, the fish of every species and the bubbles, spread over the
// view it is seen in. Each monitor with an aquarium of its own has one; the assets they are drawn
// with are shared (aquarium_assets.h).
#include <cstdint>
#include <memory>
#include <vector>

#include "scene/scene_settings.h"
#include "sim/bubbles.h"
#include "sim/drawing_window_size.h"
#include "sim/fishes.h"

// What a tank's shoal and bubbles are made with, from the settings when the scene is built.
struct TTankRanges {
    std::vector<TFishRanges> Species;
    TBubbleRanges Bubbles;
};
TTankRanges TankRanges(const TSceneSettings& settings);

// The size a tank's fish and bubbles spread over: the window it fills, read at every start, or a
// fixed extent (its view's whole, or the size a window about to be drawn into will have).
class TTankSize final : public TDrawingWindowSize {
public:
    const TDrawingWindowSize* Window = nullptr;
    std::int32_t Width = 0, Height = 0;
    std::int32_t ClientWidth() const override { return Window ? Window->ClientWidth() : Width; }
    std::int32_t ClientHeight() const override { return Window ? Window->ClientHeight() : Height; }
};

class TTank {
public:
    explicit TTank(const TTankRanges& ranges);
    TTank(const TTank&) = delete;
    TTank& operator=(const TTank&) = delete;

    // The fish and bubbles hold on to it: set it, never replace it.
    TTankSize Size;

    std::int32_t SpeciesCount() const { return static_cast<std::int32_t>(fishes_.size()); }
    TFishes& Fishes(std::int32_t species) { return *fishes_.at(static_cast<std::size_t>(species)); }
    const TFishes& Fishes(std::int32_t species) const { return *fishes_.at(static_cast<std::size_t>(species)); }
    TBubbles& Bubbles() { return bubbles_; }
    const TBubbles& Bubbles() const { return bubbles_; }
    std::int32_t AppliedFishCount() const { return appliedFishCount_; }

    // The start's long run of steps, bubbles first, to the given counts.
    void WarmUp(std::int32_t fishCount, std::int32_t bubbleCount);
    // Counts changed since the last frame take effect.
    void ApplyCounts(std::int32_t fishCount, std::int32_t bubbleCount);
    void Step(float dt);

private:
    std::vector<std::unique_ptr<TFishes>> fishes_;
    std::vector<TFishes*> containers_;  // fishes_ as the count logic takes them, gathered once
    TBubbles bubbles_{Size};
    std::int32_t appliedFishCount_ = kNothingApplied;
};
