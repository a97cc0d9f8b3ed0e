#pragma once
// Decoded pictures and the pixel rules that turn them into texture rows.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum TPixelFormat {
    pfNone,   // empty, or a format textures do not take
    pf8bit,   // palette indices
    pf24bit,  // blue, green, red
};

struct TBitmapColour {
    std::uint8_t red, green, blue;
};

struct TBitmap {
    TPixelFormat PixelFormat = pfNone;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    // Rows from the top of the picture, packed without gaps.
    std::vector<std::uint8_t> Pixels;
    // 8-bit pictures only; entries the file does not hold are black.
    std::array<TBitmapColour, 256> Palette{};

    std::int32_t BytesPerPixel() const { return PixelFormat == pf24bit ? 3 : PixelFormat == pf8bit ? 1 : 0; }
    std::size_t RowSize() const { return static_cast<std::size_t>(Width) * static_cast<std::size_t>(BytesPerPixel()); }
    const std::uint8_t* ScanLine(std::int32_t row) const { return Pixels.data() + RowSize() * static_cast<std::size_t>(row); }
    // Red, green and blue of pixel x of a row, through the palette for 8-bit pictures.
    TBitmapColour ColourAt(const std::uint8_t* row, std::int32_t x) const;
    // 8-bit or 24-bit, not empty, and holding every pixel it claims.
    bool Usable() const {
        return PixelFormat != pfNone && Width > 0 && Height > 0 && Pixels.size() == RowSize() * static_cast<std::size_t>(Height);
    }
};

// Texture rows: the bottom row of the picture first, red, green, blue per pixel. None unless
// the bitmap is 8-bit paletted or 24-bit.
std::optional<std::vector<std::uint8_t>> TexturePixelsFromBitmap(const TBitmap& bitmap);

// RGBA texture rows: colour from the first bitmap, alpha := (red + green + blue) div 3 of the
// second's pixel. None unless both are usable and of the same size.
std::optional<std::vector<std::uint8_t>> TexturePixelsFromBitmaps(const TBitmap& colour, const TBitmap& alpha);

enum TImageKind { ikNone, ikBitmap, ikJpeg };

// By the extension in lower case: ".bmp" a bitmap, ".jpg" or ".jepg" a JPEG, else none.
TImageKind ImageKindFromFileName(std::string_view name);

// The picture of a texture name: from the resources (".bmp" as a bitmap resource, JPEG as a
// raw-data one) when LoadFromResources is set, else from the file TextureDirectory + name.
// An unrecognised extension gives an empty bitmap.
TBitmap BitmapFromFile(const std::string& name);

// The RGBA rows of TextureWithAlphaFromFiles: the colour picture, and the alpha picture, which
// is the colour one again when the names are equal ignoring letter case.
std::optional<std::vector<std::uint8_t>> TexturePixelsWithAlphaFromFiles(const std::string& colourName,
                                                                           const std::string& alphaName);
