#pragma once
// Key-frame animation: the clock (TAnimation), keys sorted by time (TKeyAnimation), the tie to
// one primitive and the vertex blend (TGLVertexAnimation), and a list driven by one time.
// Times are extended-precision seconds.
#include <cstdint>
#include <memory>
#include <vector>

#include "gl/arrays.h"
#include "gl/primitive.h"

class TAnimation {
public:
    TAnimation() = default;
    virtual ~TAnimation() = default;
    TAnimation(const TAnimation&) = delete;
    TAnimation& operator=(const TAnimation&) = delete;

    long double CurrentTime = -1.0L;  // -1 forces the first update
    long double StartTime = 0.0L;
    long double EndTime = 0.0L;
    bool Loop = false;
    long double StartedAt = 0.0L;
    bool Stopped = true;

    void Start(long double t);
    // Called whenever CurrentTime changes.
    virtual void Update() = 0;
    // Global time t: nothing while stopped; else local time, clamped or wrapped, and Update
    // when it changed. A looping span of 0 counts as local time 0.
    virtual void SetTime(long double t);
};

class TAnimationKey {
public:
    virtual ~TAnimationKey() = default;
    long double Time = 0.0L;
};

class TGLVertexKey : public TAnimationKey {
public:
    TGLVectorDArray Vertices;
};

class TKeyAnimation : public TAnimation {
public:
    // Picks the key pair around CurrentTime and interpolates.
    void Update() override;
    // Nothing without keys.
    void SetTime(long double t) override;
    virtual void Interpolate(TAnimationKey* a, TAnimationKey* b, long double fraction) = 0;
    // Takes the key, sets its time and inserts it in time order; returns it.
    virtual TAnimationKey* Add(std::unique_ptr<TAnimationKey> key, long double time);
    virtual void Delete(std::int32_t index);

    TAnimationKey* GetKey(std::int32_t index) const;
    std::int32_t KeyCount() const { return static_cast<std::int32_t>(keys_.size()); }
    // The last key whose time is at most t (the first of equal ones); 0 before the first key.
    std::int32_t IndexByTime(long double t) const;

private:
    std::vector<std::unique_ptr<TAnimationKey>> keys_;
};

class TGLPrimiteveItemsAnimation : public TKeyAnimation {
public:
    TGLPrimitive* Primitive = nullptr;  // not owned
};

class TGLVertexAnimation : public TGLPrimiteveItemsAnimation {
public:
    // A new vertex key at time; fill the returned (empty) vertices.
    TGLVectorDArray& AddVertexKey(long double time);
    void Interpolate(TAnimationKey* a, TAnimationKey* b, long double fraction) override;
};

class TAnimationList {
public:
    TAnimationList() = default;
    TAnimationList(const TAnimationList&) = delete;
    TAnimationList& operator=(const TAnimationList&) = delete;

    long double Time() const { return time_; }
    // The list owns the animation from now on.
    TAnimation* Add(std::unique_ptr<TAnimation> animation);
    void Clear() { items_.clear(); }
    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
    TAnimation* Get(std::int32_t index) const;
    void Start(long double t);
    void SetTime(long double t);

private:
    std::vector<std::unique_ptr<TAnimation>> items_;
    long double time_ = 0.0L;
};
