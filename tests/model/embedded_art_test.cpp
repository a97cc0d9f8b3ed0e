// The program's own art, read through model import from the resources built into this test
// program, as the scene reads it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "gl/gl_api.h"
#include "model/import_settings.h"
#include "model/model_import.h"
#include "platform/services.h"
#include "support/gl_test_context.h"

namespace {

class EmbeddedArt : public ::testing::Test {
protected:
    EmbeddedArt() {
        LoadFromResources = true;
        ModelDirectory = TextureDirectory = "C:\\Program Files\\3D Tidewell\\";  // dropped again
    }
    ~EmbeddedArt() override {
        LoadFromResources = false;
        ModelDirectory.clear();
        TextureDirectory.clear();
    }
    TScopedResourceFinder resources_{ProgramResources()};
};

struct Box {
    Vector low{1e30f, 1e30f, 1e30f}, high{-1e30f, -1e30f, -1e30f};
    void Add(const Vector& v) {
        low = {std::min(low.x, v.x), std::min(low.y, v.y), std::min(low.z, v.z)};
        high = {std::max(high.x, v.x), std::max(high.y, v.y), std::max(high.z, v.z)};
    }
    Vector Size() const { return {high.x - low.x, high.y - low.y, high.z - low.z}; }
};

Box BoxOf(const TGLVectorDArray& vertices) {
    Box box;
    for (const Vector& v : vertices.View()) box.Add(v);
    return box;
}

TEST_F(EmbeddedArt, BottomIsAFlatGridFacingUp) {
    std::unique_ptr<TGLTextureList> textures;
    std::unique_ptr<TGLMaterialList> materials;
    std::unique_ptr<TGLPrimitiveList> primitives;
    Load3DMModel("dnoK00f.3dm", textures, materials, primitives);
    ASSERT_TRUE(primitives);
    ASSERT_EQ(primitives->Count(), 1);
    const TGLPrimitive& p = *primitives->Get(0);
    EXPECT_EQ(p.Vertices.Count(), 25);
    EXPECT_EQ(p.Indices.Count(), 32 * 3);
    const Box box = BoxOf(p.Vertices);
    EXPECT_NEAR(box.low.x, -15000, 0.5f);
    EXPECT_NEAR(box.high.x, 15000, 0.5f);
    EXPECT_NEAR(box.low.y, 0, 0.5f);
    EXPECT_NEAR(box.high.y, 0, 0.5f);
    EXPECT_NEAR(box.low.z, -10000, 0.5f);
    EXPECT_NEAR(box.high.z, 0, 0.5f);
    for (const Vector& n : p.Normals.View()) {
        EXPECT_NEAR(n.y, 1, 1e-5f);
    }
    EXPECT_EQ(p.TexCoords.Count(), 25);
    EXPECT_EQ(materials->Count(), textures->Count());

    const std::unique_ptr<TGLPrimitive> whole = Load3DMPrimitive("DNOK00F.3DM");
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->Vertices.Count(), 25);
}

TEST_F(EmbeddedArt, BubbleIsASquareFacingTheViewer) {
    const std::unique_ptr<TGLPrimitive> p = Load3DMPrimitive("Puzir00f.3dm");
    ASSERT_TRUE(p);
    ASSERT_EQ(p->Vertices.Count(), 4);
    EXPECT_EQ(p->Indices.Count(), 6);
    const Box box = BoxOf(p->Vertices);
    EXPECT_NEAR(box.low.x, -100, 1e-3f);
    EXPECT_NEAR(box.high.x, 100, 1e-3f);
    EXPECT_NEAR(box.low.y, -100, 1e-3f);
    EXPECT_NEAR(box.high.y, 100, 1e-3f);
    EXPECT_NEAR(box.Size().z, 0, 1e-3f);
    for (const Vector& n : p->Normals.View()) EXPECT_NEAR(n.z, 1, 1e-5f);
}

