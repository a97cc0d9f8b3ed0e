#include "scene/model_import_assets.h"

#include "model/import_settings.h"
#include "model/model_import.h"

namespace {

class TModelImportAssets final : public ISceneAssets {
public:
    void PointAt(const std::string& installPath) override {
        ModelDirectory = installPath;
        TextureDirectory = installPath;
        LoadFromResources = true;
    }
    std::unique_ptr<TGLPrimitive> Load3DMPrimitive(const std::string& name) override {
        return ::Load3DMPrimitive(name);
    }
    std::unique_ptr<TGLTexture> TextureFromFile(const std::string& name) override { return ::TextureFromFile(name); }
    std::unique_ptr<TGLTexture> TextureWithAlphaFromFiles(const std::string& colourName,
                                                          const std::string& alphaName) override {
        return ::TextureWithAlphaFromFiles(colourName, alphaName);
    }
    void LoadMFL(const std::string& name, std::unique_ptr<TGLTextureList>& textures,
                 std::unique_ptr<TGLMaterialList>& materials, std::unique_ptr<TAnimationList>& animations,
                 std::unique_ptr<TGLPrimitiveList>& primitives) override {
        ::LoadMFL(name, textures, materials, animations, primitives);
    }
};

}  // namespace

ISceneAssets& ModelImportAssets() {
    static TModelImportAssets assets;
    return assets;
}
