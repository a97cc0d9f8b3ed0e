// 3DM objects to primitives, 3DM materials to engine materials, and the model loaders.
#include "model/model_import.h"

#include <climits>
#include <new>
#include <vector>

#include "gl/vector_math.h"
#include "model/import_settings.h"
#include "model/t3dm_file.h"
#include "model/t3dm_material.h"
#include "model/vert_indices_3dm_list.h"

namespace {

constexpr std::int32_t kMaxFaceMaterialId = 1000;

// The list takes its reference before the caller lets go, so a failing Add (none, or out of
// memory) leaves the item with its unique_ptr.
template <typename List, typename Item>
void AddOwned(List& list, std::unique_ptr<Item> item) {
    list.Add(item.get());
    item.release();
}

template <typename List>
void EmptyOrCreate(std::unique_ptr<List>& list) {
    if (list)
        list->Clear();
    else
        list = std::make_unique<List>();
}

template <typename List>
List& Ensure(std::unique_ptr<List>& list) {
    if (!list) list = std::make_unique<List>();
    return *list;
}

// Placement by the object's rows, then the turn that stands the model's z axis up:
// p -> p x (M x RotationMatrixX(270)).
Matrix PlacementMatrix(const T3DMObject& object) {
    Matrix m = IdentityMatrix();
    for (int i = 0; i < 4; ++i) {
        const T3DMVertex& row = object.Transform[static_cast<std::size_t>(i)];
        m[static_cast<std::size_t>(4 * i + 0)] = row.x;
        m[static_cast<std::size_t>(4 * i + 1)] = row.y;
        m[static_cast<std::size_t>(4 * i + 2)] = row.z;
    }
    Matrix r;
    RotationMatrixX(r, 270.0f);
    Matrix t;
    MatrixMultiply(m, r, t);
    return t;
}

// A primitive from `count` faces of the object, face(j) giving the j-th face number used.
template <typename FaceNumber>
std::unique_ptr<TGLPrimitive> BuildPrimitive(const T3DMObject& object, std::size_t count, FaceNumber face) {
    if (count > static_cast<std::size_t>(INT32_MAX / 3)) throw std::bad_alloc();
    auto primitive = std::make_unique<TGLPrimitive>();
    primitive->SetType(ptTriangles);
    TVertIndices3DMList merger(object.Vertices.Count());

    primitive->Indices.SetCount(static_cast<std::int32_t>(3 * count));
    std::int32_t slot = 0;
    for (std::size_t j = 0; j < count; ++j) {
        const std::int32_t f = face(j);
        const T3DMFace& vertexFace = object.VertexFaces.Items(f);
        const T3DMFace* texFace = object.HasTextureCoords ? &object.TextureCoordFaces.Items(f) : nullptr;
        const T3DMFace* colorFace = object.HasColors ? &object.ColorFaces.Items(f) : nullptr;
        for (std::size_t k = 0; k < 3; ++k) {
            // A bad texture index is refused here, before it becomes a merged vertex.
            const std::int32_t t = texFace ? texFace->corner[k] : 0;
            if (texFace) object.TextureCoords.Items(t);
            const std::int32_t c = colorFace ? colorFace->corner[k] : 0;
            primitive->Indices.SetIndex(slot++, merger.IndexOfCorner(vertexFace.corner[k], t, c));
        }
    }

    const std::int32_t n = merger.Count();
    primitive->Vertices.SetCount(n);
    if (object.HasTextureCoords) primitive->TexCoords.SetCount(n);
    if (object.HasColors) {
        primitive->Colors.SetCount(n);
    } else {
        const float white[] = {1.0f, 1.0f, 1.0f};
        primitive->Colors.SetFromArray(white);
    }
    for (std::int32_t i = 0; i < n; ++i) {
        const TVertIndex3DM corner = merger.Items(i);
        const T3DMVertex& p = object.Vertices.Items(corner.VertexIndex);
        primitive->Vertices.SetXYZ(i, p.x, p.y, p.z);
        if (object.HasTextureCoords) {
            const T3DMTextureCoord& st = object.TextureCoords.Items(corner.TexCoordIndex);
            primitive->TexCoords.SetST(i, st.s, st.t);
        }
        if (object.HasColors) {
            const T3DMColor& c = object.Colors.Items(corner.ColorIndex);
            primitive->Colors.SetRGB(i, c.red / 255.0f, c.green / 255.0f, c.blue / 255.0f);
        }
    }

    if (object.HasTransform) primitive->Transform(PlacementMatrix(object));
    primitive->CalcNormals();
    return primitive;
}

bool NamesMap(const std::string& map) { return !map.empty() && map != "undefined"; }

const T3DMMaterialStandard& StandardSubMaterial(const T3DMMaterialList& list, std::int32_t i) {
    auto* standard = dynamic_cast<const T3DMMaterialStandard*>(list.Items(i));
    if (standard == nullptr) throw Exception("Invalid class typecast");
    return *standard;
}

}  // namespace

std::unique_ptr<TGLPrimitive> PrimitiveFrom3DMObject(const T3DMObject& object) {
    const auto count = static_cast<std::size_t>(object.VertexFaces.Count());
    return BuildPrimitive(object, count, [](std::size_t j) { return static_cast<std::int32_t>(j); });
}

std::unique_ptr<TGLPrimitive> PrimitiveFrom3DMFaces(const T3DMObject& object, std::span<const int> faces) {
    return BuildPrimitive(object, faces.size(), [faces](std::size_t j) { return faces[j]; });
}

