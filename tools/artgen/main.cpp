// Writes every model, frame list, texture, picture, the sound and the icon of the aquarium into one
// folder. Deterministic: fixed seeds, no clock, no machine state; the same build writes the
// same bytes, and tests/tools checks the committed resources/ against a fresh run.
//
//   tidewell_artgen <output folder>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/artgen/fish.h"
#include "tools/artgen/icon.h"
#include "tools/artgen/image.h"
#include "tools/artgen/model_writer.h"
#include "tools/artgen/picture.h"
#include "tools/artgen/sound.h"
#include "tools/artgen/textures.h"

namespace art {
namespace {

constexpr int kJpegQuality = 92;

// The sand layer: 5 x 5 vertices spanning x -15000..15000, y -5000..5000 in the file. The
// transform lifts it by 5000 along y and the import's turn lays it flat, facing up, from the
// camera plane to 10000 in front of it. One sand tile covers 2500 units.
void WriteBottom(const std::string& dir) {
    Mesh mesh;
    constexpr int n = 5;
    constexpr float tile = 2500.0f;
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const float x = -15000.0f + 7500.0f * i, y = -5000.0f + 2500.0f * j;
            mesh.vertices.push_back({x, y, 0});
            mesh.texCoords.push_back({(x + 15000.0f) / tile, (y + 5000.0f) / tile});
        }
    }
    for (int j = 0; j + 1 < n; ++j) {
        for (int i = 0; i + 1 < n; ++i) {
            const int a = j * n + i, b = a + 1, c = a + n + 1, d = a + n;
            mesh.faces.push_back({a, b, c});  // counter-clockwise seen from +z: faces up after import
            mesh.faces.push_back({a, c, d});
            mesh.materialIds.push_back(1);
            mesh.materialIds.push_back(1);
        }
    }
    const TransformRows rows{Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}, Vec3{0, 5000, 0}};
    MaterialInfo sand{"Sand", {200, 190, 160}, 100, false, "dno02.jpg"};
    WriteText(dir + "/dnoK00f.3dm", Format3dm("Bottom", mesh, rows, {sand}));
}

// The bubble: a 200 x 200 square. Its transform undoes the import's turn, so it stays in the
// x-y plane facing +z. Faces [3,4,1] and [2,3,1] (1-based), counter-clockwise from +z.
void WriteBubbleModel(const std::string& dir) {
    Mesh mesh;
    mesh.vertices = {{100, 100, 0}, {-100, 100, 0}, {-100, -100, 0}, {100, -100, 0}};
    mesh.texCoords = {{1, 1}, {0, 1}, {0, 0}, {1, 0}};
    mesh.faces = {{2, 3, 0}, {1, 2, 0}};
    mesh.materialIds = {1, 1};
    const TransformRows rows{Vec3{1, 0, 0}, Vec3{0, 0, 1}, Vec3{0, -1, 0}, Vec3{0, 0, 0}};
    MaterialInfo bubble{"Bubble", {230, 240, 255}, 100, false, "puzir.jpg"};
    WriteText(dir + "/Puzir00f.3dm", Format3dm("Bubble", mesh, rows, {bubble}));
}

void WriteFish(const std::string& dir, const FishArt& fish) {
    std::vector<std::string> poseFiles;
    const std::vector<MaterialInfo> materials{
        {"Body", {255, 255, 255}, 100, false, fish.textureName},
        {"Fins", {255, 255, 255}, 78.43f, true, fish.textureName},
    };
    const TransformRows identity{Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}, Vec3{0, 0, 0}};
    for (std::size_t k = 0; k < fish.poses.size(); ++k) {
        char name[64];
        std::snprintf(name, sizeof name, "%s%02zuf.3dm", fish.baseName.c_str(), k);
        Mesh mesh = fish.poses[k];
        for (Vec3& v : mesh.vertices) v = EngineToFile(v);
        WriteText(dir + "/" + name, Format3dm(fish.baseName, mesh, identity, materials));
        poseFiles.push_back(name);
    }
    WriteText(dir + "/" + fish.baseName + ".mfl", FormatMfl(poseFiles));
    WriteJpeg(dir + "/" + fish.textureName, fish.texture, kJpegQuality);
}

struct Theme {
    const char *sand, *water, *caustics;
    SandStyle sandStyle;
    WaterStyle waterStyle;
    Rgb causticTint;
    std::uint32_t causticSeed;
};

int Run(const std::string& dir) {
    WriteBottom(dir);
    WriteBubbleModel(dir);
    const std::vector<FishArt> fishes = MakeFishes();
    for (const FishArt& fish : fishes) WriteFish(dir, fish);

    const Theme themes[] = {
        {"dno02.jpg", "voda2.jpg", "caust2.jpg", {12, Hex(0xE6DCC0), Hex(0xA89878), 9, 2},
         {22, Hex(0x1E6EB4), Hex(0xCDEBFF)}, Hex(0xE8F4FF), 32},
        {"Pesok01.jpg", "voda1.jpg", "caust1.jpg", {11, Hex(0xEEDDB4), Hex(0xB09868), 8, -3},
         {21, Hex(0x14909C), Hex(0xD2FAF5)}, Hex(0xEAFFF8), 31},
        {"dno03.jpg", "voda3.jpg", "caust3.jpg", {13, Hex(0xDCD8B0), Hex(0x98946C), 10, 1},
         {23, Hex(0x1C8C64), Hex(0xDCFADC)}, Hex(0xF0FFE8), 33},
    };
    Image blueSand(1, 1), blueCaustics(1, 1);
    for (const Theme& t : themes) {
        Image sand = MakeSand(t.sandStyle, 256);
        Image caustics = MakeCaustics(t.causticSeed, t.causticTint, 256);
        WriteJpeg(dir + "/" + t.sand, sand, kJpegQuality);
        WriteJpeg(dir + "/" + t.water, MakeWaterSurface(t.waterStyle, 256), kJpegQuality);
        WriteJpeg(dir + "/" + t.caustics, caustics, kJpegQuality);
        if (&t == &themes[0]) {
            blueSand = sand;
            blueCaustics = caustics;
        }
    }
    WriteJpeg(dir + "/caust5.jpg", MakeShine(128), kJpegQuality);
    const Image bubbleColour = MakeBubbleColour(128), bubbleAlpha = MakeBubbleAlpha(128);
    WriteJpeg(dir + "/puzir.jpg", bubbleColour, kJpegQuality);
    WriteJpeg(dir + "/puzirA.jpg", bubbleAlpha, kJpegQuality);
    WriteJpeg(dir + "/background.jpg", MakeDialogPicture(fishes, blueSand, blueCaustics, bubbleColour, bubbleAlpha),
              kJpegQuality);
    WriteAdpcmWave(dir + "/sbubles.wav", MakeBubbling());
    WriteIcons(dir);
    return 0;
}

}  // namespace
}  // namespace art

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    try {
        return art::Run(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tidewell_artgen: %s\n", e.what());
        return 1;
    }
}
