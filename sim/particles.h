#pragma once
// A fixed-capacity particle system shared by the fish and the bubbles: up to 200 particles
// held inside the container, advanced by forward Euler steps, restarted through a virtual hook
// when their age passes their lifetime, and handed out sorted by depth for drawing.
#include <array>
#include <cstdint>
#include <vector>

#include "gl/types.h"

class TParticles;

// Before the first frame in a window the fish and the bubbles are advanced 5001 steps of 0.25 s
// (1250.25 simulated seconds), so they are spread over their paths in the first picture.
inline constexpr int kWarmUpSteps = 5001;
inline constexpr float kWarmUpStep = 0.25f;

struct TParticle {
    Vector Position{};
    Vector Rotation{};  // degrees about x, y and z
    Vector Velocity{};  // units per second
    Vector Spin{};      // degrees per second
    Vector PreviousPosition{};
    Vector PreviousRotation{};
    bool HasPrevious = false;
    float Age = 0.0f;
    float LifeTime = 0.0f;
    TParticles* Owner = nullptr;
};

class TParticles {
public:
    static constexpr std::int32_t kCapacity = 200;

    TParticles();
    virtual ~TParticles();
    // Owner references and the sort list point into the container itself.
    TParticles(const TParticles&) = delete;
    TParticles& operator=(const TParticles&) = delete;

    // Gives one particle a new start; nothing here, the fish and the bubbles override it.
    virtual void InitParticle(TParticle& particle);
    // Advances one particle by TimeStep.
    virtual void MoveParticle(TParticle& particle);

    void Update(float dt);
    // Clamps n to 0 .. 200. New records are started in ascending order while Count still
    // holds the old value; shrinking keeps the data of the records above the new count.
    void SetCount(std::int32_t n);
    void Clear();
    // Rebuilds the depth-sorted view (ascending z: farthest first) from the live particles.
    void Sort();
    // A copy of the i-th particle in depth order; valid after Sort while Count is unchanged.
    TParticle SortItems(std::int32_t i) const;

    std::int32_t Count = 0;
    float Gravity = 0.0f;
    bool KeepPrevious = false;
    bool UseGravity = false;
    float TimeStep = 0.0f;
    float GravityStep = 0.0f;
    std::vector<TParticle*> SortList;
    std::array<TParticle, kCapacity> Items{};
};
