#include "sim/particles.h"

#include <algorithm>
#include <cmath>

#include "app/exception.h"

TParticles::TParticles() {
    for (TParticle& p : Items) p.Owner = this;
    SortList.reserve(kCapacity);
}

TParticles::~TParticles() { Clear(); }

void TParticles::InitParticle(TParticle&) {}

void TParticles::MoveParticle(TParticle& p) {
    if (KeepPrevious) {
        p.HasPrevious = true;
        p.PreviousPosition = p.Position;
        p.PreviousRotation = p.Rotation;
    }
    p.Position.x = p.Position.x + p.Velocity.x * TimeStep;
    p.Position.y = p.Position.y + p.Velocity.y * TimeStep;
    p.Position.z = p.Position.z + p.Velocity.z * TimeStep;
    p.Rotation.x = p.Rotation.x + p.Spin.x * TimeStep;
    p.Rotation.y = p.Rotation.y + p.Spin.y * TimeStep;
    p.Rotation.z = p.Rotation.z + p.Spin.z * TimeStep;
    if (UseGravity) p.Velocity.y = p.Velocity.y - GravityStep;
}

void TParticles::Update(float dt) {
    TimeStep = dt;
    if (UseGravity) GravityStep = Gravity * dt;
    for (std::int32_t i = 0; i < Count; ++i) {
        TParticle& p = Items[i];
        p.Age = p.Age + dt;
        // Strictly greater: a particle whose age just reaches its lifetime still moves once.
        if (p.Age > p.LifeTime)
            InitParticle(p);
        else
            MoveParticle(p);
    }
}

void TParticles::SetCount(std::int32_t n) {
    n = std::clamp(n, 0, kCapacity);
    // Count keeps the old value during the starts: the fish start rule reads it.
    for (std::int32_t i = Count; i < n; ++i) InitParticle(Items[i]);
    Count = n;
}

void TParticles::Clear() { Count = 0; }

void TParticles::Sort() {
    if (Count == 0) return;
    SortList.resize(static_cast<std::size_t>(Count));
    for (std::int32_t i = 0; i < Count; ++i) SortList[i] = &Items[i];
    // A NaN depth sorts last: std::sort needs a strict weak order and may run off the list
    // without one.
    std::sort(SortList.begin(), SortList.end(), [](const TParticle* a, const TParticle* b) {
        const float za = a->Position.z, zb = b->Position.z;
        if (std::isnan(za)) return false;
        return std::isnan(zb) || za < zb;
    });
}

TParticle TParticles::SortItems(std::int32_t i) const {
    if (SortList.size() != static_cast<std::size_t>(Count)) throw Exception("TParticles error: SortItems is not sorted!");
    if (i < 0 || i >= Count) throw Exception("TParticles error: SortItems index out of bounds!");
    return *SortList[static_cast<std::size_t>(i)];
}
