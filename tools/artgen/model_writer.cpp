#include "tools/artgen/model_writer.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace art {

Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Normalised(Vec3 v) {
    const float n = std::sqrt(Dot(v, v));
    return n > 0 ? v * (1.0f / n) : Vec3{0, 0, 1};
}

std::string FormatNumber(float value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, static_cast<double>(value));
    std::string text = buffer;
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    if (text == "-0") text = "0";
    return text;
}

namespace {

constexpr const char* kEol = "\r\n";

std::string Bracket(Vec3 v, int decimals) {
    return "[" + FormatNumber(v.x, decimals) + "," + FormatNumber(v.y, decimals) + "," + FormatNumber(v.z, decimals) +
           "]";
}

std::string Colour(const std::array<float, 3>& c) {
    return "(color " + FormatNumber(c[0], 4) + " " + FormatNumber(c[1], 4) + " " + FormatNumber(c[2], 4) + ")";
}

// Seventeen property lines: the count in the section head.
void AppendStandard(std::string& out, const MaterialInfo& m) {
    const std::array<float, 3> ambient{m.diffuse[0] * 0.6f, m.diffuse[1] * 0.6f, m.diffuse[2] * 0.6f};
    out += "#MaterialStandard 17";
    out += kEol;
    const std::string lines[] = {
        "Name " + m.name,
        "ShaderType 1 Blinn",
        "Faceted false",
        "WireSize 1",
        std::string("TwoSided ") + (m.twoSided ? "true" : "false"),
        "OpacityType 0",
        "Opacity " + FormatNumber(m.opacity, 2),
        "selfIllumColor (color 0 0 0)",
        "Ambient " + Colour(ambient),
        "Diffuse " + Colour(m.diffuse),
        "Specular (color 229.5 229.5 229.5)",
        "SpecularLevel 5",
        "Glossiness 25",
        "DiffuseMap " + (m.diffuseMap.empty() ? std::string("undefined") : m.diffuseMap),
        "OpacityMap undefined",
        "BumpMap undefined",
        "ReflectionMap undefined",
    };
    for (const std::string& line : lines) {
        out += line;
        out += kEol;
    }
}

std::vector<Vec3> VertexNormals(const Mesh& mesh) {
    std::vector<Vec3> normals(mesh.vertices.size());
    for (const auto& f : mesh.faces) {
        const Vec3 n = Cross(mesh.vertices[f[1]] - mesh.vertices[f[0]], mesh.vertices[f[2]] - mesh.vertices[f[0]]);
        for (int k : f) normals[k] = normals[k] + n;
    }
    for (Vec3& n : normals) n = Normalised(n);
    return normals;
}

void Head(std::string& out, const char* name, std::size_t count) {
    out += "#";
    out += name;
    out += " " + std::to_string(count) + kEol;
}

}  // namespace

std::string Format3dm(const std::string& objectName, const Mesh& mesh, const TransformRows& transform,
                      const std::vector<MaterialInfo>& materials) {
    std::string out;
    Head(out, "Header", 1);
    out += std::string("Version 1") + kEol;
    Head(out, "MaterialCount", 1);
    out += std::to_string(materials.size()) + kEol;
    std::string materialName;
    if (materials.size() == 1) {
        AppendStandard(out, materials[0]);
        materialName = materials[0].name;
    } else {
        materialName = objectName + " Multi";
        Head(out, "MaterialMultiSubObject", 2);
        out += "Name " + materialName + kEol;
        out += "NumSubs " + std::to_string(materials.size()) + kEol;
        for (const MaterialInfo& m : materials) AppendStandard(out, m);
    }
    Head(out, "Object", 1);
    out += "Name " + objectName + kEol;
    Head(out, "Transform", 4);
    out += "(matrix3";
    for (const Vec3& row : transform) out += " " + Bracket(row, 4);
    out += std::string(")") + kEol;
    out += "Position " + Bracket(transform[3], 4) + kEol;
    out += std::string("Rotation 0 [0,0,1]") + kEol;
    out += std::string("Scale [1,1,1]") + kEol;
    Head(out, "Vertices", mesh.vertices.size());
    for (const Vec3& v : mesh.vertices) out += Bracket(v, 2) + kEol;
    Head(out, "VertexFaces", mesh.faces.size());
    auto faceLine = [&](const std::array<int, 3>& f) {
        return "[" + std::to_string(f[0] + 1) + "," + std::to_string(f[1] + 1) + "," + std::to_string(f[2] + 1) +
               "]" + kEol;
    };
    for (const auto& f : mesh.faces) out += faceLine(f);
    Head(out, "Material", 1);
    out += "Name " + materialName + kEol;
    Head(out, "FaceMatID", mesh.materialIds.size());
    for (int id : mesh.materialIds) out += std::to_string(id) + kEol;
    const std::vector<Vec3> normals = VertexNormals(mesh);
    Head(out, "Normals", normals.size());
    for (const Vec3& n : normals) out += Bracket(n, 4) + kEol;
    Head(out, "TextureCoords", mesh.texCoords.size());
    for (const Vec2& t : mesh.texCoords) out += Bracket({t.s, t.t, 0}, 4) + kEol;
    Head(out, "TextureCoordFaces", mesh.faces.size());
    for (const auto& f : mesh.faces) out += faceLine(f);
    return out;
}

std::string FormatMfl(const std::vector<std::string>& poseFiles) {
    std::string out = std::string("1 1.0") + kEol;
    const std::size_t last = poseFiles.size() - 1;
    for (std::size_t i = 0; i < poseFiles.size(); ++i) {
        const float time = last ? static_cast<float>(i) / static_cast<float>(last) : 0.0f;
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%.1f", static_cast<double>(time));
        out += stamp;
        out += " " + poseFiles[i] + kEol;
    }
    return out;
}

void WriteText(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw std::runtime_error("cannot write " + path);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

}  // namespace art
