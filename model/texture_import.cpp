// Engine textures from ".bmp" and ".jpg" pictures, with or without a separate alpha picture.
#include <cstring>
#include <optional>

#include "model/bitmap.h"
#include "model/model_import.h"

namespace {

// A texture of the given format holding the rows (bottom row first, packed).
std::unique_ptr<TGLTexture> TextureFromRows(std::uint8_t format, std::int32_t width, std::int32_t height,
                                            const std::vector<std::uint8_t>& rows) {
    auto texture = std::make_unique<TGLTexture>();
    texture->SetSize(format, width, height);
    const auto rowSize = static_cast<std::size_t>(texture->RowSize());
    for (std::int32_t i = 0; i < height; ++i)
        std::memcpy(texture->ScanLine(i), rows.data() + rowSize * static_cast<std::size_t>(i), rowSize);
    return texture;
}

}  // namespace

std::unique_ptr<TGLTexture> TextureFromBitmap(const TBitmap& bitmap) {
    const std::optional<std::vector<std::uint8_t>> rows = TexturePixelsFromBitmap(bitmap);
    if (!rows) return nullptr;
    return TextureFromRows(tfRGB, bitmap.Width, bitmap.Height, *rows);
}

std::unique_ptr<TGLTexture> TextureFromBitmaps(const TBitmap& colour, const TBitmap& alpha) {
    const std::optional<std::vector<std::uint8_t>> rows = TexturePixelsFromBitmaps(colour, alpha);
    if (!rows) return nullptr;
    return TextureFromRows(tfRGBA, colour.Width, colour.Height, *rows);
}

std::unique_ptr<TGLTexture> TextureFromFile(const std::string& name) {
    if (ImageKindFromFileName(name) == ikNone) return nullptr;
    return TextureFromBitmap(BitmapFromFile(name));
}

std::unique_ptr<TGLTexture> TextureWithAlphaFromFiles(const std::string& colourName, const std::string& alphaName) {
    const TBitmap colour = BitmapFromFile(colourName);
    auto lower = [](std::string s) {
        for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        return s;
    };
    if (lower(colourName) == lower(alphaName)) return TextureFromBitmaps(colour, colour);
    return TextureFromBitmaps(colour, BitmapFromFile(alphaName));
}
