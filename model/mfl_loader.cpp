// Key-frame animated models from MFL frame lists: the first pose's model and one vertex
// animation per primitive, keyed with the positions of every pose.
#include "app/exception.h"
#include "model/import_settings.h"
#include "model/mfl_list.h"
#include "model/model_import.h"
#include "model/t3dm_file.h"

namespace {

TGLVertexAnimation& VertexAnimation(const TAnimationList& animations, std::int32_t index) {
    auto* animation = dynamic_cast<TGLVertexAnimation*>(animations.Get(index));
    if (animation == nullptr) throw Exception("Invalid class typecast");
    return *animation;
}

}  // namespace

void LoadMFL(const std::string& name, std::unique_ptr<TGLTextureList>& textures,
             std::unique_ptr<TGLMaterialList>& materials, std::unique_ptr<TAnimationList>& animations,
             std::unique_ptr<TGLPrimitiveList>& primitives) {
    if (animations)
        animations->Clear();
    else
        animations = std::make_unique<TAnimationList>();
    // The whole list is read and checked before any model is loaded.
    const TMFLFrameList frames = ReadMFL(name);
    if (frames.Poses.empty()) return;

    const TMFLPose& first = frames.Poses.front();
    {
        T3DMFile file;
        file.SetFromResource(LoadFromResources);
        file.Load(ModelDirectory + first.FileName);
        // Without an object the given lists would be left as they were and could hold
        // anything (or nothing): no animation can be built on them.
        if (file.ObjectCount() == 0)
            throw Exception("LoadMFL error: the first pose \"" + first.FileName + "\" holds no object");
        ModelFrom3DMFile(file, textures, materials, primitives);
    }
    // A species without a primitive would be invisible, and later poses would have nothing to key.
    if (primitives->Count() == 0)
        throw Exception("LoadMFL error: the first pose \"" + first.FileName + "\" yields no primitive");
    for (std::int32_t i = 0; i < primitives->Count(); ++i) {
        auto animation = std::make_unique<TGLVertexAnimation>();
        animation->Primitive = primitives->Get(i);
        animation->Loop = frames.Loop();
        animation->Primitive->Vertices.CopyTo(&animation->AddVertexKey(first.Time));
        animations->Add(std::move(animation));
    }

    std::unique_ptr<TGLPrimitiveList> pose;  // released with its primitives on every path
    for (std::size_t p = 1; p < frames.Poses.size(); ++p) {
        const TMFLPose& later = frames.Poses[p];
        Load3DMPrimitiveList(later.FileName, pose);
        if (pose->Count() != animations->Count())
            throw Exception("LoadMFL error: pose \"" + later.FileName + "\" has " + std::to_string(pose->Count()) +
                            " primitives, the first pose " + std::to_string(animations->Count()));
        for (std::int32_t j = 0; j < pose->Count(); ++j) {
            TGLVertexAnimation& animation = VertexAnimation(*animations, j);
            const TGLVectorDArray& vertices = pose->Get(j)->Vertices;
            // Keys of another size would leave the primitive's indices pointing past its
            // vertices once the animation copies a key in.
            if (vertices.Count() != animation.Primitive->Vertices.Count())
                throw Exception("LoadMFL error: pose \"" + later.FileName + "\" primitive " + std::to_string(j) +
                                " has " + std::to_string(vertices.Count()) + " vertices, the first pose " +
                                std::to_string(animation.Primitive->Vertices.Count()));
            vertices.CopyTo(&animation.AddVertexKey(later.Time));
        }
    }
}
