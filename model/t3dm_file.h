#pragma once
// The in-memory 3DM model: objects with their geometry, and materials, read from 3DM text.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/t3dm_lists.h"
#include "model/t3dm_material.h"

class T3DMIntegerList final : public T3DMRecordList<std::int32_t, 0> {};

class T3DMObject {
public:
    std::string Name;
    T3DMVertexList Vertices;
    T3DMVertexList Normals;
    T3DMColorList Colors;
    T3DMTextureCoordList TextureCoords;
    T3DMFaceList VertexFaces;        // corners index Vertices
    T3DMFaceList ColorFaces;         // corners index Colors
    T3DMFaceList TextureCoordFaces;  // corners index TextureCoords
    bool HasTextureCoords = false;
    bool HasColors = false;
    bool HasTransform = false;
    // Rows 1 to 3 are the object's axes, row 4 its position: p' = x*r1 + y*r2 + z*r3 + r4.
    std::array<T3DMVertex, 4> Transform{};
    T3DMIntegerList FaceMatIDs;  // one material id per face
};

class T3DMFile {
public:
    T3DMFile() = default;
    ~T3DMFile() { Clear(); }
    T3DMFile(const T3DMFile&) = delete;
    T3DMFile& operator=(const T3DMFile&) = delete;

    void Clear();
    // Clears, then reads the named text: the raw-data resource ResourceNameFromFileName(name)
    // when FromResource is set, else the file. Running out of text ends the load quietly
    // with everything read so far kept; a malformed value raises and keeps what came before.
    void Load(const std::string& name);
    // The same from a text in memory.
    void LoadFromText(std::string_view text);

    std::int32_t ObjectCount() const { return static_cast<std::int32_t>(objects_.size()); }
    T3DMObject& Objects(std::int32_t index) const;
    T3DMMaterialList& Materials() { return materials_; }
    const T3DMMaterialList& Materials() const { return materials_; }
    std::int32_t Version() const { return version_; }
    bool FromResource() const { return fromResource_; }
    void SetFromResource(bool value) { fromResource_ = value; }

private:
    friend class T3DMReader;
    std::vector<std::unique_ptr<T3DMObject>> objects_;
    T3DMMaterialList materials_;
    std::int32_t version_ = 0;
    bool fromResource_ = false;
};
