#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <vector>

#include <jpeglib.h>

#include "model/bitmap.h"
#include "model/bmp_decoder.h"
#include "model/import_settings.h"
#include "model/jpeg_decoder.h"
#include "support/fake_resources.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A bitmap file: 40-byte info header, palette of paletteSize entries (i -> (i, 2i, 255 - i) as
// red, green, blue), rows as given (already padded, in storage order).
Bytes BmpFile(std::int32_t width, std::int32_t height, int bits, std::uint32_t paletteSize, const Bytes& pixels,
              std::uint32_t compression = 0) {
    Bytes b(54 + paletteSize * 4);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, static_cast<std::uint32_t>(b.size()));
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<std::uint32_t>(width));
    Put32(b, 22, static_cast<std::uint32_t>(height));
    b[26] = 1;
    b[28] = static_cast<std::uint8_t>(bits);
    Put32(b, 30, compression);
    Put32(b, 46, paletteSize);
    for (std::uint32_t i = 0; i < paletteSize; ++i) {
        b[54 + 4 * i] = static_cast<std::uint8_t>(255 - i);
        b[55 + 4 * i] = static_cast<std::uint8_t>(2 * i);
        b[56 + 4 * i] = static_cast<std::uint8_t>(i);
    }
    b.insert(b.end(), pixels.begin(), pixels.end());
    Put32(b, 2, static_cast<std::uint32_t>(b.size()));
    return b;
}

TResourceBytes View(const Bytes& b) { return {b.data(), b.size()}; }
TResourceBytes View(const std::string& s) { return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()}; }

