#include "gl/vector_math.h"

#include <cmath>

float DegToRad(float degrees) { return degrees * 0.017453292f; }

long double DegToRadL(long double degrees) { return degrees * (3.14159265358979323846264338327950288L / 180.0L); }

float RadToDeg(float radians) { return radians * 57.29578f; }

void SinCos(float radians, float& sine, float& cosine) {
    const long double r = radians;
    sine = static_cast<float>(std::sin(r));
    cosine = static_cast<float>(std::cos(r));
}

long double Tan(long double x) { return std::tan(x); }

long double Frac(long double x) { return x - static_cast<long double>(static_cast<std::int64_t>(x)); }

void NormalizeVectors(const Vector* source, Vector* dest, std::int32_t n) {
    for (std::int32_t i = 0; i < n; ++i) {
        const Vector v = source[i];
        const long double x = v.x, y = v.y, z = v.z;
        const auto length = static_cast<float>(std::sqrt(x * x + y * y + z * z));
        if (length != 0.0f)
            dest[i] = {v.x / length, v.y / length, v.z / length};
        else
            dest[i] = v;
    }
}

void TransformVectors(const Vector* source, Vector* dest, std::int32_t n, const Matrix& m) {
    for (std::int32_t i = 0; i < n; ++i) {
        const Vector v = source[i];
        const float x = v.x * m[0] + v.y * m[4] + v.z * m[8] + m[12];
        const float y = v.x * m[1] + v.y * m[5] + v.z * m[9] + m[13];
        const float z = v.x * m[2] + v.y * m[6] + v.z * m[10] + m[14];
        dest[i] = {x, y, z};
    }
}

void RotateVectorsZ(Vector* v, std::int32_t n, float angleDegrees) {
    float s, c;
    SinCos(DegToRad(angleDegrees), s, c);
    for (std::int32_t i = 0; i < n; ++i) {
        const float x = c * v[i].x - s * v[i].y;
        const float y = s * v[i].x + c * v[i].y;
        v[i].x = x;
        v[i].y = y;
    }
}

void LerpVectors(const Vector* a, const Vector* b, Vector* out, std::int32_t n, float t) {
    for (std::int32_t i = 0; i < n; ++i) {
        out[i] = {a[i].x + t * (b[i].x - a[i].x), a[i].y + t * (b[i].y - a[i].y), a[i].z + t * (b[i].z - a[i].z)};
    }
}

void MatrixMultiply(const Matrix& a, const Matrix& b, Matrix& out) {
    Matrix product{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k) product[4 * i + j] += a[4 * i + k] * b[4 * k + j];
    out = product;
}

Matrix IdentityMatrix() {
    Matrix m{};
    m[0] = m[5] = m[10] = m[15] = 1.0f;
    return m;
}

void RotationMatrixX(Matrix& out, float angleDegrees) {
    float s, c;
    SinCos(DegToRad(angleDegrees), s, c);
    out = IdentityMatrix();
    out[5] = c;
    out[6] = s;
    out[9] = -s;
    out[10] = c;
}
