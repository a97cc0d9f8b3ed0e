#pragma once
// Vector, matrix and angle helpers. n counts vectors; source and destination may be the same
// array unless a function says otherwise.
#include <cstdint>

#include "gl/types.h"

// Degrees to radians with the 32-bit factor used by the rotation helpers.
float DegToRad(float degrees);
// Degrees to radians in extended precision.
long double DegToRadL(long double degrees);
float RadToDeg(float radians);
void SinCos(float radians, float& sine, float& cosine);
long double Tan(long double x);
// x - trunc(x), truncating toward zero through a 64-bit integer.
long double Frac(long double x);

// Divides each vector by its length (taken in extended precision, rounded to float);
// a zero vector is copied unchanged.
void NormalizeVectors(const Vector* source, Vector* dest, std::int32_t n);
// v' = M v + translation, with M in OpenGL (column-major) order.
void TransformVectors(const Vector* source, Vector* dest, std::int32_t n, const Matrix& m);
// Turns vectors in place about the z axis by angle degrees.
void RotateVectorsZ(Vector* v, std::int32_t n, float angleDegrees);
void LerpVectors(const Vector* a, const Vector* b, Vector* out, std::int32_t n, float t);
// out[4i+j] = sum_k a[4i+k] * b[4k+j]; out may be a or b.
void MatrixMultiply(const Matrix& a, const Matrix& b, Matrix& out);
Matrix IdentityMatrix();
void RotationMatrixX(Matrix& out, float angleDegrees);
