#pragma once
// The materials of a 3DM model and the list that owns them.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/t3dm_lists.h"

class T3DMMaterialList;
class TGLMaterialList;
class TGLTextureList;

class T3DMMaterial {
public:
    explicit T3DMMaterial(std::string name = {}) : name_(std::move(name)) {}
    // A material that is destroyed leaves its list.
    virtual ~T3DMMaterial();
    T3DMMaterial(const T3DMMaterial&) = delete;
    T3DMMaterial& operator=(const T3DMMaterial&) = delete;

    T3DMMaterialList* Owner() const { return owner_; }
    // Moves the material from its list (if any) to the end of the given one; the new list
    // owns it. None detaches it, and the caller owns it again.
    void SetOwner(T3DMMaterialList* list);

    const std::string& Name() const { return name_; }
    // A different name moves the material to the end of its list; an equal one does nothing.
    void SetName(const std::string& name);

private:
    friend class T3DMMaterialList;
    T3DMMaterialList* owner_ = nullptr;
    std::string name_;
};

class T3DMMaterialStandard final : public T3DMMaterial {
public:
    using T3DMMaterial::T3DMMaterial;

    bool Faceted = false;
    bool TwoSided = false;
    std::int32_t ShaderType = 0;
    std::int32_t OpacityType = 0;
    std::int32_t WireSize = 0;
    float Glossiness = 0;  // percent
    float SpecularLevel = 0;
    float Opacity = 0;
    std::string DiffuseMap;  // texture file names, empty for none
    std::string ReflectionMap;
    std::string OpacityMap;
    std::string BumpMap;
    T3DMColor Ambient{};  // 0 to 255 scale
    T3DMColor Diffuse{};
    T3DMColor SelfIllumColor{};
    T3DMColor Specular{};
};

// Ordered (name, material) entries in insertion order; duplicate names are allowed. The list
// owns its materials and destroys them on Clear and with itself.
class T3DMMaterialList {
public:
    T3DMMaterialList() = default;
    ~T3DMMaterialList() { Clear(); }
    T3DMMaterialList(const T3DMMaterialList&) = delete;
    T3DMMaterialList& operator=(const T3DMMaterialList&) = delete;

    std::int32_t Count() const { return static_cast<std::int32_t>(materials_.size()); }
    T3DMMaterial* Items(std::int32_t index) const;

    // Appends the material and takes it over (a material of another list leaves that list
    // first; one already here stays where it is). None raises
    // "T3DMMaterialList error: Add a Nil Material".
    T3DMMaterial* Add(T3DMMaterial* material);
    template <typename Material>
    Material* Add(std::unique_ptr<Material> material) {
        ReserveOneMore();  // Add cannot fail after the release
        Add(static_cast<T3DMMaterial*>(material.get()));
        return material.release();
    }
    // Takes the material out without destroying it; the caller owns it again.
    void Remove(T3DMMaterial* material);
    void Clear();

private:
    // Room for one more entry, growing geometrically.
    void ReserveOneMore() {
        if (materials_.size() == materials_.capacity()) materials_.reserve(2 * materials_.size() + 4);
    }
    std::vector<T3DMMaterial*> materials_;
};

class T3DMMaterialMultiSubObject final : public T3DMMaterial {
public:
    using T3DMMaterial::T3DMMaterial;

    // Holds T3DMMaterialStandard only.
    T3DMMaterialList& SubMaterials() { return subMaterials_; }
    const T3DMMaterialList& SubMaterials() const { return subMaterials_; }

    // Engine objects of the sub-materials, appended in order (model_import.cpp); each creates
    // the list when none is given. AddTextures adds the texture of every sub-material that
    // names a diffuse map.
    void AddMaterials(std::unique_ptr<TGLMaterialList>& materials) const;
    void AddTextures(std::unique_ptr<TGLTextureList>& textures) const;

private:
    T3DMMaterialList subMaterials_;
};
