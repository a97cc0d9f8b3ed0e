#pragma once
// Reference counting shared by primitives, materials and textures, and the lists that hold
// one reference on each item.
#include <cstdint>
#include <string>
#include <vector>

#include "app/exception.h"

// The run-time list's index error, "List index out of bounds (%d)".
class EListError : public Exception {
public:
    using Exception::Exception;
};

[[noreturn]] void RaiseListIndexError(std::int32_t index);

class TGLItemList {
public:
    TGLItemList() = default;
    TGLItemList(const TGLItemList&) = delete;
    TGLItemList& operator=(const TGLItemList&) = delete;

    std::int32_t RefCount() const { return refCount_; }
    std::int32_t AddRef() { return ++refCount_; }
    // The last release frees the item; do not touch it after a result of 0.
    std::int32_t Release() {
        const std::int32_t count = --refCount_;
        if (count <= 0) delete this;
        return count;
    }

    // An item in no list is freed by its owner; one in lists by the last Release.
    virtual ~TGLItemList() = default;

private:
    std::int32_t refCount_ = 0;
};

// An ordered list holding one reference on each item; Clear releases them first to last.
template <typename Item>
class TGLRefList {
public:
    explicit TGLRefList(const char* nilMessage) : nilMessage_(nilMessage) {}
    ~TGLRefList() { Clear(); }
    TGLRefList(const TGLRefList&) = delete;
    TGLRefList& operator=(const TGLRefList&) = delete;

    void Add(Item* item) {
        if (item == nullptr) throw Exception(nilMessage_);
        items_.push_back(item);
        item->AddRef();
    }
    void Clear() {
        std::vector<Item*> items;
        items.swap(items_);
        for (Item* item : items) item->Release();
    }
    Item* Get(std::int32_t index) const {
        if (index < 0 || index >= Count()) RaiseListIndexError(index);
        return items_[static_cast<std::size_t>(index)];
    }
    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }

private:
    const char* nilMessage_;
    std::vector<Item*> items_;
};
