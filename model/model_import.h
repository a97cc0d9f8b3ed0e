#pragma once
// Turning 3DM models, images and MFL frame lists into engine objects. Names are looked up as
// import_settings.h says (resources or files). Items returned alone belong to the caller;
// in-out lists are emptied when given and created when empty.
#include <memory>
#include <span>
#include <string>

#include "gl/animation.h"
#include "gl/material.h"
#include "gl/primitive.h"
#include "gl/texture.h"

class T3DMObject;
class T3DMFile;
class T3DMMaterialStandard;
struct TBitmap;

std::unique_ptr<TGLPrimitive> PrimitiveFrom3DMObject(const T3DMObject& object);
std::unique_ptr<TGLPrimitive> PrimitiveFrom3DMFaces(const T3DMObject& object, std::span<const int> faces);
// Appends one primitive per face material id, in increasing id order.
void PrimitiveListFrom3DMObject(const T3DMObject& object, std::unique_ptr<TGLPrimitiveList>& list);
// None when the file has no objects.
std::unique_ptr<TGLPrimitive> PrimitiveFrom3DMFile(const T3DMFile& file);
std::unique_ptr<TGLPrimitive> Load3DMPrimitive(const std::string& name);
void Load3DMModel(const std::string& name, std::unique_ptr<TGLTextureList>& textures,
                  std::unique_ptr<TGLMaterialList>& materials, std::unique_ptr<TGLPrimitiveList>& primitives);
void ModelFrom3DMFile(const T3DMFile& file, std::unique_ptr<TGLTextureList>& textures,
                      std::unique_ptr<TGLMaterialList>& materials, std::unique_ptr<TGLPrimitiveList>& primitives);
void Load3DMPrimitiveList(const std::string& name, std::unique_ptr<TGLPrimitiveList>& list);
std::unique_ptr<TGLMaterial> MaterialFrom3DMMaterial(const T3DMMaterialStandard& material);

// Textures: none when the image kind is not recognised.
std::unique_ptr<TGLTexture> TextureFromFile(const std::string& name);
std::unique_ptr<TGLTexture> TextureFromBitmap(const TBitmap& bitmap);
std::unique_ptr<TGLTexture> TextureWithAlphaFromFiles(const std::string& colourName, const std::string& alphaName);
std::unique_ptr<TGLTexture> TextureFromBitmaps(const TBitmap& colour, const TBitmap& alpha);

// A key-frame animated model: the first pose's primitives, materials and textures, and one
// vertex animation per primitive.
void LoadMFL(const std::string& name, std::unique_ptr<TGLTextureList>& textures,
             std::unique_ptr<TGLMaterialList>& materials, std::unique_ptr<TAnimationList>& animations,
             std::unique_ptr<TGLPrimitiveList>& primitives);
