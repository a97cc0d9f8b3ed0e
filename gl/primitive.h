#pragma once
// TGLPrimitive: one drawable piece of geometry in client arrays, and the list that holds
// references on primitives.
#include <cstdint>

#include "gl/arrays.h"
#include "gl/item_list.h"

enum TGLPrimitiveType : std::uint8_t {
    ptTriangles = 0,
    ptPoints = 1,
    ptLines = 2,
    ptLineStrip = 3,
    ptLineLoop = 4,
    ptTriangleStrip = 5,
    ptTriangleFan = 6,
    ptQuadStrip = 7,
    ptQuads = 8,
    ptPolygon = 9,
};

// The OpenGL drawing mode of a primitive type; GL_TRIANGLES for any other value.
std::uint32_t PrimitiveTypeToMode(std::uint8_t type);

class TGLPrimitive : public TGLItemList {
public:
    TGLPrimitive() = default;
    ~TGLPrimitive() override = default;

    TGLIndexDArray Indices;
    TGLTextureCoordDArray TexCoords;
    TGLVectorDArray Normals;
    TGLVectorDArray Vertices;
    TGLColorDArray Colors;

    std::uint8_t PrimitiveType() const { return primitiveType_; }
    std::uint32_t Mode() const { return mode_; }
    void SetType(std::uint8_t type);

    // Creates dest when it is null; copies type and the arrays (an empty source array leaves
    // the destination's as it was).
    void AssignTo(TGLPrimitive*& dest) const;
    // Appends other's geometry; raises "AddPrimitive failed: formats are not equal!" when the
    // types differ.
    void AddPrimitive(const TGLPrimitive& other);
    void CalcNormals();
    void NormalizeNormals();
    // Vertices := a + t (b - a); nothing when a and b differ in count.
    void InterpolateVertices(const TGLVectorDArray& a, const TGLVectorDArray& b, float t);
    void RotateZ(float angleDegrees);
    void Transform(const Matrix& m);
    // Draws from client arrays; needs a current context.
    void Draw() const;

private:
    std::uint8_t primitiveType_ = ptTriangles;
    std::uint32_t mode_ = PrimitiveTypeToMode(ptTriangles);
};

class TGLPrimitiveList : public TGLRefList<TGLPrimitive> {
public:
    TGLPrimitiveList() : TGLRefList("TGLPrimitiveList error: Add NIL Primitive!") {}
};
