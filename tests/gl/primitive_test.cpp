// Primitives: array operations without a context, then drawing on the platform's context.
#include <gtest/gtest.h>

#include <cmath>

#include "app/exception.h"
#include "gl/gl_api.h"
#include "gl/primitive.h"
#include "gl/vector_math.h"
#include "support/gl_test_context.h"
#include "support/exception_message.h"

namespace {


void ExpectVector(const Vector& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-6f);
    EXPECT_NEAR(v.y, y, 1e-6f);
    EXPECT_NEAR(v.z, z, 1e-6f);
}

TEST(TGLPrimitive, TypesMapToDrawingModes) {
    TGLPrimitive p;
    EXPECT_EQ(p.PrimitiveType(), ptTriangles);
    EXPECT_EQ(p.Mode(), GL_TRIANGLES);
    const std::pair<std::uint8_t, GLenum> table[] = {
        {ptPoints, GL_POINTS},         {ptLines, GL_LINES},          {ptLineStrip, GL_LINE_STRIP},
        {ptLineLoop, GL_LINE_LOOP},    {ptTriangleStrip, GL_TRIANGLE_STRIP}, {ptTriangleFan, GL_TRIANGLE_FAN},
        {ptQuadStrip, GL_QUAD_STRIP},  {ptQuads, GL_QUADS},          {ptPolygon, GL_POLYGON},
        {10, GL_TRIANGLES},            {255, GL_TRIANGLES},          {ptTriangles, GL_TRIANGLES}};
    for (const auto& [type, mode] : table) {
        p.SetType(type);
        EXPECT_EQ(p.PrimitiveType(), type);
        EXPECT_EQ(p.Mode(), mode) << int(type);
    }
}

TEST(TGLPrimitive, NonIndexedNormalsFollowTheWinding) {
    TGLPrimitive p;
    p.Vertices.SetFromArray(std::vector<float>{0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 2, 0});
    p.CalcNormals();
    ASSERT_EQ(p.Normals.Count(), 5);
    for (int i = 0; i < 3; ++i) ExpectVector(p.Normals.GetItem(i), 0, 0, 1);
    ExpectVector(p.Normals.GetItem(3), 0, 0, 0);  // leftovers after the last triple
    ExpectVector(p.Normals.GetItem(4), 0, 0, 0);

    p.Vertices.SetFromArray(std::vector<float>{0, 0, 0, 0, 1, 0, 1, 0, 0});  // clockwise
    p.CalcNormals();
    ASSERT_EQ(p.Normals.Count(), 3);
    for (int i = 0; i < 3; ++i) ExpectVector(p.Normals.GetItem(i), 0, 0, -1);
}

TEST(TGLPrimitive, IndexedNormalsAverageAreaWeightedFaces) {
    TGLPrimitive p;
    // Two faces share vertices 0 and 1: a small one in the xy plane, a large one in the xz plane.
    p.Vertices.SetFromArray(std::vector<float>{0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, -3, 5, 5, 5});
    p.Indices.SetFromArray(std::vector<Index>{0, 1, 2, 0, 3, 1});
    p.CalcNormals();
    // Face 1 normal (0,0,1), face 2 (0,0,-3)x(1,0,0) = (0,-3,0): vertex 0 gets (0,-3,1)/2 normalised.
    const float len = std::sqrt(10.0f);
    ExpectVector(p.Normals.GetItem(0), 0, -3 / len, 1 / len);
    ExpectVector(p.Normals.GetItem(2), 0, 0, 1);
    ExpectVector(p.Normals.GetItem(3), 0, -1, 0);
    ExpectVector(p.Normals.GetItem(4), 0, 0, 0);  // unused vertex

    p.Indices.SetIndex(5, 9);
    EXPECT_EQ(MessageOf([&] { p.CalcNormals(); }), "TDArray GetItem: index out of bounds.");
    p.Indices.SetIndex(5, -1);
    EXPECT_EQ(MessageOf([&] { p.CalcNormals(); }), "TDArray GetItem: index out of bounds.");
}

