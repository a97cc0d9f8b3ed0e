#pragma once
// The record lists of a 3DM object: positions, colours, texture coordinates and faces.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/exception.h"

struct T3DMVertex {
    float x, y, z;
};

// 0 to 255 scale.
struct T3DMColor {
    float red, green, blue;
};

struct T3DMTextureCoord {
    float s, t;
};

// Three corner indices, counted from 1 into the matching record list.
struct T3DMFace {
    std::array<std::int32_t, 3> corner;
};

// The error of an index outside a list.
[[noreturn]] inline void RaiseListIndexError(std::int64_t index) {
    throw Exception("List index out of bounds (" + std::to_string(index) + ")");
}

class T3DMList {
public:
    virtual ~T3DMList() = default;
    virtual std::int32_t Count() const = 0;
    virtual void Clear() = 0;
};

// A list of copied records. Positions, colours and texture coordinates are numbered from 1
// (the numbers face records use); faces from 0.
template <typename Record, int FirstIndex>
class T3DMRecordList : public T3DMList {
public:
    std::int32_t Count() const override { return static_cast<std::int32_t>(records_.size()); }
    void Clear() override { records_.clear(); }
    void Add(const Record& record) { records_.push_back(record); }
    const Record& Items(std::int32_t index) const {
        const std::int64_t i = static_cast<std::int64_t>(index) - FirstIndex;
        if (i < 0 || i >= static_cast<std::int64_t>(records_.size())) RaiseListIndexError(index);
        return records_[static_cast<std::size_t>(i)];
    }

private:
    std::vector<Record> records_;
};

class T3DMVertexList final : public T3DMRecordList<T3DMVertex, 1> {};
class T3DMColorList final : public T3DMRecordList<T3DMColor, 1> {};
class T3DMTextureCoordList final : public T3DMRecordList<T3DMTextureCoord, 1> {};
class T3DMFaceList final : public T3DMRecordList<T3DMFace, 0> {};
