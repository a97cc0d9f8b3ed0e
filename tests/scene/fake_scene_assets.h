#pragma once
// Scene assets made in code, shaped like the imported art: the bottom as a 5 x 5 grid facing
// up, the bubble as a 200 x 200 square facing +z, a two-primitive fish with a one-second swim,
// and 2 x 2 textures of one colour each. Records every request in order.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/exception.h"
#include "scene/scene_assets.h"

struct Rgb8 {
    std::uint8_t r, g, b;
};

class FakeSceneAssets final : public ISceneAssets {
public:
    std::vector<std::string> calls;
    // Texture colours by name; other names get grey.
    std::map<std::string, Rgb8> colours;
    // Names that give no texture (an image of an unknown kind).
    std::set<std::string> unsupported;
    // Frame lists whose fish have a body only.
    std::set<std::string> bodyOnly;

    void PointAt(const std::string& installPath) override { calls.push_back("PointAt " + installPath); }

    std::unique_ptr<TGLPrimitive> Load3DMPrimitive(const std::string& name) override {
        calls.push_back("Model " + name);
        if (name.empty()) throw Exception("Resource  not found");
        return name.starts_with("Puzir") ? BubbleSquare() : BottomGrid();
    }

    std::unique_ptr<TGLTexture> TextureFromFile(const std::string& name) override {
        calls.push_back("Texture " + name);
        return MakeTexture(name, false);
    }

    std::unique_ptr<TGLTexture> TextureWithAlphaFromFiles(const std::string& colourName,
                                                          const std::string& alphaName) override {
        calls.push_back("TextureWithAlpha " + colourName + " " + alphaName);
        return MakeTexture(colourName, true);
    }

    void LoadMFL(const std::string& name, std::unique_ptr<TGLTextureList>& textures,
                 std::unique_ptr<TGLMaterialList>& materials, std::unique_ptr<TAnimationList>& animations,
                 std::unique_ptr<TGLPrimitiveList>& primitives) override {
        calls.push_back("MFL " + name);
        if (name.empty()) throw Exception("Resource  not found");
        textures = std::make_unique<TGLTextureList>();
        materials = std::make_unique<TGLMaterialList>();
        materials->Add(new TGLMaterial);
        animations = std::make_unique<TAnimationList>();
        primitives = std::make_unique<TGLPrimitiveList>();
        const int parts = bodyOnly.contains(name) ? 1 : 2;
        for (int part = 0; part < parts; ++part) {
            // Body: a 400 x 200 quad; fin: a smaller quad behind it, both in the x-y plane.
            auto* primitive = new TGLPrimitive;
            const float w = part == 0 ? 200.0f : 80.0f, h = part == 0 ? 100.0f : 60.0f;
            const float x0 = part == 0 ? 0.0f : -260.0f;
            SetQuad(*primitive, {x0 - w, -h, 0}, {x0 + w, -h, 0}, {x0 + w, h, 0}, {x0 - w, h, 0});
            primitives->Add(primitive);
            auto animation = std::make_unique<TGLVertexAnimation>();
            animation->Primitive = primitive;
            animation->Loop = true;
            for (int key = 0; key < 2; ++key) {
                TGLVectorDArray& vertices = animation->AddVertexKey(key);
                primitive->Vertices.CopyTo(&vertices);
                if (key == 1)
                    for (auto& v : vertices.View()) v.z += v.x < x0 ? 30.0f : 0.0f;
            }
            animation->EndTime = 1.0L;
            animations->Add(std::move(animation));
        }
    }

    static std::unique_ptr<TGLPrimitive> BottomGrid() {
        auto grid = std::make_unique<TGLPrimitive>();
        grid->Vertices.SetCount(25);
        grid->TexCoords.SetCount(25);
        for (int row = 0; row < 5; ++row)
            for (int column = 0; column < 5; ++column) {
                const int i = row * 5 + column;
                grid->Vertices.Items()[i] = {-15000.0f + 7500.0f * column, 0.0f, -2500.0f * row};
                grid->TexCoords.Items()[i] = {3.0f * column, 3.0f * row};
            }
        std::vector<Index> indices;
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 4; ++column) {
                const Index near0 = row * 5 + column, near1 = near0 + 1, far0 = near0 + 5, far1 = far0 + 1;
                // Counter-clockwise seen from above.
                indices.insert(indices.end(), {near0, near1, far0, near1, far1, far0});
            }
        grid->Indices.SetFromArray(indices);
        grid->Colors.SetCount(1);
        grid->Colors.Items()[0] = {1, 1, 1, 1};
        grid->CalcNormals();
        return grid;
    }

    static std::unique_ptr<TGLPrimitive> BubbleSquare() {
        auto square = std::make_unique<TGLPrimitive>();
        SetQuad(*square, {-100, -100, 0}, {100, -100, 0}, {100, 100, 0}, {-100, 100, 0});
        return square;
    }

private:
    static void SetQuad(TGLPrimitive& primitive, Vector a, Vector b, Vector c, Vector d) {
        primitive.Vertices.SetCount(4);
        Vector* v = primitive.Vertices.Items();
        v[0] = a, v[1] = b, v[2] = c, v[3] = d;
        primitive.TexCoords.SetCount(4);
        TexCoord* t = primitive.TexCoords.Items();
        t[0] = {0, 0}, t[1] = {1, 0}, t[2] = {1, 1}, t[3] = {0, 1};
        const Index indices[6] = {0, 1, 2, 0, 2, 3};
        primitive.Indices.SetFromArray(indices);
        primitive.Colors.SetCount(1);
        primitive.Colors.Items()[0] = {1, 1, 1, 1};
        primitive.CalcNormals();
    }

    std::unique_ptr<TGLTexture> MakeTexture(const std::string& name, bool withAlpha) {
        if (unsupported.contains(name)) return nullptr;
        const auto found = colours.find(name);
        const Rgb8 colour = found != colours.end() ? found->second : Rgb8{128, 128, 128};
        auto texture = std::make_unique<TGLTexture>();
        texture->SetSize(withAlpha ? tfRGBA : tfRGB, 2, 2);
        const int bytes = withAlpha ? 4 : 3;
        for (int row = 0; row < 2; ++row) {
            std::uint8_t* line = texture->ScanLine(row);
            for (int x = 0; x < 2; ++x) {
                line[x * bytes] = colour.r;
                line[x * bytes + 1] = colour.g;
                line[x * bytes + 2] = colour.b;
                if (withAlpha) line[x * bytes + 3] = 255;
            }
        }
        return texture;
    }
};