TEST(TGLPrimitive, OtherTypesGetZeroNormals) {
    TGLPrimitive p;
    p.SetType(ptLineStrip);
    p.Vertices.SetFromArray(std::vector<float>{0, 0, 0, 1, 0, 0, 0, 1, 0});
    p.Normals.SetFromArray(std::vector<float>{1, 1, 1});
    p.CalcNormals();
    ASSERT_EQ(p.Normals.Count(), 3);
    for (int i = 0; i < 3; ++i) ExpectVector(p.Normals.GetItem(i), 0, 0, 0);
}

TEST(TGLPrimitive, AddPrimitiveAppendsAndShiftsMergedIndices) {
    TGLPrimitive a, b;
    a.Vertices.SetFromArray(std::vector<float>{0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0});
    a.Indices.SetFromArray(std::vector<Index>{0, 1, 2, 2, 1, 3});
    a.Colors.SetFromArray(std::vector<float>{1, 0, 0});  // one colour: kept as it is
    b.Vertices.SetFromArray(std::vector<float>{5, 5, 5, 6, 5, 5, 5, 6, 5});
    b.Indices.SetFromArray(std::vector<Index>{0, 1, 2});
    b.Colors.SetFromArray(std::vector<float>{0, 1, 0, 0, 1, 0, 0, 1, 0});
    b.TexCoords.SetFromArray(std::vector<float>{0, 0, 1, 0, 0, 1});
    a.AddPrimitive(b);
    EXPECT_EQ(a.Vertices.Count(), 7);
    EXPECT_EQ(a.Colors.Count(), 1);
    EXPECT_EQ(a.TexCoords.Count(), 3);
    ASSERT_EQ(a.Indices.Count(), 9);
    EXPECT_EQ(a.Indices.GetIndex(5), 3);
    EXPECT_EQ(a.Indices.GetIndex(6), 4);
    EXPECT_EQ(a.Indices.GetIndex(8), 6);
    EXPECT_EQ(a.Vertices.GetItem(6).y, 6.0f);

    // Not more indices than the old vertex count: the appended indices stay as they were.
    TGLPrimitive c, d;
    c.Vertices.SetFromArray(std::vector<float>(30, 0.0f));  // 10 vertices, no indices
    d.Vertices.SetFromArray(std::vector<float>{0, 0, 0, 1, 0, 0, 0, 1, 0});
    d.Indices.SetFromArray(std::vector<Index>{0, 1, 2});
    c.AddPrimitive(d);
    EXPECT_EQ(c.Indices.GetIndex(2), 2);

    // Several colours are joined.
    TGLPrimitive e;
    e.Colors.SetFromArray(std::vector<float>{1, 1, 1, 1, 1, 1});
    e.AddPrimitive(b);
    EXPECT_EQ(e.Colors.Count(), 5);

    TGLPrimitive quads;
    quads.SetType(ptQuads);
    quads.Vertices.SetFromArray(std::vector<float>{1, 2, 3});
    EXPECT_EQ(MessageOf([&] { a.AddPrimitive(quads); }), "AddPrimitive failed: formats are not equal!");
    EXPECT_EQ(a.Vertices.Count(), 7);
}

TEST(TGLPrimitive, AssignToCreatesOrKeepsWhereTheSourceIsEmpty) {
    TGLPrimitive source;
    source.SetType(ptTriangleFan);
    source.Vertices.SetFromArray(std::vector<float>{1, 2, 3, 4, 5, 6});
    source.Indices.SetFromArray(std::vector<Index>{1, 0});
    TGLPrimitive* created = nullptr;
    source.AssignTo(created);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->PrimitiveType(), ptTriangleFan);
    EXPECT_EQ(created->Mode(), GL_TRIANGLE_FAN);
    ASSERT_EQ(created->Vertices.Count(), 2);
    EXPECT_EQ(created->Vertices.GetItem(1).z, 6.0f);
    EXPECT_EQ(created->Indices.GetIndex(0), 1);
    delete created;

    TGLPrimitive existing;
    existing.Normals.SetFromArray(std::vector<float>{0, 0, 1});
    TGLPrimitive* target = &existing;
    source.AssignTo(target);
    EXPECT_EQ(target, &existing);
    EXPECT_EQ(existing.Normals.Count(), 1);  // the source has none
    EXPECT_EQ(existing.Vertices.Count(), 2);
}

