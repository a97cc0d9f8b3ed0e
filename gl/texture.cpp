#include "gl/texture.h"

#include <cstdint>
#include <new>

#include "gl/gl_api.h"

namespace {

bool IsPowerOfTwo(std::int32_t n) { return n > 0 && (n & (n - 1)) == 0; }

GLenum EnvModeToGL(TGLTextureEnvMode mode) {
    switch (mode) {
        case TGLTextureEnvMode::Decal: return GL_DECAL;
        case TGLTextureEnvMode::Blend: return GL_BLEND;
        case TGLTextureEnvMode::Replace: return GL_REPLACE;
        default: return GL_MODULATE;
    }
}

}  // namespace

TGLTexture::TGLTexture()
    : target_(GL_TEXTURE_2D),
      internalFormat_(GL_RGB8),
      pixelFormat_(GL_RGB),
      pixelType_(GL_UNSIGNED_BYTE),
      magFilter_(GL_LINEAR),
      minFilter_(GL_LINEAR),
      glEnvMode_(GL_MODULATE),
      wrapMode_(GL_REPEAT) {
    changed_ = kFilters | kWrap | kEnvMode | kEnvColor;
}

TGLTexture::~TGLTexture() {
    if (gl.DeleteTextures) DeleteName();
    FreePixels();
}

void TGLTexture::SetSize(std::uint8_t format, std::int32_t width, std::int32_t height) {
    FreePixels();
    if (!IsPowerOfTwo(width) || !IsPowerOfTwo(height))
        throw Exception("TGLTexture.SetSize error: a size is not power 2");
    // RowSize is a 32-bit count: a wider row cannot be held and is reported as out of memory
    // rather than wrapping around.
    const std::int64_t bytesPerPixel = format == tfRGB ? 3 : format == tfRGBA ? 4 : bytesPerPixel_;
    if (static_cast<std::int64_t>(width) * bytesPerPixel > INT32_MAX) throw std::bad_alloc();
    width_ = width;
    height_ = height;
    target_ = height == 1 ? GL_TEXTURE_1D : GL_TEXTURE_2D;
    format_ = format;
    if (format == tfRGB) {
        internalFormat_ = GL_RGB8;
        pixelFormat_ = GL_RGB;
        pixelType_ = GL_UNSIGNED_BYTE;
        bytesPerPixel_ = 3;
    } else if (format == tfRGBA) {
        internalFormat_ = GL_RGBA8;
        pixelFormat_ = GL_RGBA;
        pixelType_ = GL_UNSIGNED_BYTE;
        bytesPerPixel_ = 4;
    }
    rowSize_ = width_ * bytesPerPixel_;
    pixels_.reset(new std::uint8_t[static_cast<std::size_t>(rowSize_) * static_cast<std::size_t>(height_)]);
    changed_ |= kImage;
}

std::uint8_t* TGLTexture::ScanLine(std::int32_t row) {
    if (!pixels_ || row < 0 || row >= height_) return nullptr;
    return pixels_.get() + static_cast<std::size_t>(row) * rowSize_;
}

void TGLTexture::FreePixels() { pixels_.reset(); }

void TGLTexture::SetFilter(TGLTextureFilter filter) {
    filter_ = filter;
    switch (filter) {
        case TGLTextureFilter::Nearest: magFilter_ = GL_NEAREST; minFilter_ = GL_NEAREST; break;
        case TGLTextureFilter::NearestMipmapNearest: magFilter_ = GL_NEAREST; minFilter_ = GL_NEAREST_MIPMAP_NEAREST; break;
        case TGLTextureFilter::LinearMipmapNearest: magFilter_ = GL_LINEAR; minFilter_ = GL_LINEAR_MIPMAP_NEAREST; break;
        case TGLTextureFilter::NearestMipmapLinear: magFilter_ = GL_NEAREST; minFilter_ = GL_NEAREST_MIPMAP_LINEAR; break;
        case TGLTextureFilter::LinearMipmapLinear: magFilter_ = GL_LINEAR; minFilter_ = GL_LINEAR_MIPMAP_LINEAR; break;
        default: magFilter_ = GL_LINEAR; minFilter_ = GL_LINEAR; break;
    }
    changed_ |= kFilters;
}

void TGLTexture::SetRepeat(bool on) {
    repeat_ = on;
    wrapMode_ = on ? GL_REPEAT : GL_CLAMP;
    changed_ |= kWrap;
}

void TGLTexture::SetEnvMode(TGLTextureEnvMode mode) {
    envMode_ = mode;
    glEnvMode_ = EnvModeToGL(mode);
    changed_ |= kEnvMode;
}

void TGLTexture::SetEnvColor(const Colour& c) {
    envColor_ = c;
    changed_ |= kEnvColor;
}

void TGLTexture::Bind() {
    if (!created_) {
        changed_ = 0x7FFFFFFF;
        gl.GenTextures(1, &name_);
        Apply();
        gl.Enable(target_);
        gl.BindTexture(target_, 0);
        created_ = true;
    } else if (changed_ != 0) {
        Apply();
    }
    gl.BindTexture(target_, name_);
}

void TGLTexture::Apply() {
    if (changed_ == 0) return;
    gl.BindTexture(target_, name_);
    gl.TexParameterf(target_, GL_TEXTURE_PRIORITY, 1.0f);
    if (changed_ & kImage) {
        if (!pixels_) throw Exception("TGLTexture.Apply error: the image was freed after its upload");
        // Rows are packed without gaps; OpenGL's default would pad them to 4 bytes and read
        // past the end of the block for 1- and 2-pixel RGB rows.
        gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
        if (target_ == GL_TEXTURE_1D)
            gl.TexImage1D(target_, 0, static_cast<GLint>(internalFormat_), width_, 0, pixelFormat_, pixelType_,
                          pixels_.get());
        else
            gl.TexImage2D(target_, 0, static_cast<GLint>(internalFormat_), width_, height_, 0, pixelFormat_,
                          pixelType_, pixels_.get());
        if (!keepPixels_) FreePixels();
    }
    if (changed_ & kFilters) {
        gl.TexParameteri(target_, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(magFilter_));
        gl.TexParameteri(target_, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter_));
    }
    if (changed_ & kWrap) {
        gl.TexParameteri(target_, GL_TEXTURE_WRAP_S, static_cast<GLint>(wrapMode_));
        gl.TexParameteri(target_, GL_TEXTURE_WRAP_T, static_cast<GLint>(wrapMode_));
    }
    if (changed_ & kEnvMode) gl.TexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLint>(glEnvMode_));
    if (changed_ & kEnvColor) gl.TexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, &envColor_.r);
    changed_ = 0;
}

void TGLTexture::DeleteName() {
    if (created_) gl.DeleteTextures(1, &name_);
    created_ = false;
}
