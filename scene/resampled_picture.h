#pragma once
// A picture from the program's resources resampled to power-of-two sizes, as OpenGL 1.1
// textures need. Apart from the GL headers: the picture and the engine name their palette
// entries alike.
#include <cstdint>
#include <string>
#include <vector>

// RGB rows, bottom row first; false when the picture cannot be read.
bool ResampledPicture(const std::string& name, std::vector<std::uint8_t>& rows, std::int32_t& width,
                      std::int32_t& height);