TEST(TGLPrimitive, InterpolateRotateAndTransformMoveOnlyVertices) {
    TGLVectorDArray a, b, shorter;
    a.SetFromArray(std::vector<float>{0, 0, 0, 2, 2, 2});
    b.SetFromArray(std::vector<float>{4, 0, 0, 2, 4, 6});
    shorter.SetFromArray(std::vector<float>{1, 1, 1});
    TGLPrimitive p;
    p.InterpolateVertices(a, b, 0.25f);
    ASSERT_EQ(p.Vertices.Count(), 2);
    ExpectVector(p.Vertices.GetItem(0), 1, 0, 0);
    ExpectVector(p.Vertices.GetItem(1), 2, 2.5f, 3);
    p.InterpolateVertices(a, shorter, 0.5f);
    ExpectVector(p.Vertices.GetItem(0), 1, 0, 0);

    p.Normals.SetFromArray(std::vector<float>{1, 0, 0, 1, 0, 0});
    p.RotateZ(90);
    ExpectVector(p.Vertices.GetItem(0), 0, 1, 0);
    ExpectVector(p.Normals.GetItem(0), 1, 0, 0);
    Matrix m = IdentityMatrix();
    m[12] = 10;
    m[0] = 2;
    p.Transform(m);
    ExpectVector(p.Vertices.GetItem(0), 10, 1, 0);
    ExpectVector(p.Normals.GetItem(0), 1, 0, 0);
}

int liveItems = 0;
struct CountedPrimitive : TGLPrimitive {
    CountedPrimitive() { ++liveItems; }
    ~CountedPrimitive() override { --liveItems; }
};

TEST(TGLPrimitiveList, ReferencesAreCountedAcrossLists) {
    auto* item = new CountedPrimitive;
    {
        TGLPrimitiveList first, second;
        first.Add(item);
        second.Add(item);
        EXPECT_EQ(item->RefCount(), 2);
        EXPECT_EQ(first.Count(), 1);
        EXPECT_EQ(first.Get(0), item);
        first.Clear();
        EXPECT_EQ(first.Count(), 0);
        EXPECT_EQ(liveItems, 1);
        EXPECT_EQ(item->RefCount(), 1);
        EXPECT_EQ(MessageOf([&] { second.Add(nullptr); }), "TGLPrimitiveList error: Add NIL Primitive!");
        EXPECT_EQ(second.Count(), 1);
        EXPECT_EQ(MessageOf([&] { second.Get(1); }), "List index out of bounds (1)");
        EXPECT_THROW(second.Get(-1), EListError);
    }  // the second list's destruction frees it
    EXPECT_EQ(liveItems, 0);
}

// Drawing: the client-array state each step leaves behind, and the pixels.
TEST(TGLPrimitiveDraw, EmptyPrimitiveChangesNothing) {
    GLTestContext context;
    TGLPrimitive p;
    p.Draw();
    EXPECT_FALSE(gl.IsEnabled(GL_VERTEX_ARRAY));
    EXPECT_EQ(gl.GetError(), GL_NO_ERROR);
}

