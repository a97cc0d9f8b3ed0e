#pragma once
// The three fish species: six key-frame meshes each, and the side-view texture they share.
#include <string>
#include <vector>

#include "tools/artgen/image.h"
#include "tools/artgen/model_writer.h"

namespace art {

struct FishArt {
    std::string baseName;     // pose files are baseName + "00f.3dm" .. "05f.3dm"
    std::string textureName;  // the species image
    std::vector<Mesh> poses;  // six poses in engine space (head +x, back +y), identical topology
    Image texture;
    // Coverage of the side view in texture space (0 outside, 1 body, 0.5 fin): for pictures.
    std::vector<float> coverage;
    float aspect = 1;  // height / length of the side view the texture shows
};

constexpr int kPoseCount = 6;

std::vector<FishArt> MakeFishes();

// Engine space (after the import's placement and turn) to the 3DM file's own space. The
// import places a point by the object's transform and then maps (x, y, z) to (x, z, -y); the
// fish are written with the identity transform, so the file holds (x, -z, y): a z-up space
// where the back points along +z and the head along +x.
Vec3 EngineToFile(Vec3 engine);

}  // namespace art
