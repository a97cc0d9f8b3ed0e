// libFuzzer target: the 3DM reader, then corner merging over what it read.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/exception.h"
#include "model/t3dm_file.h"
#include "model/vert_indices_3dm_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    T3DMFile file;
    try {
        file.LoadFromText(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const Exception&) {
    }
    for (std::int32_t i = 0; i < file.ObjectCount(); ++i) {
        const T3DMObject& object = file.Objects(i);
        TVertIndices3DMList merger(object.Vertices.Count());
        try {
            for (std::int32_t f = 0; f < object.VertexFaces.Count(); ++f) {
                for (int k = 0; k < 3; ++k) {
                    const std::int32_t t = object.HasTextureCoords ? object.TextureCoordFaces.Items(f).corner[k] : 0;
                    const std::int32_t c = object.HasColors ? object.ColorFaces.Items(f).corner[k] : 0;
                    merger.IndexOfCorner(object.VertexFaces.Items(f).corner[k], t, c);
                }
            }
            for (std::int32_t e = 0; e < merger.Count(); ++e) object.Vertices.Items(merger.Items(e).VertexIndex);
        } catch (const Exception&) {
        }
    }
    for (std::int32_t m = 0; m < file.Materials().Count(); ++m) {
        if (auto* multi = dynamic_cast<T3DMMaterialMultiSubObject*>(file.Materials().Items(m)))
            multi->SetName(multi->Name() + "x");
    }
    return 0;
}
