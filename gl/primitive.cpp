#include "gl/primitive.h"

#include <vector>

#include "gl/gl_api.h"
#include "gl/vector_math.h"

std::uint32_t PrimitiveTypeToMode(std::uint8_t type) {
    switch (type) {
        case ptPoints: return GL_POINTS;
        case ptLines: return GL_LINES;
        case ptLineStrip: return GL_LINE_STRIP;
        case ptLineLoop: return GL_LINE_LOOP;
        case ptTriangleStrip: return GL_TRIANGLE_STRIP;
        case ptTriangleFan: return GL_TRIANGLE_FAN;
        case ptQuadStrip: return GL_QUAD_STRIP;
        case ptQuads: return GL_QUADS;
        case ptPolygon: return GL_POLYGON;
        default: return GL_TRIANGLES;
    }
}

void TGLPrimitive::SetType(std::uint8_t type) {
    primitiveType_ = type;
    mode_ = PrimitiveTypeToMode(type);
}

void TGLPrimitive::AssignTo(TGLPrimitive*& dest) const {
    if (dest == this) return;
    if (dest == nullptr) dest = new TGLPrimitive;
    dest->SetType(primitiveType_);
    Colors.CopyTo(&dest->Colors);
    Vertices.CopyTo(&dest->Vertices);
    Normals.CopyTo(&dest->Normals);
    TexCoords.CopyTo(&dest->TexCoords);
    Indices.CopyTo(&dest->Indices);
}

void TGLPrimitive::AddPrimitive(const TGLPrimitive& other) {
    if (other.primitiveType_ != primitiveType_) throw Exception("AddPrimitive failed: formats are not equal!");
    if (Colors.Count() > 1) Colors.Append(&other.Colors);
    Normals.Append(&other.Normals);
    TexCoords.Append(&other.TexCoords);
    const std::int32_t vertexCount = Vertices.Count();
    const std::int32_t indexCount = Indices.Count();
    Vertices.Append(&other.Vertices);
    Indices.Append(&other.Indices);
    // Merged indexed meshes have more indices than vertices; only then are the appended
    // indices moved to address the appended vertices.
    if (Indices.Count() > vertexCount) {
        Index* indices = Indices.Items();
        for (std::int32_t i = indexCount; i < Indices.Count(); ++i) indices[i] += vertexCount;
    }
}

namespace {

Vector FaceNormal(const Vector& p0, const Vector& p1, const Vector& p2) {
    const Vector a{p1.x - p0.x, p1.y - p0.y, p1.z - p0.z};
    const Vector b{p2.x - p0.x, p2.y - p0.y, p2.z - p0.z};
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

}  // namespace

void TGLPrimitive::CalcNormals() {
    Normals.SetCount(Vertices.Count());
    Normals.Zero();
    if (primitiveType_ == ptTriangles) {
        Vector* normals = Normals.Items();
        if (Indices.Count() == 0) {
            const Vector* p = Vertices.Items();
            for (std::int32_t k = 0; k + 2 < Vertices.Count(); k += 3) {
                const Vector n = FaceNormal(p[k], p[k + 1], p[k + 2]);
                normals[k] = normals[k + 1] = normals[k + 2] = n;
            }
        } else {
            std::vector<std::int32_t> uses(static_cast<std::size_t>(Vertices.Count()), 0);
            for (std::int32_t k = 0; k + 2 < Indices.Count(); k += 3) {
                const Index i0 = Indices.GetItem(k), i1 = Indices.GetItem(k + 1), i2 = Indices.GetItem(k + 2);
                // Bounds-checked: a bad index raises the array's message instead of corrupting memory.
                const Vector n = FaceNormal(Vertices.GetItem(i0), Vertices.GetItem(i1), Vertices.GetItem(i2));
                for (const Index i : {i0, i1, i2}) {
                    normals[i].x += n.x;
                    normals[i].y += n.y;
                    normals[i].z += n.z;
                    ++uses[static_cast<std::size_t>(i)];
                }
            }
            for (std::int32_t i = 0; i < Normals.Count(); ++i) {
                if (uses[static_cast<std::size_t>(i)] > 0) {
                    const auto count = static_cast<float>(uses[static_cast<std::size_t>(i)]);
                    normals[i] = {normals[i].x / count, normals[i].y / count, normals[i].z / count};
                }
            }
        }
    }
    NormalizeNormals();
}

void TGLPrimitive::NormalizeNormals() { NormalizeVectors(Normals.Items(), Normals.Items(), Normals.Count()); }

void TGLPrimitive::InterpolateVertices(const TGLVectorDArray& a, const TGLVectorDArray& b, float t) {
    if (a.Count() != b.Count()) return;
    if (Vertices.Count() != a.Count()) Vertices.SetCount(a.Count());
    LerpVectors(a.Items(), b.Items(), Vertices.Items(), a.Count(), t);
}

void TGLPrimitive::RotateZ(float angleDegrees) { RotateVectorsZ(Vertices.Items(), Vertices.Count(), angleDegrees); }

void TGLPrimitive::Transform(const Matrix& m) {
    TransformVectors(Vertices.Items(), Vertices.Items(), Vertices.Count(), m);
}

void TGLPrimitive::Draw() const {
    const std::int32_t count = Vertices.Count();
    if (count == 0) return;
    gl.EnableClientState(GL_VERTEX_ARRAY);
    gl.VertexPointer(3, GL_FLOAT, 12, Vertices.Data());
    if (Colors.Count() == count) {
        gl.EnableClientState(GL_COLOR_ARRAY);
        gl.ColorPointer(4, GL_FLOAT, 16, Colors.Data());
    } else {
        gl.DisableClientState(GL_COLOR_ARRAY);
        if (Colors.Count() == 1) gl.Color4fv(&Colors.Items()[0].r);
    }
    if (Normals.Count() == count) {
        gl.EnableClientState(GL_NORMAL_ARRAY);
        gl.NormalPointer(GL_FLOAT, 12, Normals.Data());
    } else {
        gl.DisableClientState(GL_NORMAL_ARRAY);
        if (Normals.Count() == 1) gl.Normal3fv(&Normals.Items()[0].x);
    }
    if (TexCoords.Count() == count) {
        gl.EnableClientState(GL_TEXTURE_COORD_ARRAY);
        gl.TexCoordPointer(2, GL_FLOAT, 8, TexCoords.Data());
    } else {
        gl.DisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    if (Indices.Count() > 0)
        gl.DrawElements(mode_, Indices.Count(), GL_UNSIGNED_INT, Indices.Data());
    else
        gl.DrawArrays(mode_, 0, count);
}
