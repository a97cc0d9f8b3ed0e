#include "sim/fishes.h"

#include <cmath>

#include "app/exception.h"
#include "gl/vector_math.h"
#include "sim/portable_math.h"
#include "sim/random.h"

// Intermediate values are doubles (SSE on both targets, no contraction) and are rounded to
// 32-bit floats where the start rule stores them.

void TFishes::FitToView(Vector& v) const {
    const TViewShape view = ViewShapeOf(Window);
    const double h = std::fabs(PortableTan(static_cast<double>(DegToRad(FieldOfView)) / 2.0) * v.z);
    if (v.y > h)
        v.y = static_cast<float>(h);
    else if (v.y < -h)
        v.y = static_cast<float>(-h);
    v.x = static_cast<float>(v.x + v.x * h * view.Width / view.Height);
}

void TFishes::InitParticle(TParticle& fish) {
    const double depthMin = DepthMin;
    const double s = SpeciesShare;

    // The band's far end: a third of the way to DepthMax for the first fish of three species,
    // all the way once the species holds about a third of the fish.
    const auto g = static_cast<float>(depthMin + (static_cast<double>(DepthMax) - depthMin) * (0.5 * s + Count) / (1.5 * s));

    const double r1 = TableNext();
    fish.Position.z = static_cast<float>(-(depthMin + r1 * (g - depthMin)));
    const double r2 = TableNext();
    const auto speed = static_cast<float>(SpeedMin + r2 * (static_cast<double>(SpeedMax) - SpeedMin));
    const double r3 = TableNext();
    fish.Position.y = static_cast<float>(HeightMin + r3 * (static_cast<double>(HeightMax) - HeightMin));
    fish.Position.x = -1.0f;
    FitToView(fish.Position);

    // Aim half-way from the fish's depth to the middle of the band, beyond the right edge.
    const auto m = static_cast<float>(-(depthMin + (g - depthMin) * 0.5));
    Vector t;
    t.z = static_cast<float>(m - (static_cast<double>(m) - fish.Position.z) * 0.5);
    t.y = fish.Position.y;
    t.x = 1.0f;
    FitToView(t);
    // Inside the view at both ends of the path.
    if (std::fabs(fish.Position.y) > std::fabs(t.y)) fish.Position.y = t.y;

    const double dz = static_cast<double>(t.z) - fish.Position.z;
    const float a = dz == 0.0 ? 0.0f : static_cast<float>(PortableAtan(dz / (static_cast<double>(t.x) - fish.Position.x)));
    const double cosA = PortableCos(a);
    const double sinA = PortableSin(a);

    fish.Velocity = {static_cast<float>(speed * cosA), 0.0f, static_cast<float>(speed * sinA)};
    fish.Rotation = {0.0f, -RadToDeg(a), 0.0f};
    fish.Spin = {0.0f, 0.0f, 0.0f};
    fish.Age = 0.0f;

    const double leadX = LeadDistance * cosA;
    const double leadZ = LeadDistance * sinA;
    fish.Position.x = static_cast<float>(fish.Position.x - leadX);
    fish.Position.z = static_cast<float>(fish.Position.z - leadZ);
    t.x = static_cast<float>(t.x + leadX);
    t.z = static_cast<float>(t.z + leadZ);

    fish.LifeTime = static_cast<float>(std::fabs(static_cast<double>(t.x) - fish.Position.x) / fish.Velocity.x);
}

namespace {

void RequireContainers(std::span<TFishes* const> species) {
    for (TFishes* fishes : species)
        if (fishes == nullptr) throw Exception("ApplyFishCount error: species without a fish container!");
}

}  // namespace

void ApplyFishCount(std::span<TFishes* const> species, std::int32_t fishCount, std::int32_t& appliedFishCount) {
    RequireContainers(species);
    const auto s = static_cast<std::int32_t>(species.size());
    if (s <= 0 || appliedFishCount == fishCount) return;
    appliedFishCount = fishCount;
    if (s == 1) {
        species[0]->SetCount(fishCount);
        return;
    }
    const std::int32_t a = fishCount / s;
    species[0]->SetCount(fishCount - (s - 1) * a);
    for (std::int32_t i = 1; i < s; ++i) species[i]->SetCount(a);
}

void WarmUpFishes(std::span<TFishes* const> species, std::int32_t fishCount, std::int32_t& appliedFishCount) {
    ApplyFishCount(species, fishCount, appliedFishCount);
    for (int step = 0; step < kWarmUpSteps; ++step)
        for (TFishes* fishes : species) fishes->Update(kWarmUpStep);
}
