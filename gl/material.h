#pragma once
// TGLMaterial: material colours and shininess with change bits; Apply sends only what changed.
#include <cstdint>

#include "gl/item_list.h"
#include "gl/types.h"

class TGLMaterial : public TGLItemList {
public:
    static constexpr std::uint32_t kAmbient = 0x01;
    static constexpr std::uint32_t kDiffuse = 0x02;
    static constexpr std::uint32_t kSpecular = 0x08;
    static constexpr std::uint32_t kEmission = 0x10;
    static constexpr std::uint32_t kShininess = 0x20;
    static constexpr std::uint32_t kAll = 0x3B;

    const Colour& Ambient() const { return ambient_; }
    const Colour& Diffuse() const { return diffuse_; }
    const Colour& Specular() const { return specular_; }
    const Colour& Emission() const { return emission_; }
    float Shininess() const { return shininess_; }
    std::uint32_t Changed() const { return changed_; }
    bool BackFace() const { return backFace_; }
    bool FrontFace() const { return frontFace_; }

    void SetAmbient(const Colour& c);
    void SetDiffuse(const Colour& c);
    void SetSpecular(const Colour& c);
    void SetEmission(const Colour& c);
    void SetShininess(float s);
    // Either face flag re-sends all five values for the new face.
    void SetBackFace(bool on);
    void SetFrontFace(bool on);

    void Apply();
    void ApplyAll();

private:
    Colour ambient_{0.2f, 0.2f, 0.2f, 1.0f};
    Colour diffuse_{0.8f, 0.8f, 0.8f, 1.0f};
    Colour specular_{0.0f, 0.0f, 0.0f, 0.0f};
    Colour emission_{0.0f, 0.0f, 0.0f, 0.0f};
    float shininess_ = 0.0f;
    std::uint32_t changed_ = kAll;
    bool backFace_ = false;
    bool frontFace_ = true;
};

class TGLMaterialList : public TGLRefList<TGLMaterial> {
public:
    TGLMaterialList() : TGLRefList("TGLMaterialList error: Add NIL Material!") {}
};