// Each species: a looping cycle of six poses, the body then the translucent fins.
TEST_F(EmbeddedArt, EverySpeciesHasSixKeysOnTwoPrimitives) {
    for (const char* species : {"centropyge", "chelton", "zebrasoma"}) {
        SCOPED_TRACE(species);
        std::unique_ptr<TGLTextureList> textures;
        std::unique_ptr<TGLMaterialList> materials;
        std::unique_ptr<TAnimationList> animations;
        std::unique_ptr<TGLPrimitiveList> primitives;
        LoadMFL(std::string(species) + ".mfl", textures, materials, animations, primitives);
        ASSERT_EQ(primitives->Count(), 2);
        ASSERT_EQ(animations->Count(), 2);
        ASSERT_EQ(materials->Count(), 2);
        EXPECT_EQ(textures->Count(), 2);
        EXPECT_EQ(materials->Get(0)->Diffuse().a, 1.0f);
        EXPECT_LT(materials->Get(1)->Diffuse().a, 1.0f);
        EXPECT_TRUE(materials->Get(1)->BackFace());
        for (int i = 0; i < 2; ++i) {
            auto& animation = dynamic_cast<TGLVertexAnimation&>(*animations->Get(i));
            EXPECT_EQ(animation.Primitive, primitives->Get(i));
            EXPECT_TRUE(animation.Loop);
            ASSERT_EQ(animation.KeyCount(), 6);
            EXPECT_EQ(animation.GetKey(5)->Time, 1.0L);
            const auto& first = dynamic_cast<TGLVertexKey&>(*animation.GetKey(0)).Vertices;
            const auto& last = dynamic_cast<TGLVertexKey&>(*animation.GetKey(5)).Vertices;
            ASSERT_EQ(first.Count(), primitives->Get(i)->Vertices.Count());
            ASSERT_EQ(last.Count(), first.Count());
            // The last pose repeats the first: the loop has no jump.
            for (std::int32_t v = 0; v < first.Count(); ++v) {
                EXPECT_NEAR(first.GetItem(v).x, last.GetItem(v).x, 0.05f);
                EXPECT_NEAR(first.GetItem(v).z, last.GetItem(v).z, 0.05f);
            }
        }
        // Head along x, back along y, flat across z.
        const Box body = BoxOf(primitives->Get(0)->Vertices);
        EXPECT_GT(body.Size().x, 2 * body.Size().z);
        EXPECT_GT(body.Size().y, 1.5f * body.Size().z);
    }
}

TEST_F(EmbeddedArt, EveryTextureLoadsWithPowerOfTwoSidesAndUploads) {
    GLTestContext context;
    const char* names[] = {"dno02.jpg", "voda2.jpg", "caust2.jpg", "Pesok01.jpg", "voda1.jpg",
                           "caust1.jpg", "dno03.jpg", "voda3.jpg", "caust3.jpg", "caust5.jpg",
                           "centropyge.jpg", "chelton.jpg", "zebrasoma.jpg", "puzir.jpg", "puzirA.jpg"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        std::unique_ptr<TGLTexture> texture = TextureFromFile(name);
        ASSERT_TRUE(texture);
        EXPECT_EQ(texture->Width() & (texture->Width() - 1), 0);
        EXPECT_EQ(texture->Height() & (texture->Height() - 1), 0);
        EXPECT_GE(texture->Width(), 64);
        texture->Bind();
        EXPECT_TRUE(gl.IsTexture(texture->Name()));
        EXPECT_EQ(gl.GetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // The bubble: transparent outside its circle, opaque at its rim.
    std::unique_ptr<TGLTexture> bubble = TextureWithAlphaFromFiles("puzir.jpg", "puzirA.jpg");
    ASSERT_TRUE(bubble);
    ASSERT_EQ(bubble->Format(), tfRGBA);
    const std::int32_t w = bubble->Width(), h = bubble->Height();
    EXPECT_LT(bubble->ScanLine(0)[3], 16);
    EXPECT_LT(bubble->ScanLine(h - 1)[4 * (w - 1) + 3], 16);
    int brightest = 0;
    for (std::int32_t x = 0; x < w; ++x) brightest = std::max<int>(brightest, bubble->ScanLine(h / 2)[4 * x + 3]);
    EXPECT_GT(brightest, 128);
    bubble->Bind();
    EXPECT_EQ(gl.GetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
