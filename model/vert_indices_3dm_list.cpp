#include "model/vert_indices_3dm_list.h"

#include "model/t3dm_lists.h"

TVertIndices3DMList::TVertIndices3DMList(std::int32_t vertexCount) : vertexCount_(vertexCount > 0 ? vertexCount : 0) {}

std::int32_t TVertIndices3DMList::IndexOfCorner(std::int32_t vertex, std::int32_t texCoord, std::int32_t color) {
    if (vertex < 1 || vertex > vertexCount_) RaiseListIndexError(vertex);
    const std::uint64_t key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(vertex)) << 32) |
                              static_cast<std::uint32_t>(texCoord);
    const auto [it, added] = merged_.try_emplace(key, nextIndex_);
    if (!added) return it->second;
    try {
        entries_.push_back({vertex, nextIndex_, texCoord, color});
    } catch (...) {
        merged_.erase(it);
        throw;
    }
    return nextIndex_++;
}

TVertIndex3DM TVertIndices3DMList::Items(std::int32_t index) const {
    if (index < 0 || index >= Count()) RaiseListIndexError(index);
    return entries_[static_cast<std::size_t>(index)];
}

void TVertIndices3DMList::Clear() {
    merged_.clear();
    entries_.clear();
    nextIndex_ = 0;
}
