#pragma once
// Merges the corners of 3DM faces into output vertices: a 3DM object indexes positions and
// texture coordinates separately per corner, a primitive needs one index per vertex.
#include <cstdint>
#include <unordered_map>
#include <vector>

struct TVertIndex3DM {
    std::int32_t VertexIndex;    // 1-based into the object's Vertices
    std::int32_t MergedIndex;    // 0-based output vertex number
    std::int32_t TexCoordIndex;  // 1-based, or 0 without texture coordinates
    std::int32_t ColorIndex;     // 1-based, or 0 without colours
};

class TVertIndices3DMList {
public:
    explicit TVertIndices3DMList(std::int32_t vertexCount);

    // The output vertex of a corner: the first one seen with this vertex and texture
    // coordinate, else a new one. The colour takes no part in the comparison. A vertex
    // index outside 1..vertexCount raises the list-index error naming that index.
    std::int32_t IndexOfCorner(std::int32_t vertex, std::int32_t texCoord, std::int32_t color);

    std::int32_t Count() const { return static_cast<std::int32_t>(entries_.size()); }
    // Entry i has merged index i.
    TVertIndex3DM Items(std::int32_t index) const;
    void Clear();

private:
    std::int32_t vertexCount_;
    // Merged index by (vertex, texture coordinate): one look-up per corner, however many
    // texture coordinates a vertex has.
    std::unordered_map<std::uint64_t, std::int32_t> merged_;
    std::vector<TVertIndex3DM> entries_;
    std::int32_t nextIndex_ = 0;
};