void PrimitiveListFrom3DMObject(const T3DMObject& object, std::unique_ptr<TGLPrimitiveList>& list) {
    TGLPrimitiveList& primitives = Ensure(list);
    std::vector<std::vector<int>> groups;  // face numbers by material id
    for (std::int32_t i = 0; i < object.FaceMatIDs.Count(); ++i) {
        const std::int32_t id = object.FaceMatIDs.Items(i);
        if (id > kMaxFaceMaterialId) throw Exception("PrimitiveListFrom3DMObject error: FaceID>1000");
        if (id < 0) RaiseListIndexError(id);
        if (groups.size() <= static_cast<std::size_t>(id)) groups.resize(static_cast<std::size_t>(id) + 1);
        groups[static_cast<std::size_t>(id)].push_back(i);
    }
    for (const std::vector<int>& group : groups) {
        if (!group.empty()) AddOwned(primitives, PrimitiveFrom3DMFaces(object, group));
    }
}

std::unique_ptr<TGLPrimitive> PrimitiveFrom3DMFile(const T3DMFile& file) {
    if (file.ObjectCount() == 0) return nullptr;
    std::unique_ptr<TGLPrimitive> primitive = PrimitiveFrom3DMObject(file.Objects(0));
    for (std::int32_t i = 1; i < file.ObjectCount(); ++i) primitive->AddPrimitive(*PrimitiveFrom3DMObject(file.Objects(i)));
    return primitive;
}

namespace {

// The file is released by its destructor on every path.
void LoadModelFile(T3DMFile& file, const std::string& name) {
    file.SetFromResource(LoadFromResources);
    file.Load(ModelDirectory + name);
}

}  // namespace

std::unique_ptr<TGLPrimitive> Load3DMPrimitive(const std::string& name) {
    T3DMFile file;
    LoadModelFile(file, name);
    return PrimitiveFrom3DMFile(file);
}

void Load3DMModel(const std::string& name, std::unique_ptr<TGLTextureList>& textures,
                  std::unique_ptr<TGLMaterialList>& materials, std::unique_ptr<TGLPrimitiveList>& primitives) {
    T3DMFile file;
    LoadModelFile(file, name);
    if (file.ObjectCount() > 0) ModelFrom3DMFile(file, textures, materials, primitives);
}

void ModelFrom3DMFile(const T3DMFile& file, std::unique_ptr<TGLTextureList>& textures,
                      std::unique_ptr<TGLMaterialList>& materials, std::unique_ptr<TGLPrimitiveList>& primitives) {
    if (file.ObjectCount() == 0) return;
    EmptyOrCreate(materials);
    EmptyOrCreate(primitives);
    EmptyOrCreate(textures);
    for (std::int32_t i = 0; i < file.ObjectCount(); ++i) PrimitiveListFrom3DMObject(file.Objects(i), primitives);
    const T3DMMaterialList& list = file.Materials();
    for (std::int32_t i = 0; i < list.Count(); ++i) {
        const T3DMMaterial* material = list.Items(i);
        if (auto* standard = dynamic_cast<const T3DMMaterialStandard*>(material)) {
            AddOwned(*materials, MaterialFrom3DMMaterial(*standard));
            if (NamesMap(standard->DiffuseMap)) AddOwned(*textures, TextureFromFile(standard->DiffuseMap));
        } else if (auto* multi = dynamic_cast<const T3DMMaterialMultiSubObject*>(material)) {
            multi->AddMaterials(materials);
            multi->AddTextures(textures);
        }
    }
}

void Load3DMPrimitiveList(const std::string& name, std::unique_ptr<TGLPrimitiveList>& list) {
    EmptyOrCreate(list);
    T3DMFile file;
    LoadModelFile(file, name);
    for (std::int32_t i = 0; i < file.ObjectCount(); ++i) PrimitiveListFrom3DMObject(file.Objects(i), list);
}

std::unique_ptr<TGLMaterial> MaterialFrom3DMMaterial(const T3DMMaterialStandard& m) {
    auto material = std::make_unique<TGLMaterial>();
    const float a = m.Opacity * 0.01f;
    auto scaled = [a](const T3DMColor& c) { return MakeColour(c.red / 255.0f, c.green / 255.0f, c.blue / 255.0f, a); };
    material->SetAmbient(scaled(m.Ambient));
    material->SetDiffuse(scaled(m.Diffuse));
    material->SetEmission(scaled(m.SelfIllumColor));
    const float s = m.SpecularLevel * 0.01f;
    auto mix = [s](float specular, float diffuse) { return (specular * s + diffuse * (1.0f - s)) / 255.0f; };
    material->SetSpecular(MakeColour(mix(m.Specular.red, m.Diffuse.red), mix(m.Specular.green, m.Diffuse.green),
                                     mix(m.Specular.blue, m.Diffuse.blue), a));
    material->SetShininess(m.Glossiness * 0.128f);
    material->SetFrontFace(true);
    material->SetBackFace(m.TwoSided);
    return material;
}

void T3DMMaterialMultiSubObject::AddMaterials(std::unique_ptr<TGLMaterialList>& materials) const {
    TGLMaterialList& list = Ensure(materials);
    for (std::int32_t i = 0; i < subMaterials_.Count(); ++i)
        AddOwned(list, MaterialFrom3DMMaterial(StandardSubMaterial(subMaterials_, i)));
}

void T3DMMaterialMultiSubObject::AddTextures(std::unique_ptr<TGLTextureList>& textures) const {
    TGLTextureList& list = Ensure(textures);
    for (std::int32_t i = 0; i < subMaterials_.Count(); ++i) {
        const T3DMMaterialStandard& sub = StandardSubMaterial(subMaterials_, i);
        if (NamesMap(sub.DiffuseMap)) AddOwned(list, TextureFromFile(sub.DiffuseMap));
    }
}
