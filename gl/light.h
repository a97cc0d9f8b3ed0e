#pragma once
// TGLLight: one OpenGL light (GL_LIGHT0 + LightIndex) with change bits.
#include <cstdint>

#include "gl/types.h"

class TGLLight {
public:
    static constexpr std::uint32_t kAmbient = 0x0001;
    static constexpr std::uint32_t kDiffuse = 0x0002;
    static constexpr std::uint32_t kSpecular = 0x0008;
    static constexpr std::uint32_t kDirectional = 0x0040;
    static constexpr std::uint32_t kPosition = 0x0080;
    static constexpr std::uint32_t kSpotDirection = 0x0100;
    static constexpr std::uint32_t kSpotExponent = 0x0200;
    static constexpr std::uint32_t kSpotCutoff = 0x0400;
    static constexpr std::uint32_t kConstantAttenuation = 0x0800;
    static constexpr std::uint32_t kLinearAttenuation = 0x1000;
    static constexpr std::uint32_t kQuadraticAttenuation = 0x2000;
    static constexpr std::uint32_t kTwoSide = 0x4000;
    static constexpr std::uint32_t kLocalViewer = 0x8000;
    static constexpr std::uint32_t kAll = 0xFFCB;

    const Colour& Ambient() const { return ambient_; }
    const Colour& Diffuse() const { return diffuse_; }
    const Colour& Specular() const { return specular_; }
    const Vector& Position() const { return position_; }
    const Vector& SpotDirection() const { return spotDirection_; }
    float SpotExponent() const { return spotExponent_; }
    float SpotCutoff() const { return spotCutoff_; }
    float ConstantAttenuation() const { return constantAttenuation_; }
    float LinearAttenuation() const { return linearAttenuation_; }
    float QuadraticAttenuation() const { return quadraticAttenuation_; }
    bool Directional() const { return directional_; }
    bool LocalViewer() const { return localViewer_; }
    bool TwoSide() const { return twoSide_; }
    std::int32_t LightIndex() const { return lightIndex_; }
    std::uint32_t Changed() const { return changed_; }

    void SetAmbient(const Colour& c);
    void SetDiffuse(const Colour& c);
    void SetSpecular(const Colour& c);
    void SetPosition(const Vector& v);
    void SetSpotDirection(const Vector& v);
    void SetSpotExponent(float value);
    void SetSpotCutoff(float value);
    void SetConstantAttenuation(float value);
    void SetLinearAttenuation(float value);
    void SetQuadraticAttenuation(float value);
    void SetDirectional(bool on);
    void SetLocalViewer(bool on);
    void SetTwoSide(bool on);
    // Marks every value: all of them go to the new light.
    void SetLightIndex(std::int32_t index);

    // The position is transformed by the model-view matrix in force when it is sent.
    void Apply();
    void ApplyAll();
    // ApplyAll, then glEnable(GL_LIGHT0 + LightIndex).
    void Enable();

private:
    Colour ambient_{0.0f, 0.0f, 0.0f, 1.0f};
    Colour diffuse_{1.0f, 1.0f, 1.0f, 1.0f};
    Colour specular_{1.0f, 1.0f, 1.0f, 1.0f};
    Vector position_{0.0f, 0.0f, 1.0f};
    Vector spotDirection_{0.0f, 0.0f, -1.0f};
    float spotExponent_ = 0.0f;
    float spotCutoff_ = 180.0f;
    float constantAttenuation_ = 1.0f;
    float linearAttenuation_ = 0.0f;
    float quadraticAttenuation_ = 0.0f;
    bool directional_ = true;
    bool localViewer_ = false;
    bool twoSide_ = false;
    std::int32_t lightIndex_ = 0;
    std::uint32_t changed_ = kAll;
};