TEST(TGLPrimitiveDraw, SingleColourBecomesTheCurrentColour) {
    GLTestContext context(32, 32);
    gl.ClearColor(0, 0, 0, 1);
    gl.Clear(GL_COLOR_BUFFER_BIT);
    gl.EnableClientState(GL_COLOR_ARRAY);
    TGLPrimitive p;
    p.Vertices.SetFromArray(std::vector<float>{-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, -1, 0, 1, 1, 0, -1, 1, 0});
    p.Colors.SetFromArray(std::vector<float>{0, 1, 0});
    p.Normals.SetFromArray(std::vector<float>{0, 1, 0});
    p.Draw();
    EXPECT_TRUE(gl.IsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(gl.IsEnabled(GL_COLOR_ARRAY));
    EXPECT_FALSE(gl.IsEnabled(GL_NORMAL_ARRAY));
    EXPECT_FALSE(gl.IsEnabled(GL_TEXTURE_COORD_ARRAY));
    GLfloat colour[4], normal[3];
    gl.GetFloatv(GL_CURRENT_COLOR, colour);
    gl.GetFloatv(GL_CURRENT_NORMAL, normal);
    EXPECT_EQ(colour[1], 1.0f);
    EXPECT_EQ(colour[0], 0.0f);
    EXPECT_EQ(normal[1], 1.0f);
    const Rgba pixel = context.PixelAt(16, 16);
    EXPECT_EQ(pixel.g, 255);
    EXPECT_EQ(pixel.r, 0);
    EXPECT_EQ(gl.GetError(), GL_NO_ERROR);
}

TEST(TGLPrimitiveDraw, MismatchedColoursLeaveTheCurrentColour) {
    GLTestContext context(32, 32);
    gl.Color4f(0.0f, 0.0f, 1.0f, 1.0f);
    TGLPrimitive p;
    p.Vertices.SetFromArray(std::vector<float>{-1, -1, 0, 1, -1, 0, 1, 1, 0});
    p.Colors.SetFromArray(std::vector<float>{1, 0, 0, 1, 0, 0});
    p.Draw();
    EXPECT_FALSE(gl.IsEnabled(GL_COLOR_ARRAY));
    GLfloat colour[4];
    gl.GetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 0.0f);
    EXPECT_EQ(colour[2], 1.0f);
}

TEST(TGLPrimitiveDraw, IndexedArraysWithPerVertexData) {
    GLTestContext context(32, 32);
    gl.ClearColor(0, 0, 0, 1);
    gl.Clear(GL_COLOR_BUFFER_BIT);
    TGLPrimitive p;
    p.Vertices.SetFromArray(std::vector<float>{-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0});
    p.Indices.SetFromArray(std::vector<Index>{0, 1, 2, 0, 2, 3});
    p.Colors.SetFromArray(std::vector<float>{1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0});
    p.TexCoords.SetFromArray(std::vector<float>{0, 0, 1, 0, 1, 1, 0, 1});
    p.CalcNormals();
    p.Draw();
    EXPECT_TRUE(gl.IsEnabled(GL_COLOR_ARRAY));
    EXPECT_TRUE(gl.IsEnabled(GL_NORMAL_ARRAY));
    EXPECT_TRUE(gl.IsEnabled(GL_TEXTURE_COORD_ARRAY));
    GLint stride = 0;
    gl.GetIntegerv(GL_COLOR_ARRAY_STRIDE, &stride);
    EXPECT_EQ(stride, 16);
    gl.GetIntegerv(GL_TEXTURE_COORD_ARRAY_STRIDE, &stride);
    EXPECT_EQ(stride, 8);
    void* pointer = nullptr;
    gl.GetPointerv(GL_VERTEX_ARRAY_POINTER, &pointer);
    EXPECT_EQ(pointer, p.Vertices.Data());
    EXPECT_EQ(context.PixelAt(4, 28).r, 255);
    EXPECT_EQ(context.PixelAt(28, 4).r, 255);

    // The next Draw resets every array: without texture coordinates that array is off.
    p.TexCoords.SetCount(0);
    p.Draw();
    EXPECT_FALSE(gl.IsEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_EQ(gl.GetError(), GL_NO_ERROR);
}

}  // namespace
