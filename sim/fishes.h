#pragma once
// The fish of one species: each swims in a straight line at constant speed and height from just
// left of the visible area to just right of it, drifting slightly in depth, then starts again on
// the left. The depth band of a species widens with the number of its fish.
//
// The scene owns one TFishes per species and drives them so:
//   assembly:   TFishes fishes(windowSize); set its Ranges (FieldOfView, SpeciesShare = 100 /
//               species, the species' depth, height and speed ranges);
//   warm-up:    WarmUpFishes(species, FishCount, AppliedFishCount), then start every species'
//               animation list at the current clock (engine work, not done here);
//   each frame: Update(dt); after the simulation step ApplyFishCount(...); before drawing Sort
//               and SortItems(0 .. Count-1).
#include <cstdint>
#include <span>

#include "sim/drawing_window_size.h"
#include "sim/particles.h"

// What the scene sets once at assembly: the field of view, the species' share of the fish and its
// depth, height and speed ranges. The defaults are those of a species slot without values.
struct TFishRanges {
    float DepthMin = 100.0f;
    float SpeedMax = 350.0f;
    float FieldOfView = 75.0f;
    float DepthMax = 6500.0f;
    float HeightMin = -2000.0f;
    float SpeedMin = 100.0f;
    float HeightMax = 2500.0f;
    float SpeciesShare = 100.0f;
};

class TFishes : public TParticles, public TFishRanges {
public:
    // Lead-in before the left edge and lead-out after the right edge, along the heading.
    static constexpr float LeadDistance = 1000.0f;

    // window must outlive the container.
    explicit TFishes(const TDrawingWindowSize& window) : Window(window) {}

    // Starts one fish on the left; draws three numbers (depth, speed, height) from the table.
    void InitParticle(TParticle& fish) override;
    // Clamps v.y into the visible half-height at the depth of v, then moves v.x = -1 (+1) to
    // one unit beyond the left (right) edge of the visible area at that depth.
    void FitToView(Vector& v) const;

    // All of them at once, so that another tank's shoal of the species gets every one.
    TFishRanges& Ranges() { return *this; }
    const TFishRanges& Ranges() const { return *this; }

private:
    const TDrawingWindowSize& Window;
};

// AppliedFishCount before the first application: no fish count equals it.
inline constexpr std::int32_t kNothingApplied = -1;

// Spreads fishCount over the species (the remainder goes to the first) when it differs from
// the count applied last; species must not hold null.
void ApplyFishCount(std::span<TFishes* const> species, std::int32_t fishCount, std::int32_t& appliedFishCount);

// The fish half of the warm-up: apply the count, then 5001 steps of 0.25 s, every species in
// order within each step (they share the random table, so the order matters).
void WarmUpFishes(std::span<TFishes* const> species, std::int32_t fishCount, std::int32_t& appliedFishCount);
