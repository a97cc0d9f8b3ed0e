#pragma once
// The bubbling loop: synthesised, then written as a Microsoft ADPCM wave by libsndfile.
#include <string>
#include <vector>

namespace art {

constexpr int kSoundRate = 11025;
constexpr int kSoundFrames = 49000;  // 98 whole ADPCM blocks of 500 frames: about 4.4 s

// Interleaved stereo, 16-bit range, exactly kSoundFrames frames; the end joins the start.
std::vector<short> MakeBubbling();
void WriteAdpcmWave(const std::string& path, const std::vector<short>& stereo);

}  // namespace art
