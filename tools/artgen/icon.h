#pragma once
// The program's icon: a yellow tang in the blue water of the first theme, over the sand, with
// rising bubbles, on a rounded tile. Drawn per size (details that would blur are left out of the
// small ones) and written as a Windows icon file and as PNG files for the desktop's icon theme.
#include <cstdint>
#include <string>
#include <vector>

namespace art {

inline constexpr int kIconSizes[] = {16, 32, 48, 256};

// size x size RGBA8, top row first, alpha not premultiplied.
std::vector<std::uint8_t> DrawIcon(int size);
// A PNG file's bytes for RGBA8 pixels.
std::vector<std::uint8_t> EncodePngRgba(int width, int height, const std::vector<std::uint8_t>& rgba);
// The .ico file: the sizes below 256 as 32-bit bitmaps with their masks, 256 as PNG, as Windows
// Vista and later read them.
std::vector<std::uint8_t> EncodeIco(const std::vector<int>& sizes);
// <dir>/3dtidewell.ico and <dir>/3dtidewell_<size>.png for every size.
void WriteIcons(const std::string& dir);

}  // namespace art
