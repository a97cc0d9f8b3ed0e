#include "model/vert_indices_3dm_list.h"

#include "model/t3dm_lists.h"

TVertIndices3DMList::TVertIndices3DMList(std::int32_t vertexCount)
    : buckets_(static_cast<std::size_t>(vertexCount > 0 ? vertexCount : 0)) {}

std::int32_t TVertIndices3DMList::IndexOfCorner(std::int32_t vertex, std::int32_t texCoord, std::int32_t color) {
    const std::int64_t bucketIndex = static_cast<std::int64_t>(vertex) - 1;
    if (bucketIndex < 0 || bucketIndex >= static_cast<std::int64_t>(buckets_.size())) RaiseListIndexError(bucketIndex);
    std::vector<std::int32_t>& bucket = buckets_[static_cast<std::size_t>(bucketIndex)];
    for (const std::int32_t entry : bucket) {
        const TVertIndex3DM& record = entries_[static_cast<std::size_t>(entry)];
        if (record.TexCoordIndex == texCoord) return record.MergedIndex;
    }
    entries_.push_back({vertex, nextIndex_, texCoord, color});
    try {
        bucket.push_back(nextIndex_);
    } catch (...) {
        entries_.pop_back();
        throw;
    }
    return nextIndex_++;
}

TVertIndex3DM TVertIndices3DMList::Items(std::int32_t index) const {
    if (index < 0 || index >= Count()) RaiseListIndexError(index);
    return entries_[static_cast<std::size_t>(index)];
}

void TVertIndices3DMList::Clear() {
    for (auto& bucket : buckets_) bucket.clear();
    entries_.clear();
    nextIndex_ = 0;
}
