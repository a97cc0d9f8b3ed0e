#include "support/gl_test_context.h"

#include "gl/gl_api.h"

std::vector<std::uint8_t> GLTestContext::ReadPixels() {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width_) * height_ * 4);
    gl.Finish();
    gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.ReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

Rgba GLTestContext::PixelAt(int x, int y) {
    std::uint8_t p[4] = {};
    gl.Finish();
    gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.ReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}
