#include "model/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

#include "app/exception.h"

namespace {

constexpr JDIMENSION kLargestSide = 16384;
constexpr std::uint64_t kLargestArea = 64u << 20;

// libjpeg ends a failed call through error_exit, which must not return. It jumps back to
// DecodeInto, whose frames in between are libjpeg's own C frames, so no destructor is skipped.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool readingRows;  // the scan is being decoded row by row
    bool endSeen;      // the data ran out and libjpeg put in an end marker
};

void ErrorExit(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

// Warnings that mean the picture is damaged: libjpeg would fill the rest with grey and go on.
bool Damaged(int code) {
    switch (code) {
        case JWRN_JPEG_EOF:
        case JWRN_HIT_MARKER:
        case JWRN_MUST_RESYNC:
        case JWRN_EXTRANEOUS_DATA:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_NOT_SEQUENTIAL:
        case JWRN_BOGUS_PROGRESSION:
        case JWRN_ARITH_BAD_CODE: return true;
        default: return false;
    }
}

// A damaged stream fails like a broken one. Running out of data while the rows are decoded
// is harmless by itself (the decoder reads ahead, and a stream may lack only its end marker):
// it is the cut only when the decoder then finds data missing. Other warnings are dropped.
void EmitMessage(j_common_ptr info, int level) {
    if (level >= 0) return;
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    const int code = info->err->msg_code;
    if (code == JWRN_JPEG_EOF && manager->readingRows) {
        manager->endSeen = true;
        return;
    }
    if (!Damaged(code)) return;
    if (manager->endSeen) info->err->msg_code = JWRN_JPEG_EOF;
    ErrorExit(info);
}

// Fills bitmap, or returns false with the decoder's message. Holds no object with a
// destructor, so jumping back into it is sound.
bool DecodeInto(TResourceBytes bytes, TBitmap& bitmap, ErrorManager& errors, bool& tooLarge) {
    jpeg_decompress_struct info;
    std::memset(&info, 0, sizeof info);
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = ErrorExit;
    errors.base.emit_message = EmitMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    if (info.image_width > kLargestSide || info.image_height > kLargestSide ||
        std::uint64_t{info.image_width} * info.image_height > kLargestArea) {
        tooLarge = true;
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    bitmap.PixelFormat = pf24bit;
    bitmap.Width = static_cast<std::int32_t>(info.output_width);
    bitmap.Height = static_cast<std::int32_t>(info.output_height);
    try {
        bitmap.Pixels.resize(bitmap.RowSize() * info.output_height);
    } catch (...) {
        jpeg_destroy_decompress(&info);
        throw;
    }
    errors.readingRows = true;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = bitmap.Pixels.data() + bitmap.RowSize() * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

TBitmap DecodeJpeg(TResourceBytes bytes) {
    TBitmap bitmap;
    ErrorManager errors{};
    bool tooLarge = false;
    if (!DecodeInto(bytes, bitmap, errors, tooLarge)) {
        if (tooLarge) throw Exception("JPEG error: image too large");
        throw Exception(std::string("JPEG error: ") + errors.message);
    }
    return bitmap;
}
