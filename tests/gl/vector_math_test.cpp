#include <gtest/gtest.h>

#include <cmath>

#include "gl/vector_math.h"

namespace {

TEST(VectorMath, NormalizeScalesToUnitLengthAndLeavesZeroAlone) {
    Vector v[3] = {{3, 0, 4}, {0, 0, 0}, {0, -2, 0}};
    NormalizeVectors(v, v, 3);
    EXPECT_FLOAT_EQ(v[0].x, 0.6f);
    EXPECT_FLOAT_EQ(v[0].z, 0.8f);
    EXPECT_EQ(v[1].x, 0.0f);
    EXPECT_EQ(v[1].y, 0.0f);
    EXPECT_EQ(v[1].z, 0.0f);
    EXPECT_EQ(v[2].y, -1.0f);
}

TEST(VectorMath, TransformUsesOpenGLOrderAndReadsBeforeWriting) {
    Matrix m = IdentityMatrix();
    m[4] = 2;   // y contributes to x
    m[12] = 10;  // translation
    m[13] = 20;
    Vector v[1] = {{1, 3, 5}};
    TransformVectors(v, v, 1, m);
    EXPECT_EQ(v[0].x, 1 + 2 * 3 + 10.0f);
    EXPECT_EQ(v[0].y, 23.0f);
    EXPECT_EQ(v[0].z, 5.0f);

    // A swap of x and y in place only works when all three are read first.
    Matrix swap{};
    swap[1] = 1;
    swap[4] = 1;
    swap[10] = 1;
    swap[15] = 1;
    Vector w[1] = {{1, 2, 3}};
    TransformVectors(w, w, 1, swap);
    EXPECT_EQ(w[0].x, 2.0f);
    EXPECT_EQ(w[0].y, 1.0f);
}

TEST(VectorMath, RotateZTurnsCounterClockwiseInDegrees) {
    Vector v[1] = {{1, 0, 7}};
    RotateVectorsZ(v, 1, 90);
    EXPECT_NEAR(v[0].x, 0.0f, 1e-6);
    EXPECT_NEAR(v[0].y, 1.0f, 1e-6);
    EXPECT_EQ(v[0].z, 7.0f);
}

TEST(VectorMath, Lerp) {
    Vector a[1] = {{0, 10, -4}}, b[1] = {{10, 20, 4}}, out[1];
    LerpVectors(a, b, out, 1, 0.25f);
    EXPECT_EQ(out[0].x, 2.5f);
    EXPECT_EQ(out[0].y, 12.5f);
    EXPECT_EQ(out[0].z, -2.0f);
}

TEST(VectorMath, MatrixMultiplyAllowsTheOutputToAliasAnInput) {
    Matrix a;
    for (int i = 0; i < 16; ++i) a[i] = static_cast<float>(i + 1);
    const Matrix original = a;
    MatrixMultiply(a, IdentityMatrix(), a);
    EXPECT_EQ(a, original);

    Matrix b = IdentityMatrix();
    b[12] = 5;  // row 3, column 0 in out[4i+j] terms
    Matrix out;
    MatrixMultiply(a, b, out);
    // out[4i+0] = a[4i+0] + a[4i+3] * 5
    EXPECT_EQ(out[0], 1 + 4 * 5.0f);
    EXPECT_EQ(out[4], 5 + 8 * 5.0f);
    MatrixMultiply(a, b, a);
    EXPECT_EQ(a, out);
}

TEST(VectorMath, RotationMatrixXAndAngleHelpers) {
    Matrix m;
    RotationMatrixX(m, 90);
    EXPECT_EQ(m[0], 1.0f);
    EXPECT_NEAR(m[5], 0.0f, 1e-6);
    EXPECT_NEAR(m[6], 1.0f, 1e-6);
    EXPECT_NEAR(m[9], -1.0f, 1e-6);
    EXPECT_EQ(m[15], 1.0f);

    EXPECT_EQ(DegToRad(180.0f), 180.0f * 0.017453292f);
    EXPECT_NEAR(static_cast<double>(DegToRadL(180.0L)), 3.14159265358979323846, 1e-15);
    EXPECT_EQ(RadToDeg(1.0f), 57.29578f);
    EXPECT_NEAR(static_cast<double>(Tan(0.5L)), std::tan(0.5), 1e-15);
    EXPECT_EQ(Frac(2.75L), 0.75L);
    EXPECT_EQ(Frac(-2.75L), -0.75L);
    float s, c;
    SinCos(0.0f, s, c);
    EXPECT_EQ(s, 0.0f);
    EXPECT_EQ(c, 1.0f);
}

}  // namespace
