#include "gl/animation.h"

#include <cmath>
#include <new>

#include "gl/item_list.h"

namespace {

// Puts a line in front of the message of the exception being handled; the class stays.
[[noreturn]] void RethrowWithPrefix(const char* prefix) {
    try {
        throw;
    } catch (const EListError& e) {
        throw EListError(prefix + std::string(e.what()));
    } catch (const Exception& e) {
        throw Exception(prefix + std::string(e.what()));
    } catch (const std::bad_alloc&) {
        throw Exception(prefix + std::string("Out of memory"));
    }
}

}  // namespace

void TAnimation::Start(long double t) {
    StartedAt = t;
    Stopped = false;
}

void TAnimation::SetTime(long double t) {
    if (Stopped) return;
    t -= StartedAt;
    if (t < 0) t = 0;
    if (t == CurrentTime) return;
    if (Loop) {
        const long double span = EndTime - StartTime;
        // A zero span would divide by zero; every time is then the same single moment.
        t = span != 0 ? t - span * std::trunc(t / span) : 0.0L;
    } else if (t < StartTime) {
        t = StartTime;
    } else if (t >= EndTime) {
        t = EndTime;
        Stopped = true;
    }
    if (t != CurrentTime) {
        CurrentTime = t;
        Update();
    }
}

void TKeyAnimation::SetTime(long double t) {
    if (keys_.empty()) return;
    TAnimation::SetTime(t);
}

std::int32_t TKeyAnimation::IndexByTime(long double t) const {
    const std::int32_t count = KeyCount();
    if (count == 0) throw Exception("TKeyAnimation IndexByTime is failed\r\nKeyCount is Zero!");
    std::int32_t lo = 0, hi = count, mid = 0;
    while (lo < hi) {
        mid = (lo + hi) / 2;
        if (t > keys_[mid]->Time)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo < count && t < keys_[lo]->Time && lo > 0) return lo - 1;
    if (lo < count && t == keys_[lo]->Time) return lo;
    return mid;
}

void TKeyAnimation::Update() {
    const std::int32_t i = IndexByTime(CurrentTime);
    if (i == KeyCount() - 1) {
        Interpolate(keys_[i].get(), keys_[i].get(), 0);
        return;
    }
    TAnimationKey* a = keys_[i].get();
    TAnimationKey* b = keys_[i + 1].get();
    const long double d = b->Time - a->Time;
    if (d > 0)
        Interpolate(a, b, (CurrentTime - a->Time) / d);
    else
        Interpolate(a, a, 0);
}

TAnimationKey* TKeyAnimation::Add(std::unique_ptr<TAnimationKey> key, long double time) {
    if (!key) throw Exception("TKeyAnimation.Add error: Key is NIL!");
    try {
        key->Time = time;
        TAnimationKey* added = key.get();
        if (keys_.empty()) {
            keys_.push_back(std::move(key));
            return added;
        }
        const std::int32_t position = time < keys_.front()->Time ? 0 : IndexByTime(time) + 1;
        keys_.insert(keys_.begin() + position, std::move(key));
        if (time < StartTime) StartTime = time;
        if (time > EndTime) EndTime = time;
        return added;
    } catch (...) {
        RethrowWithPrefix("TKeyAnimation Add is failed!\r\n");
    }
}

void TKeyAnimation::Delete(std::int32_t index) {
    try {
        GetKey(index);
    } catch (...) {
        RethrowWithPrefix("TKeyAnimation Delete is failed!\r\n");
    }
    keys_.erase(keys_.begin() + index);
}

TAnimationKey* TKeyAnimation::GetKey(std::int32_t index) const {
    try {
        if (index < 0 || index >= KeyCount()) RaiseListIndexError(index);
    } catch (...) {
        RethrowWithPrefix("TKeyAnimation GetKey is failed!\r\n");
    }
    return keys_[static_cast<std::size_t>(index)].get();
}

TGLVectorDArray& TGLVertexAnimation::AddVertexKey(long double time) {
    auto* key = static_cast<TGLVertexKey*>(Add(std::make_unique<TGLVertexKey>(), time));
    return key->Vertices;
}

void TGLVertexAnimation::Interpolate(TAnimationKey* a, TAnimationKey* b, long double fraction) {
    if (Primitive == nullptr) return;
    auto* keyA = dynamic_cast<TGLVertexKey*>(a);
    auto* keyB = dynamic_cast<TGLVertexKey*>(b);
    if (keyA == nullptr || keyB == nullptr) throw Exception("Invalid class typecast");
    // The primitive's indices were made for its own vertex count: a key of another size would
    // leave them pointing past the vertices, or be read past its end.
    const std::int32_t count = Primitive->Vertices.Count();
    if (keyA->Vertices.Count() != count || keyB->Vertices.Count() != count)
        throw Exception("TDArray GetItem: index out of bounds.");
    if (keyA == keyB)
        keyA->Vertices.CopyTo(&Primitive->Vertices);
    else
        Primitive->InterpolateVertices(keyA->Vertices, keyB->Vertices, static_cast<float>(fraction));
}

TAnimation* TAnimationList::Add(std::unique_ptr<TAnimation> animation) {
    TAnimation* added = animation.get();
    if (added) items_.push_back(std::move(animation));
    return added;
}

TAnimation* TAnimationList::Get(std::int32_t index) const {
    if (index < 0 || index >= Count()) RaiseListIndexError(index);
    return items_[static_cast<std::size_t>(index)].get();
}

void TAnimationList::Start(long double t) {
    for (auto& item : items_) item->Start(t);
}

void TAnimationList::SetTime(long double t) {
    time_ = t;
    for (auto& item : items_) item->SetTime(t);
}
