// libFuzzer target: an MFL frame list built into an animated model. The input is the list;
// the poses it may name are small fixed models, two of them of another shape than the rest.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "app/exception.h"
#include "model/import_settings.h"
#include "model/model_import.h"
#include "support/fake_resources.h"

namespace {

std::string Pose(int shift, int vertices) {
    std::string text = "#Object 1\r\nName P\r\n#Vertices " + std::to_string(vertices) + "\r\n";
    for (int v = 0; v < vertices; ++v) text += "[" + std::to_string(v + shift) + ",0," + std::to_string(v % 2) + "]\r\n";
    text += "#VertexFaces " + std::to_string(vertices - 2) + "\r\n";
    for (int f = 1; f + 2 <= vertices; ++f)
        text += "[" + std::to_string(f) + "," + std::to_string(f + 1) + "," + std::to_string(f + 2) + "]\r\n";
    return text;
}

FakeResources& Resources() {
    static FakeResources resources = [] {
        FakeResources r;
        for (int i = 0; i < 4; ++i) r.Put(rkRawData, "pose" + std::to_string(i) + "_3dm", Pose(i, 4));
        r.Put(rkRawData, "odd_3dm", Pose(0, 5));
        r.Put(rkRawData, "flat_3dm", "#Object 1\r\nName F\r\n#Vertices 1\r\n[0,0,0]\r\n");
        return r;
    }();
    return resources;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TScopedResourceFinder scope(Resources());
    LoadFromResources = true;
    Resources().Put(rkRawData, "fuzz_mfl", std::string(reinterpret_cast<const char*>(data), size));
    std::unique_ptr<TGLTextureList> textures;
    std::unique_ptr<TGLMaterialList> materials;
    std::unique_ptr<TAnimationList> animations;
    std::unique_ptr<TGLPrimitiveList> primitives;
    try {
        LoadMFL("fuzz.mfl", textures, materials, animations, primitives);
        // Play it through: every key must fit its primitive.
        animations->Start(0);
        for (long double t = 0; t < 3; t += 0.37L) animations->SetTime(t);
    } catch (const Exception&) {
    }
    return 0;
}
