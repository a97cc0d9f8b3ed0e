// libFuzzer target: the bitmap decoder, as a file and as a bitmap resource, and the texture
// rows of what it decodes.
#include <cstddef>
#include <cstdint>

#include "app/exception.h"
#include "model/bmp_decoder.h"

namespace {
void Decode(TBitmap (*decoder)(TResourceBytes), TResourceBytes bytes) {
    try {
        const TBitmap bitmap = decoder(bytes);
        (void)TexturePixelsFromBitmap(bitmap);
        (void)TexturePixelsFromBitmaps(bitmap, bitmap);
    } catch (const Exception&) {
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TResourceBytes bytes(data, size);
    Decode(DecodeBmpFile, bytes);
    Decode(DecodePackedBitmap, bytes);
    return 0;
}
