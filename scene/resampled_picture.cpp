#include "scene/resampled_picture.h"

#include "model/bitmap.h"

bool ResampledPicture(const std::string& name, std::vector<std::uint8_t>& rows, std::int32_t& width,
                      std::int32_t& height) {
    const TBitmap bitmap = BitmapFromFile(name);
    if (!bitmap.Usable()) return false;
    const auto source = TexturePixelsFromBitmap(bitmap);
    if (!source) return false;
    const auto powerOfTwo = [](std::int32_t n) {
        std::int32_t p = 1;
        while (p < n && p < 1024) p *= 2;
        return p;
    };
    width = powerOfTwo(bitmap.Width);
    height = powerOfTwo(bitmap.Height);
    rows.resize(static_cast<std::size_t>(width) * height * 3);
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t* line = source->data() + static_cast<std::size_t>(y * bitmap.Height / height) * bitmap.Width * 3;
        std::uint8_t* target = rows.data() + static_cast<std::size_t>(y) * width * 3;
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint8_t* pixel = line + static_cast<std::size_t>(x * bitmap.Width / width) * 3;
            target[x * 3] = pixel[0];
            target[x * 3 + 1] = pixel[1];
            target[x * 3 + 2] = pixel[2];
        }
    }
    return true;
}
