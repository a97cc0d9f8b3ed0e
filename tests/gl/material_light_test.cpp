// Materials and lights: what Apply sends, read back from OpenGL, and proof that unchanged
// values are not sent (state changed behind the object's back survives Apply).
#include <gtest/gtest.h>

#include <array>

#include "app/exception.h"
#include "gl/gl_api.h"
#include "gl/light.h"
#include "gl/material.h"
#include "support/gl_test_context.h"

namespace {

std::array<float, 4> MaterialValue(GLenum face, GLenum name) {
    std::array<float, 4> v{};
    gl.GetMaterialfv(face, name, v.data());
    return v;
}

std::array<float, 4> LightValue(GLenum light, GLenum name) {
    std::array<float, 4> v{};
    gl.GetLightfv(light, name, v.data());
    return v;
}

using F4 = std::array<float, 4>;

TEST(TGLMaterial, DefaultsAndChangeBits) {
    TGLMaterial m;
    EXPECT_EQ(m.Changed(), 0x3Bu);
    EXPECT_FLOAT_EQ(m.Ambient().r, 0.2f);
    EXPECT_FLOAT_EQ(m.Diffuse().g, 0.8f);
    EXPECT_EQ(m.Specular().a, 0.0f);
    EXPECT_TRUE(m.FrontFace());
    EXPECT_FALSE(m.BackFace());
    TGLMaterialList list;
    EXPECT_EQ([&] {
        try {
            list.Add(nullptr);
        } catch (const Exception& e) {
            return std::string(e.what());
        }
        return std::string();
    }(), "TGLMaterialList error: Add NIL Material!");
}

TEST(TGLMaterial, ApplySendsChangedValuesOnce) {
    GLTestContext context;
    TGLMaterial m;
    m.SetShininess(32);
    m.Apply();
    EXPECT_EQ(m.Changed(), 0u);
    EXPECT_EQ(MaterialValue(GL_FRONT, GL_AMBIENT), (F4{0.2f, 0.2f, 0.2f, 1.0f}));
    EXPECT_EQ(MaterialValue(GL_FRONT, GL_DIFFUSE), (F4{0.8f, 0.8f, 0.8f, 1.0f}));
    EXPECT_EQ(MaterialValue(GL_FRONT, GL_SPECULAR), (F4{0, 0, 0, 0}));
    EXPECT_EQ(MaterialValue(GL_FRONT, GL_EMISSION), (F4{0, 0, 0, 0}));
    EXPECT_EQ(MaterialValue(GL_FRONT, GL_SHININESS)[0], 32.0f);

    // Behind the material's back; an unchanged Apply must not repair it.
    const F4 red{1, 0, 0, 1};
    gl.Materialfv(GL_FRONT, GL_DIFFUSE, red.data());
    gl.Materialfv(GL_FRONT, GL_AMBIENT, red.data());
    m.Apply();
    EXPECT_EQ(MaterialValue(GL_FRONT, GL_DIFFUSE), red);
    // Only the changed value goes out.
    m.SetEmission({0, 0, 1, 1});
    m.Apply();
    EXPECT_EQ(MaterialValue(GL_FRONT, GL_EMISSION), (F4{0, 0, 1, 1}));
    EXPECT_EQ(MaterialValue(GL_FRONT, GL_DIFFUSE), red);
    // ApplyAll repairs everything.
    m.ApplyAll();
    EXPECT_EQ(MaterialValue(GL_FRONT, GL_AMBIENT), (F4{0.2f, 0.2f, 0.2f, 1.0f}));
    EXPECT_EQ(gl.GetError(), GL_NO_ERROR);
}

TEST(TGLMaterial, FaceFlagsChooseTheFaceAndResendAll) {
    GLTestContext context;
    TGLMaterial m;
    m.Apply();
    const F4 green{0, 1, 0, 1};
    gl.Materialfv(GL_FRONT, GL_SPECULAR, green.data());
    m.SetBackFace(true);
    EXPECT_EQ(m.Changed(), 0x3Bu);
    m.Apply();
    EXPECT_EQ(MaterialValue(GL_BACK, GL_DIFFUSE), (F4{0.8f, 0.8f, 0.8f, 1.0f}));
    EXPECT_EQ(MaterialValue(GL_FRONT, GL_SPECULAR), (F4{0, 0, 0, 0}));  // re-sent for both faces

    // Both flags off: only the back face.
    m.SetFrontFace(false);
    m.SetBackFace(false);
    m.SetAmbient({0, 0, 1, 1});
    gl.Materialfv(GL_FRONT, GL_AMBIENT, green.data());
    m.Apply();
    EXPECT_EQ(MaterialValue(GL_BACK, GL_AMBIENT), (F4{0, 0, 1, 1}));
    EXPECT_EQ(MaterialValue(GL_FRONT, GL_AMBIENT), green);
}

TEST(TGLLight, DefaultDirectionalLight) {
    GLTestContext context;
    TGLLight light;
    EXPECT_EQ(light.Changed(), 0xFFCBu);
    gl.MatrixMode(GL_MODELVIEW);
    gl.LoadIdentity();
    light.Apply();
    EXPECT_EQ(light.Changed(), 0u);
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_POSITION), (F4{0, 0, 1, 0}));
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_SPOT_CUTOFF)[0], 180.0f);
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_AMBIENT), (F4{0, 0, 0, 1}));
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_DIFFUSE), (F4{1, 1, 1, 1}));
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_CONSTANT_ATTENUATION)[0], 1.0f);

    const F4 dim{0.1f, 0.1f, 0.1f, 1};
    gl.Lightfv(GL_LIGHT0, GL_DIFFUSE, dim.data());
    light.Apply();
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_DIFFUSE), dim);
    light.SetSpotDirection({1, 0, 0});  // shines along +x: the light sits towards -x
    light.Apply();
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_POSITION), (F4{-1, 0, 0, 0}));
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_DIFFUSE), dim);
    // The direction of a directional light is not sent as a spot direction.
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_SPOT_DIRECTION), (F4{0, 0, -1, 0}));
}

