#pragma once
// TGLTexture: an image in client memory and its OpenGL texture object. The first Bind creates
// the object and uploads; later Binds send only what changed.
#include <cstdint>
#include <memory>

#include "gl/item_list.h"
#include "gl/types.h"

enum class TGLTextureFilter : std::uint8_t {
    Nearest = 0,
    Linear = 1,
    NearestMipmapNearest = 2,
    LinearMipmapNearest = 3,
    NearestMipmapLinear = 4,
    LinearMipmapLinear = 5,
};

enum class TGLTextureEnvMode : std::uint8_t { Modulate = 0, Decal = 1, Blend = 2, Replace = 3 };

enum TGLTextureFormat : std::uint8_t { tfRGB = 0, tfRGBA = 1 };

class TGLTexture : public TGLItemList {
public:
    static constexpr std::uint32_t kImage = 0x01;
    static constexpr std::uint32_t kFilters = 0x02;
    static constexpr std::uint32_t kWrap = 0x04;
    static constexpr std::uint32_t kEnvMode = 0x10;
    static constexpr std::uint32_t kEnvColor = 0x20;

    TGLTexture();
    // DeleteName (when GL is still loaded), then FreePixels.
    ~TGLTexture() override;

    std::int32_t BytesPerPixel() const { return bytesPerPixel_; }
    std::uint8_t* Pixels() { return pixels_.get(); }
    const std::uint8_t* Pixels() const { return pixels_.get(); }
    bool Created() const { return created_; }
    bool Repeat() const { return repeat_; }
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::int32_t RowSize() const { return rowSize_; }
    const Colour& EnvColor() const { return envColor_; }
    TGLTextureFilter Filter() const { return filter_; }
    std::uint8_t Format() const { return format_; }
    TGLTextureEnvMode EnvMode() const { return envMode_; }
    std::uint32_t Name() const { return name_; }
    std::uint32_t Changed() const { return changed_; }
    std::uint32_t Target() const { return target_; }
    std::uint32_t InternalFormat() const { return internalFormat_; }
    std::uint32_t PixelFormat() const { return pixelFormat_; }
    std::uint32_t PixelType() const { return pixelType_; }
    std::uint32_t MagFilter() const { return magFilter_; }
    std::uint32_t MinFilter() const { return minFilter_; }
    std::uint32_t GLEnvMode() const { return glEnvMode_; }
    std::uint32_t WrapMode() const { return wrapMode_; }

    // Format 0 (RGB) or 1 (RGBA); both sizes powers of two, else "TGLTexture.SetSize error: a
    // size is not power 2" and no pixels. Allocates RowSize * Height bytes (contents undefined).
    void SetSize(std::uint8_t format, std::int32_t width, std::int32_t height);
    // Row `row` of the pixel block, row 0 the bottom of the picture.
    std::uint8_t* ScanLine(std::int32_t row);
    void FreePixels();
    void SetFilter(TGLTextureFilter filter);
    void SetRepeat(bool on);
    void SetEnvMode(TGLTextureEnvMode mode);
    void SetEnvColor(const Colour& c);
    // When false, the client copy of the image is freed once uploaded; a later upload (after
    // DeleteName) then raises Exception instead of sending undefined texels.
    void SetKeepPixels(bool keep) { keepPixels_ = keep; }
    bool KeepPixels() const { return keepPixels_; }

    void Bind();
    void Apply();
    void DeleteName();

private:
    std::int32_t bytesPerPixel_ = 3;
    std::unique_ptr<std::uint8_t[]> pixels_;
    bool created_ = false;
    bool repeat_ = true;
    bool keepPixels_ = true;
    std::int32_t height_ = 0;
    Colour envColor_{1.0f, 1.0f, 1.0f, 1.0f};
    TGLTextureFilter filter_ = TGLTextureFilter::Linear;
    std::uint8_t format_ = tfRGB;
    TGLTextureEnvMode envMode_ = TGLTextureEnvMode::Modulate;
    std::uint32_t name_ = 0;
    std::int32_t width_ = 0;
    std::int32_t rowSize_ = 0;
    std::uint32_t changed_ = 0;
    std::uint32_t target_;
    std::uint32_t internalFormat_;
    std::uint32_t pixelFormat_;
    std::uint32_t pixelType_;
    std::uint32_t magFilter_;
    std::uint32_t minFilter_;
    std::uint32_t glEnvMode_;
    std::uint32_t wrapMode_;
};

class TGLTextureList : public TGLRefList<TGLTexture> {
public:
    TGLTextureList() : TGLRefList("TGLTextureList error: Add NIL Texture!") {}
};
