#include "model/bitmap.h"

#include "model/bmp_decoder.h"
#include "model/import_settings.h"
#include "model/jpeg_decoder.h"
#include "model/resource_finder.h"

namespace {

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return lower;
}

}  // namespace

TBitmapColour TBitmap::ColourAt(const std::uint8_t* row, std::int32_t x) const {
    if (PixelFormat == pf8bit) return Palette[row[x]];
    const std::uint8_t* p = row + 3 * static_cast<std::size_t>(x);
    return {p[2], p[1], p[0]};
}

std::optional<std::vector<std::uint8_t>> TexturePixelsFromBitmap(const TBitmap& bitmap) {
    if (!bitmap.Usable()) return std::nullopt;
    // Sized once and written in place: a texture is converted on every start.
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(bitmap.Width) * bitmap.Height * 3);
    std::uint8_t* out = rows.data();
    for (std::int32_t i = 0; i < bitmap.Height; ++i) {
        const std::uint8_t* source = bitmap.ScanLine(bitmap.Height - 1 - i);
        for (std::int32_t x = 0; x < bitmap.Width; ++x, out += 3) {
            const TBitmapColour c = bitmap.ColourAt(source, x);
            out[0] = c.red;
            out[1] = c.green;
            out[2] = c.blue;
        }
    }
    return rows;
}

std::optional<std::vector<std::uint8_t>> TexturePixelsFromBitmaps(const TBitmap& colour, const TBitmap& alpha) {
    if (!colour.Usable() || !alpha.Usable() || colour.Width != alpha.Width || colour.Height != alpha.Height)
        return std::nullopt;
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(colour.Width) * colour.Height * 4);
    std::uint8_t* out = rows.data();
    for (std::int32_t i = 0; i < colour.Height; ++i) {
        const std::uint8_t* colourRow = colour.ScanLine(colour.Height - 1 - i);
        const std::uint8_t* alphaRow = alpha.ScanLine(alpha.Height - 1 - i);
        for (std::int32_t x = 0; x < colour.Width; ++x, out += 4) {
            const TBitmapColour c = colour.ColourAt(colourRow, x);
            const TBitmapColour a = alpha.ColourAt(alphaRow, x);
            out[0] = c.red;
            out[1] = c.green;
            out[2] = c.blue;
            out[3] = static_cast<std::uint8_t>((a.red + a.green + a.blue) / 3);
        }
    }
    return rows;
}

TImageKind ImageKindFromFileName(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return ikNone;
    const std::string_view extension = name.substr(dot);
    if (extension.find_first_of("\\/:") != std::string_view::npos) return ikNone;
    const std::string lower = LowerCase(extension);
    if (lower == ".bmp") return ikBitmap;
    if (lower == ".jpg" || lower == ".jepg") return ikJpeg;
    return ikNone;
}

TBitmap BitmapFromFile(const std::string& name) {
    const TImageKind kind = ImageKindFromFileName(name);
    if (kind == ikNone) return {};
    const std::string path = TextureDirectory + name;
    if (LoadFromResources) {
        const std::string resource = ResourceNameFromFileName(path);
        if (kind == ikBitmap) return DecodePackedBitmap(FindResourceBytes(rkBitmap, resource));
        return DecodeJpeg(FindResourceBytes(rkRawData, resource));
    }
    const std::string bytes = ReadFileBytes(path);
    const TResourceBytes view(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return kind == ikBitmap ? DecodeBmpFile(view) : DecodeJpeg(view);
}

std::optional<std::vector<std::uint8_t>> TexturePixelsWithAlphaFromFiles(const std::string& colourName,
                                                                           const std::string& alphaName) {
    const TBitmap colour = BitmapFromFile(colourName);
    if (LowerCase(colourName) == LowerCase(alphaName)) return TexturePixelsFromBitmaps(colour, colour);
    return TexturePixelsFromBitmaps(colour, BitmapFromFile(alphaName));
}
