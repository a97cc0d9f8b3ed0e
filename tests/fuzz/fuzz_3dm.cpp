// libFuzzer target: the 3DM reader and the conversion of what it read into primitives,
// materials and textures, as the scene's model import does it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "app/exception.h"
#include "model/model_import.h"
#include "model/t3dm_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    T3DMFile file;
    try {
        file.LoadFromText(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const Exception&) {
    }
    for (std::int32_t i = 0; i < file.ObjectCount(); ++i) {
        try {
            std::unique_ptr<TGLPrimitiveList> parts;
            PrimitiveListFrom3DMObject(file.Objects(i), parts);
            // Every index of every primitive names one of its vertices.
            for (std::int32_t p = 0; parts && p < parts->Count(); ++p) {
                const TGLPrimitive& primitive = *parts->Get(p);
                for (std::int32_t k = 0; k < primitive.Indices.Count(); ++k) {
                    const Index index = primitive.Indices.Items()[k];
                    if (index < 0 || index >= primitive.Vertices.Count()) __builtin_trap();
                }
            }
        } catch (const Exception&) {
        }
    }
    try {
        std::unique_ptr<TGLTextureList> textures;
        std::unique_ptr<TGLMaterialList> materials;
        std::unique_ptr<TGLPrimitiveList> primitives;
        ModelFrom3DMFile(file, textures, materials, primitives);
    } catch (const Exception&) {
    }
    return 0;
}