std::string ReadData(const char* name) {
    std::ifstream in(std::string(TIDEWELL_SOURCE_DIR) + "/tests/model/data/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A JPEG of a solid colour, encoded with libjpeg.
std::string SolidJpeg(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> row;
    for (int x = 0; x < width; ++x) row.insert(row.end(), {r, g, b});
    while (info.next_scanline < info.image_height) {
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&info, &p, 1);
    }
    jpeg_finish_compress(&info);
    std::string jpeg(reinterpret_cast<char*>(out), size);
    jpeg_destroy_compress(&info);
    std::free(out);
    return jpeg;
}

TEST(DecodeBmpFile, TwoByTwoWithBlueTopLeftGivesTextureRowsBottomUpInRgb) {
    const std::string file = ReadData("check2x2.bmp");
    const TBitmap bitmap = DecodeBmpFile(View(file));
    ASSERT_EQ(bitmap.PixelFormat, pf24bit);
    ASSERT_EQ(bitmap.Width, 2);
    ASSERT_EQ(bitmap.Height, 2);
    EXPECT_EQ(bitmap.ScanLine(0)[0], 255);  // rows from the top, blue first
    const auto rows = TexturePixelsFromBitmap(bitmap);
    ASSERT_TRUE(rows);
    // Row 0 is the bottom of the picture (red, white), row 1 the top (blue, green).
    EXPECT_EQ(*rows, (Bytes{255, 0, 0, 255, 255, 255, 0, 0, 255, 0, 255, 0}));
}

TEST(DecodeBmpFile, PalettedAndTopDownPictures) {
    // 3x2, 8-bit, rows padded to 4 bytes; stored bottom row first.
    const Bytes bottomUp = BmpFile(3, 2, 8, 4, {0, 1, 2, 0, 3, 3, 3, 0});
    TBitmap bitmap = DecodeBmpFile(View(bottomUp));
    ASSERT_EQ(bitmap.PixelFormat, pf8bit);
    EXPECT_EQ(bitmap.ScanLine(0)[0], 3);
    EXPECT_EQ(bitmap.Palette[2].red, 2);
    EXPECT_EQ(bitmap.Palette[2].green, 4);
    EXPECT_EQ(bitmap.Palette[2].blue, 253);
    EXPECT_EQ(bitmap.Palette[9].blue, 0);  // not in the file: black
    auto rows = TexturePixelsFromBitmap(bitmap);
    ASSERT_TRUE(rows);
    EXPECT_EQ(Bytes(rows->begin(), rows->begin() + 9), (Bytes{0, 0, 255, 1, 2, 254, 2, 4, 253}));

    const Bytes topDown = BmpFile(3, -2, 8, 4, {0, 1, 2, 0, 3, 3, 3, 0});
    bitmap = DecodeBmpFile(View(topDown));
    EXPECT_EQ(bitmap.Height, 2);
    EXPECT_EQ(bitmap.ScanLine(0)[1], 1);

    // The same picture as a bitmap resource stores it: no file header.
    const Bytes packed(bottomUp.begin() + 14, bottomUp.end());
    bitmap = DecodePackedBitmap(View(packed));
    EXPECT_EQ(bitmap.ScanLine(1)[2], 2);
}

TEST(DecodeBmpFile, OtherFormatsGiveNoneAndBrokenFilesRaise) {
    EXPECT_EQ(DecodeBmpFile(View(BmpFile(1, 1, 32, 0, {1, 2, 3, 4}))).PixelFormat, pfNone);
    EXPECT_EQ(DecodeBmpFile(View(BmpFile(2, 1, 4, 16, {0x12, 0, 0, 0}))).PixelFormat, pfNone);
    EXPECT_EQ(DecodeBmpFile(View(BmpFile(4, 1, 8, 256, {1, 2, 3, 4}, 1))).PixelFormat, pfNone);  // RLE8
    EXPECT_FALSE(TexturePixelsFromBitmap(DecodeBmpFile(View(BmpFile(1, 1, 32, 0, {1, 2, 3, 4})))));

    const Bytes good = BmpFile(2, 2, 24, 0, Bytes(16, 7));
    EXPECT_EQ(MessageOf([&] { DecodeBmpFile(View(Bytes(good.begin(), good.end() - 1))); }), "BMP error: truncated pixels");
    EXPECT_EQ(MessageOf([&] { DecodeBmpFile(View(Bytes(good.begin(), good.begin() + 30))); }), "BMP error: truncated header");
    EXPECT_EQ(MessageOf([&] { DecodeBmpFile(View(Bytes{'B', 'X'})); }), "BMP error: not a bitmap file");
    EXPECT_EQ(MessageOf([&] { DecodeBmpFile(View(BmpFile(0, 2, 24, 0, {}))); }), "BMP error: bad size");
    EXPECT_EQ(MessageOf([&] { DecodeBmpFile(View(BmpFile(1, 1, 8, 300, Bytes(4, 0)))); }), "BMP error: bad palette size");
    Bytes cutPalette = BmpFile(1, 1, 8, 256, Bytes(4, 0));
    cutPalette.resize(54 + 100);
    EXPECT_EQ(MessageOf([&] { DecodeBmpFile(View(cutPalette)); }), "BMP error: truncated palette");
    Bytes manyColours = good;  // 24-bit: the colours-used field names no palette to read
    Put32(manyColours, 46, 0x01000000);
    EXPECT_EQ(DecodeBmpFile(View(manyColours)).Width, 2);
    Bytes hugeHeight = good;
    Put32(hugeHeight, 22, 0x7fffffff);
    EXPECT_EQ(MessageOf([&] { DecodeBmpFile(View(hugeHeight)); }), "BMP error: truncated pixels");
    Bytes farOffset = good;
    Put32(farOffset, 10, 0xffffffff);
    EXPECT_EQ(MessageOf([&] { DecodeBmpFile(View(farOffset)); }), "BMP error: truncated pixels");
}

TEST(DecodeJpeg, DecodesToBlueGreenRedRowsAndRaisesOnBadData) {
    const std::string jpeg = SolidJpeg(16, 8, 250, 120, 10);
    const TBitmap bitmap = DecodeJpeg(View(jpeg));
    ASSERT_EQ(bitmap.PixelFormat, pf24bit);
    EXPECT_EQ(bitmap.Width, 16);
    EXPECT_EQ(bitmap.Height, 8);
    EXPECT_NEAR(bitmap.ScanLine(3)[0], 10, 3);
    EXPECT_NEAR(bitmap.ScanLine(3)[2], 250, 3);
    const auto rows = TexturePixelsFromBitmap(bitmap);
    ASSERT_TRUE(rows);
    EXPECT_NEAR((*rows)[0], 250, 3);

    EXPECT_EQ(MessageOf([] { DecodeJpeg({}); }).rfind("JPEG error: ", 0), 0u);
    const std::string notJpeg = "GIF89a and so on";
    EXPECT_EQ(MessageOf([&] { DecodeJpeg(View(notJpeg)); }).rfind("JPEG error: ", 0), 0u);
    // Without its end marker alone the picture is whole; cut in the scan or damaged it is not
    // (libjpeg would hand back grey rows).
    const TBitmap cut = DecodeJpeg(View(jpeg.substr(0, jpeg.size() - 2)));
    EXPECT_EQ(cut.Width, 16);
    const std::string big = SolidJpeg(64, 64, 250, 120, 10);
    const std::size_t scan = big.rfind("\xFF\xDA");
    ASSERT_NE(scan, std::string::npos);
    EXPECT_EQ(MessageOf([&] { DecodeJpeg(View(big.substr(0, scan + (big.size() - scan) / 2))); }),
              "JPEG error: Premature end of JPEG file");
    std::string marker = big;
    marker.insert(scan + (big.size() - scan) / 2, "\xFF\xD0");  // a restart marker nobody expects
    EXPECT_EQ(MessageOf([&] { DecodeJpeg(View(marker)); }).rfind("JPEG error: Corrupt JPEG data", 0), 0u);
    // A header claiming more than 16384 pixels a side is refused before any pixel memory.
    std::string huge = jpeg;
    const std::size_t frame = huge.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    huge[frame + 5] = '\x50';  // height 0x50xx
    EXPECT_EQ(MessageOf([&] { DecodeJpeg(View(huge)); }), "JPEG error: image too large");
}

TEST(TexturePixelsFromBitmaps, AlphaIsTheTruncatedMeanOfTheSecondPicture) {
    TBitmap colour;
    colour.PixelFormat = pf24bit;
    colour.Width = 1;
    colour.Height = 2;
    colour.Pixels = {1, 2, 3, 4, 5, 6};  // top row: blue 1, green 2, red 3
    TBitmap alpha;
    alpha.PixelFormat = pf8bit;
    alpha.Width = 1;
    alpha.Height = 2;
    alpha.Pixels = {0, 1};
    alpha.Palette[0] = {10, 10, 11};  // mean 10.33 -> 10
    alpha.Palette[1] = {255, 255, 254};
    const auto rows = TexturePixelsFromBitmaps(colour, alpha);
    ASSERT_TRUE(rows);
    EXPECT_EQ(*rows, (Bytes{6, 5, 4, 254, 3, 2, 1, 10}));

    alpha.Width = 2;
    alpha.Pixels = {0, 0, 1, 1};
    EXPECT_FALSE(TexturePixelsFromBitmaps(colour, alpha));  // sizes differ
    EXPECT_FALSE(TexturePixelsFromBitmaps(colour, TBitmap{}));
    colour.Pixels.pop_back();  // claims more than it holds
    EXPECT_FALSE(TexturePixelsFromBitmap(colour));
}

TEST(ImageKindFromFileName, ComparesTheExtensionInLowerCase) {
    EXPECT_EQ(ImageKindFromFileName("SAND.JPG"), ikJpeg);
    EXPECT_EQ(ImageKindFromFileName("a.b.jepg"), ikJpeg);
    EXPECT_EQ(ImageKindFromFileName("c:\\x.y\\pic.Bmp"), ikBitmap);
    EXPECT_EQ(ImageKindFromFileName("pic.jpeg"), ikNone);
    EXPECT_EQ(ImageKindFromFileName("pic.png"), ikNone);
    EXPECT_EQ(ImageKindFromFileName("dir.jpg\\pic"), ikNone);
    EXPECT_EQ(ImageKindFromFileName("noextension"), ikNone);
}

TEST(BitmapFromFile, ReadsResourcesOrFilesByExtension) {
    const Bytes bmp = BmpFile(1, 1, 24, 0, {1, 2, 3, 0});
    FakeResources resources;
    resources.Put(rkBitmap, "TINY_BMP", std::string(bmp.begin() + 14, bmp.end()));
    resources.Put(rkRawData, "PUZIR_JPG", SolidJpeg(8, 8, 0, 0, 0));
    resources.Put(rkRawData, "PUZIRA_JPG", SolidJpeg(8, 8, 255, 255, 255));
    TScopedResourceFinder scoped(resources);
    LoadFromResources = true;
    TextureDirectory = "C:\\Tidewell\\";
    EXPECT_EQ(BitmapFromFile("tiny.bmp").ScanLine(0)[2], 3);
    EXPECT_EQ(BitmapFromFile("puzir.jpg").Width, 8);
    EXPECT_EQ(BitmapFromFile("puzir.png").PixelFormat, pfNone);
    EXPECT_EQ(MessageOf([] { BitmapFromFile("tiny.jpg"); }), "Resource tiny_jpg not found");

    auto rows = TexturePixelsWithAlphaFromFiles("puzir.jpg", "puzirA.jpg");
    ASSERT_TRUE(rows);
    EXPECT_NEAR((*rows)[3], 255, 2);
    rows = TexturePixelsWithAlphaFromFiles("puzir.jpg", "PUZIR.JPG");
    ASSERT_TRUE(rows);
    EXPECT_NEAR((*rows)[3], 0, 2);
    EXPECT_FALSE(TexturePixelsWithAlphaFromFiles("puzir.jpg", "tiny.bmp"));  // sizes differ

    LoadFromResources = false;
    TextureDirectory = std::string(TIDEWELL_SOURCE_DIR) + "/tests/model/data/";
    EXPECT_EQ(BitmapFromFile("check2x2.bmp").Width, 2);
    EXPECT_EQ(MessageOf([] { BitmapFromFile("absent.bmp"); }), "Cannot open file \"" + TextureDirectory + "absent.bmp\"");
    TextureDirectory.clear();
}

}  // namespace
