#include "model/bmp_decoder.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

#include "app/exception.h"

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;  // OS/2 bitmaps: not taken
constexpr std::uint32_t kInfoHeaderSize = 40;

[[noreturn]] void Fail(const char* reason) { throw Exception(std::string("BMP error: ") + reason); }

std::uint32_t U32(TResourceBytes b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint16_t U16(TResourceBytes b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8)); }

// dib: the info header onward. pixelOffset: where the pixels start, counted from dib; none for a
// packed bitmap, whose pixels follow the palette.
TBitmap Decode(TResourceBytes dib, std::optional<std::uint64_t> pixelOffset) {
    if (dib.size() < 4) Fail("truncated header");
    const std::uint32_t headerSize = U32(dib, 0);
    if (headerSize == kCoreHeaderSize) return {};
    if (headerSize < kInfoHeaderSize) Fail("bad header size");
    if (headerSize > dib.size()) Fail("truncated header");
    const auto width = static_cast<std::int32_t>(U32(dib, 4));
    const auto height = static_cast<std::int32_t>(U32(dib, 8));
    const std::uint16_t planes = U16(dib, 12);
    const std::uint16_t bitCount = U16(dib, 14);
    const std::uint32_t compression = U32(dib, 16);
    const std::uint32_t coloursUsed = U32(dib, 32);
    if (width <= 0 || height == 0 || height == std::numeric_limits<std::int32_t>::min()) Fail("bad size");
    if (planes != 1) Fail("bad plane count");
    if ((bitCount != 8 && bitCount != 24) || compression != 0) return {};

    const std::uint64_t paletteEntries = bitCount == 8 && coloursUsed == 0 ? 256 : coloursUsed;
    if (bitCount == 8 && paletteEntries > 256) Fail("bad palette size");
    const std::uint64_t paletteEnd = headerSize + paletteEntries * 4;
    // A 24-bit file uses no palette: its colours-used field matters only where it tells where
    // the pixels of a packed bitmap begin.
    const bool needsPalette = bitCount == 8 || !pixelOffset;
    if (needsPalette && paletteEnd > dib.size()) Fail("truncated palette");

    const std::uint64_t start = pixelOffset.value_or(paletteEnd);
    const std::uint64_t rows = height > 0 ? static_cast<std::uint64_t>(height) : static_cast<std::uint64_t>(-static_cast<std::int64_t>(height));
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bitCount + 31) / 32 * 4;
    if (start > dib.size() || (dib.size() - start) / stride < rows) Fail("truncated pixels");

    TBitmap bitmap;
    bitmap.PixelFormat = bitCount == 8 ? pf8bit : pf24bit;
    bitmap.Width = width;
    bitmap.Height = static_cast<std::int32_t>(rows);
    if (bitCount == 8) {
        for (std::uint64_t i = 0; i < paletteEntries; ++i) {
            const std::size_t at = headerSize + static_cast<std::size_t>(i) * 4;
            bitmap.Palette[static_cast<std::size_t>(i)] = {dib[at + 2], dib[at + 1], dib[at]};
        }
    }
    const std::size_t rowSize = bitmap.RowSize();
    bitmap.Pixels.resize(rowSize * static_cast<std::size_t>(rows));
    for (std::uint64_t r = 0; r < rows; ++r) {
        // Rows are stored bottom row first unless the height is negative.
        const std::uint64_t stored = height > 0 ? rows - 1 - r : r;
        const std::uint8_t* source = dib.data() + start + stored * stride;
        std::copy(source, source + rowSize, bitmap.Pixels.begin() + static_cast<std::ptrdiff_t>(r * rowSize));
    }
    return bitmap;
}

}  // namespace

TBitmap DecodeBmpFile(TResourceBytes bytes) {
    if (bytes.size() < kFileHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') Fail("not a bitmap file");
    const std::uint32_t offset = U32(bytes, 10);
    if (offset < kFileHeaderSize) Fail("bad pixel offset");
    return Decode(bytes.subspan(kFileHeaderSize), std::uint64_t{offset} - kFileHeaderSize);
}

TBitmap DecodePackedBitmap(TResourceBytes bytes) { return Decode(bytes, std::nullopt); }
