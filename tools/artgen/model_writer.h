#pragma once
// Writes meshes as 3DM text and key-frame lists as MFL text, in the shipped layout: twelve
// sections in a fixed order, numbers with "." and no blanks inside brackets, CR LF lines.
#include <array>
#include <string>
#include <vector>

namespace art {

struct Vec3 {
    float x = 0, y = 0, z = 0;
};
inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float k) { return {a.x * k, a.y * k, a.z * k}; }
Vec3 Cross(Vec3 a, Vec3 b);
float Dot(Vec3 a, Vec3 b);
Vec3 Normalised(Vec3 v);

struct Vec2 {
    float s = 0, t = 0;
};

// One object: positions in the file's own space, one texture coordinate per vertex (so the
// texture-coordinate faces equal the vertex faces), 0-based faces, a material id per face.
struct Mesh {
    std::vector<Vec3> vertices;
    std::vector<Vec2> texCoords;
    std::vector<std::array<int, 3>> faces;
    std::vector<int> materialIds;
};

struct MaterialInfo {
    std::string name;
    std::array<float, 3> diffuse{255, 255, 255};  // 0..255
    float opacity = 100;                          // percent
    bool twoSided = false;
    std::string diffuseMap;  // empty: "undefined"
};

// Rows 1-3 are the object's axes, row 4 its position.
using TransformRows = std::array<Vec3, 4>;

// One material writes a standard material; several write one multi/sub-object material.
std::string Format3dm(const std::string& objectName, const Mesh& mesh, const TransformRows& transform,
                      const std::vector<MaterialInfo>& materials);
std::string FormatMfl(const std::vector<std::string>& poseFiles);

std::string FormatNumber(float value, int decimals);
void WriteText(const std::string& path, const std::string& text);

}  // namespace art
