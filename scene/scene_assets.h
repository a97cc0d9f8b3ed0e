#pragma once
// Where the scene gets its models, key-frame lists and textures. The program reads them through
// model import from its embedded resources; tests hand over objects made in code.
#include <memory>
#include <string>

#include "gl/animation.h"
#include "gl/material.h"
#include "gl/primitive.h"
#include "gl/texture.h"

class ISceneAssets {
public:
    virtual ~ISceneAssets() = default;
    // Before anything is loaded: look names up among the program's resources, with installPath
    // in front of file names.
    virtual void PointAt(const std::string& installPath) = 0;
    virtual std::unique_ptr<TGLPrimitive> Load3DMPrimitive(const std::string& name) = 0;
    // None when the image kind is not recognised.
    virtual std::unique_ptr<TGLTexture> TextureFromFile(const std::string& name) = 0;
    virtual std::unique_ptr<TGLTexture> TextureWithAlphaFromFiles(const std::string& colourName,
                                                                  const std::string& alphaName) = 0;
    virtual void LoadMFL(const std::string& name, std::unique_ptr<TGLTextureList>& textures,
                         std::unique_ptr<TGLMaterialList>& materials, std::unique_ptr<TAnimationList>& animations,
                         std::unique_ptr<TGLPrimitiveList>& primitives) = 0;
};
