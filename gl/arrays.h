#pragma once
// Exactly sized, packed arrays of fixed-size items. Data() goes to OpenGL unconverted, so the
// items stay in one contiguous block with no spare capacity.
#include <cstddef>
#include <cstdint>
#include <span>

#include "gl/types.h"

class TDArray {
public:
    TDArray() : TDArray(1) {}
    virtual ~TDArray();
    TDArray(const TDArray&) = delete;
    TDArray& operator=(const TDArray&) = delete;

    void* Data() { return data_; }
    const void* Data() const { return data_; }
    std::int32_t Count() const { return count_; }
    std::int32_t ItemSize() const { return itemSize_; }

    void GetItem(std::int32_t index, void* dest) const;
    void SetItem(std::int32_t index, const void* source);
    void Grow(std::int32_t n);
    void Shrink(std::int32_t n);
    void SetCount(std::int32_t n);
    void CopyTo(TDArray* dest) const;
    void Append(const TDArray* source);

protected:
    explicit TDArray(std::int32_t itemSize) : itemSize_(itemSize) {}
    // Throws the getter's or setter's bounds message when index is outside 0..Count-1.
    void CheckGet(std::int32_t index) const;
    void CheckSet(std::int32_t index) const;
    std::uint8_t* Bytes() { return data_; }
    const std::uint8_t* Bytes() const { return data_; }

private:
    void FreeBlock();

    std::uint8_t* data_ = nullptr;
    std::int32_t count_ = 0;
    std::int32_t itemSize_ = 1;
};

// Shared shape of the typed arrays: typed access to the block plus bounds-checked accessors.
template <typename Item>
class TTypedDArray : public TDArray {
public:
    TTypedDArray() : TDArray(sizeof(Item)) {}

    Item* Items() { return static_cast<Item*>(Data()); }
    const Item* Items() const { return static_cast<const Item*>(Data()); }
    std::span<Item> View() { return {Items(), static_cast<std::size_t>(Count())}; }
    std::span<const Item> View() const { return {Items(), static_cast<std::size_t>(Count())}; }

    Item GetItem(std::int32_t index) const {
        CheckGet(index);
        return Items()[index];
    }
    void SetItem(std::int32_t index, const Item& value) {
        CheckSet(index);
        Items()[index] = value;
    }
    using TDArray::GetItem;
    using TDArray::SetItem;
};

class TGLVectorDArray : public TTypedDArray<Vector> {
public:
    void SetXYZ(std::int32_t index, float x, float y, float z) { SetItem(index, MakeVector(x, y, z)); }
    // Count := floats / 3; a trailing partial item is ignored.
    void SetFromArray(std::span<const float> floats);
    void Zero();
};

class TGLColorDArray : public TTypedDArray<Colour> {
public:
    void SetRGB(std::int32_t index, float r, float g, float b) { SetItem(index, MakeColour(r, g, b, 1.0f)); }
    // Count := floats / 3; every colour gets alpha 1.
    void SetFromArray(std::span<const float> floats);
};

class TGLTextureCoordDArray : public TTypedDArray<TexCoord> {
public:
    void SetST(std::int32_t index, float s, float t) { SetItem(index, TexCoord{s, t}); }
    void SetFromArray(std::span<const float> floats);
};

class TGLIndexDArray : public TTypedDArray<Index> {
public:
    Index GetIndex(std::int32_t index) const { return GetItem(index); }
    void SetIndex(std::int32_t index, Index value) { SetItem(index, value); }
    void SetFromArray(std::span<const Index> values);
};
