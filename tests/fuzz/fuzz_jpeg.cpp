// libFuzzer target: the JPEG decoder and the texture rows of what it decodes.
#include <cstddef>
#include <cstdint>

#include "app/exception.h"
#include "model/jpeg_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const TBitmap bitmap = DecodeJpeg(TResourceBytes(data, size));
        if (!bitmap.Usable()) __builtin_trap();  // a decoded picture holds every pixel it claims
        (void)TexturePixelsFromBitmap(bitmap);
        (void)TexturePixelsFromBitmaps(bitmap, bitmap);
    } catch (const Exception&) {
    }
    return 0;
}