TEST(TGLLight, PositionalLightAndModelSwitches) {
    GLTestContext context;
    gl.MatrixMode(GL_MODELVIEW);
    gl.LoadIdentity();
    TGLLight light;
    light.SetDirectional(false);
    light.SetPosition({1, 2, 3});
    light.SetSpotDirection({0, -1, 0});
    light.SetSpotCutoff(45);
    light.SetSpotExponent(2);
    light.SetLinearAttenuation(0.5f);
    light.SetQuadraticAttenuation(0.25f);
    light.SetTwoSide(true);
    light.SetLocalViewer(true);
    light.Apply();
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_POSITION), (F4{1, 2, 3, 1}));
    const F4 direction = LightValue(GL_LIGHT0, GL_SPOT_DIRECTION);
    EXPECT_EQ(direction[1], -1.0f);
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_SPOT_CUTOFF)[0], 45.0f);
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_SPOT_EXPONENT)[0], 2.0f);
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_LINEAR_ATTENUATION)[0], 0.5f);
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_QUADRATIC_ATTENUATION)[0], 0.25f);
    GLint twoSide = 0, localViewer = 0;
    gl.GetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &twoSide);
    gl.GetIntegerv(GL_LIGHT_MODEL_LOCAL_VIEWER, &localViewer);
    EXPECT_EQ(twoSide, 1);
    EXPECT_EQ(localViewer, 1);
    // The position goes through the model-view matrix in force.
    gl.Translatef(10, 0, 0);
    light.SetPosition({1, 2, 3});
    light.Apply();
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_POSITION), (F4{11, 2, 3, 1}));
    EXPECT_EQ(gl.GetError(), GL_NO_ERROR);
}

TEST(TGLLight, LightIndexMovesEverythingToTheNewLight) {
    GLTestContext context;
    TGLLight light;
    light.Apply();
    light.SetDiffuse({0.5f, 0.25f, 0.125f, 1});
    light.SetLightIndex(2);
    EXPECT_EQ(light.Changed(), 0xFFCBu);
    light.Enable();
    EXPECT_TRUE(gl.IsEnabled(GL_LIGHT2));
    EXPECT_FALSE(gl.IsEnabled(GL_LIGHT0));
    EXPECT_EQ(LightValue(GL_LIGHT2, GL_DIFFUSE), (F4{0.5f, 0.25f, 0.125f, 1}));
    EXPECT_EQ(LightValue(GL_LIGHT2, GL_SPECULAR), (F4{1, 1, 1, 1}));
    EXPECT_EQ(LightValue(GL_LIGHT2, GL_POSITION), (F4{0, 0, 1, 0}));
    EXPECT_EQ(LightValue(GL_LIGHT0, GL_DIFFUSE), (F4{1, 1, 1, 1}));
}

}  // namespace
