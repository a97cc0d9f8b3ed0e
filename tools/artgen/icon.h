#pragma once
// The program's icon: a yellow tang in the blue water of the first theme, over the sand, with
// rising bubbles, on a rounded tile. Drawn per size (details that would blur are left out of the
// small ones) and written as a Windows icon file and as PNG files for the desktop's icon theme;
// the same scene, taller, is the setup's side picture.
#include <cstdint>
#include <string>
#include <vector>

namespace art {

inline constexpr int kIconSizes[] = {16, 32, 48, 256};
// The side picture of the setup's welcome and finish pages (the size Modern UI shows).
inline constexpr int kSetupPictureWidth = 164, kSetupPictureHeight = 314;

// size x size RGBA8, top row first, alpha not premultiplied.
std::vector<std::uint8_t> DrawIcon(int size);
// A PNG file's bytes for RGBA8 pixels.
std::vector<std::uint8_t> EncodePngRgba(int width, int height, const std::vector<std::uint8_t>& rgba);
// The .ico file: the sizes below 256 as 32-bit bitmaps with their masks, 256 as PNG, as Windows
// Vista and later read them.
std::vector<std::uint8_t> EncodeIco(const std::vector<int>& sizes);
// width x height RGB8 of the setup's side picture: the icon's scene without its tile, the water
// going on up to the surface.
std::vector<std::uint8_t> DrawSetupPicture(int width, int height);
// A 24-bit BMP file's bytes for RGB8 pixels.
std::vector<std::uint8_t> EncodeBmp(int width, int height, const std::vector<std::uint8_t>& rgb);
// <dir>/3dtidewell.ico, <dir>/3dtidewell_<size>.png for every size and the setup's side picture
// <dir>/3dtidewell_setup.dib (a BMP file).
void WriteIcons(const std::string& dir);

}  // namespace art
