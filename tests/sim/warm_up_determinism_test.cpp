#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <span>

#include "sim/bubbles.h"
#include "sim/fishes.h"
#include "sim/random.h"

namespace {

// FNV-1a over the bits of every live particle's position, rotation, velocity, age and lifetime.
std::uint64_t Checksum(const TParticles& ps, std::uint64_t hash) {
    for (const TParticle& p : std::span(ps.Items).first(ps.Count)) {
        const float values[] = {p.Position.x, p.Position.y, p.Position.z, p.Rotation.x, p.Rotation.y, p.Rotation.z,
                                p.Velocity.x, p.Velocity.y, p.Velocity.z, p.Age,        p.LifeTime};
        unsigned char bytes[sizeof values];
        std::memcpy(bytes, values, sizeof values);
        for (unsigned char byte : bytes) hash = (hash ^ byte) * 0x100000001B3ull;
    }
    return hash;
}

// Taken from the Linux build; the Windows build under Wine must give the same, which shows that
// both targets start and move every particle with the same bits.
constexpr std::uint64_t kGoldenWarmUp = 0xF4E5DB5F3D4A3AA1ull;

TEST(WarmUpDeterminism, SeedSevenWarmUpGivesTheSameParticlesOnEveryTarget) {
    // As in the program: seed 7, the table filled at start, seed 7 again when the scene starts.
    RandomSeed = 7;
    FillRandomTable();
    RandomSeed = 7;

    TFixedWindowSize window(1024, 768);
    TBubbles bubbles(window);
    TFishes centropyge(window), chelmon(window), zebrasoma(window);
    TFishes* species[] = {&centropyge, &chelmon, &zebrasoma};
    for (TFishes* f : species) {
        f->DepthMin = 500, f->DepthMax = 10000, f->SpeedMin = 200, f->SpeedMax = 400;
        f->HeightMin = -2000, f->HeightMax = 2500, f->SpeciesShare = 100.0f / 3;
    }
    centropyge.DepthMin = 300, centropyge.DepthMax = 5000, centropyge.SpeedMin = 150, centropyge.SpeedMax = 300;

    WarmUpBubbles(bubbles, 200);
    std::int32_t applied = kNothingApplied;
    WarmUpFishes(species, 100, applied);
    ASSERT_EQ(bubbles.Count, 200);
    ASSERT_EQ(centropyge.Count + chelmon.Count + zebrasoma.Count, 100);

    std::uint64_t hash = Checksum(bubbles, 0xCBF29CE484222325ull);
    for (TFishes* f : species) hash = Checksum(*f, hash);
    EXPECT_EQ(hash, kGoldenWarmUp) << std::hex << "0x" << hash;
}

}  // namespace
