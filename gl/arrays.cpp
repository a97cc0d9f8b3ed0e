#include "gl/arrays.h"

#include <cstring>
#include <new>

#include "app/exception.h"

TDArray::~TDArray() { FreeBlock(); }

void TDArray::FreeBlock() {
    delete[] data_;
    data_ = nullptr;
}

void TDArray::CheckGet(std::int32_t index) const {
    if (index < 0 || index >= count_) throw Exception("TDArray GetItem: index out of bounds.");
}

void TDArray::CheckSet(std::int32_t index) const {
    if (index < 0 || index >= count_) throw Exception("TDArray SetItem: index out of bounds.");
}

void TDArray::GetItem(std::int32_t index, void* dest) const {
    CheckGet(index);
    std::memcpy(dest, data_ + static_cast<std::size_t>(index) * itemSize_, itemSize_);
}

void TDArray::SetItem(std::int32_t index, const void* source) {
    CheckSet(index);
    std::memcpy(data_ + static_cast<std::size_t>(index) * itemSize_, source, itemSize_);
}

void TDArray::Grow(std::int32_t n) {
    if (n <= 0) return;
    const std::size_t oldBytes = static_cast<std::size_t>(count_) * itemSize_;
    const std::size_t newBytes = (static_cast<std::size_t>(count_) + n) * itemSize_;
    auto* block = new std::uint8_t[newBytes]();
    if (oldBytes) std::memcpy(block, data_, oldBytes);
    FreeBlock();
    data_ = block;
    count_ += n;
}

void TDArray::Shrink(std::int32_t n) {
    if (n <= 0) return;
    count_ -= n;
    if (count_ <= 0) {
        count_ = 0;
        FreeBlock();
        return;
    }
    const std::size_t bytes = static_cast<std::size_t>(count_) * itemSize_;
    auto* block = new std::uint8_t[bytes];
    std::memcpy(block, data_, bytes);
    FreeBlock();
    data_ = block;
}

void TDArray::SetCount(std::int32_t n) {
    if (n > count_)
        Grow(n - count_);
    else if (n < count_)
        Shrink(count_ - n);
}

void TDArray::CopyTo(TDArray* dest) const {
    if (dest == nullptr || dest == this) return;
    // A typed array of another item size would then be read past its block.
    if (dest->itemSize_ != itemSize_) throw Exception("TDArray CopyTo: item sizes differ.");
    if (count_ == 0) return;
    dest->SetCount(count_);
    std::memcpy(dest->data_, data_, static_cast<std::size_t>(count_) * itemSize_);
}

void TDArray::Append(const TDArray* source) {
    if (source == nullptr || source->count_ == 0 || source->itemSize_ != itemSize_) return;
    const std::int32_t oldCount = count_;
    const std::size_t bytes = static_cast<std::size_t>(source->count_) * itemSize_;
    // Appending an array to itself: the source block is replaced by Grow, so copy it first.
    const std::uint8_t* from = source->data_;
    std::uint8_t* copy = nullptr;
    if (source == this) {
        copy = new std::uint8_t[bytes];
        std::memcpy(copy, from, bytes);
        from = copy;
    }
    Grow(source->count_);
    std::memcpy(data_ + static_cast<std::size_t>(oldCount) * itemSize_, from, bytes);
    delete[] copy;
}

void TGLVectorDArray::SetFromArray(std::span<const float> floats) {
    const auto n = static_cast<std::int32_t>(floats.size() / 3);
    SetCount(n);
    for (std::int32_t j = 0; j < n; ++j) Items()[j] = {floats[3 * j], floats[3 * j + 1], floats[3 * j + 2]};
}

void TGLVectorDArray::Zero() {
    for (auto& v : View()) v = {0.0f, 0.0f, 0.0f};
}

void TGLColorDArray::SetFromArray(std::span<const float> floats) {
    const auto n = static_cast<std::int32_t>(floats.size() / 3);
    SetCount(n);
    for (std::int32_t j = 0; j < n; ++j) Items()[j] = {floats[3 * j], floats[3 * j + 1], floats[3 * j + 2], 1.0f};
}

void TGLTextureCoordDArray::SetFromArray(std::span<const float> floats) {
    const auto n = static_cast<std::int32_t>(floats.size() / 2);
    SetCount(n);
    for (std::int32_t j = 0; j < n; ++j) Items()[j] = {floats[2 * j], floats[2 * j + 1]};
}

void TGLIndexDArray::SetFromArray(std::span<const Index> values) {
    const auto n = static_cast<std::int32_t>(values.size());
    SetCount(n);
    for (std::int32_t i = 0; i < n; ++i) Items()[i] = values[i];
}
