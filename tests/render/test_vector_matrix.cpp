#include "render/Matrix.h"

#include <gtest/gtest.h>

#include <cmath>

using NVorn::TMatrix4;
using NVorn::TVector3;
using NVorn::TVector4;
namespace NMatrix = NVorn::N3D::NMatrix;

namespace
{
    const float kPi = 3.14159265358979f;

    void ExpectNear(const TVector4<float>& got, float x, float y, float z, float w)
    {
        EXPECT_NEAR(got.x, x, 1e-5f);
        EXPECT_NEAR(got.y, y, 1e-5f);
        EXPECT_NEAR(got.z, z, 1e-5f);
        EXPECT_NEAR(got.w, w, 1e-5f);
    }

    TVector4<float> Point(float x, float y, float z) { return TVector4<float>(x, y, z, 1); }
}

TEST(Matrix, ProductIsColumnMajorAndUnitIsNeutral)
{
    TMatrix4<float> a;
    for (int i = 0; i < 16; ++i)
        a.m[i] = float(i * 3 - 7);
    TMatrix4<float> left = NMatrix::Unit() * a, right = a * NMatrix::Unit();
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_EQ(left.m[i], a.m[i]);
        EXPECT_EQ(right.m[i], a.m[i]);
    }

    // The right-hand factor applies first: a scale on the left scales the
    // translation too, one on the right leaves it alone.
    TMatrix4<float> st = NMatrix::Scale(2, 3, 4) * NMatrix::Translation(1, 2, 3);
    TMatrix4<float> ts = NMatrix::Translation(1, 2, 3) * NMatrix::Scale(2, 3, 4);
    EXPECT_EQ(st.m[12], 2);
    EXPECT_EQ(st.m[13], 6);
    EXPECT_EQ(st.m[14], 12);
    EXPECT_EQ(ts.m[12], 1);
    EXPECT_EQ(ts.m[0], 2);
    ExpectNear(NMatrix::Translation(1, 2, 3) * Point(0, 0, 0), 1, 2, 3, 1);
}

TEST(Matrix, RotationTurnsEachAxisTheDocumentedWay)
{
    ExpectNear(NMatrix::Rotation(0, 0, kPi / 2) * Point(1, 0, 0), 0, 1, 0, 1);
    ExpectNear(NMatrix::Rotation(0, kPi / 2, 0) * Point(0, 0, 1), -1, 0, 0, 1);
    ExpectNear(NMatrix::Rotation(kPi / 2, 0, 0) * Point(0, 1, 0), 0, 0, 1, 1);
    // Z is applied first, then X: x goes to y under Z, then y to z under X.
    ExpectNear(NMatrix::Rotation(kPi / 2, 0, kPi / 2) * Point(1, 0, 0), 0, 0, 1, 1);
}

TEST(Matrix, OrthoAndProjectionMapToClipSpace)
{
    TMatrix4<float> o = NMatrix::Ortho(0, 640, 0, 480, 2, 0);
    ExpectNear(o * Point(0, 0, 0), -1, 1, -1, 1);
    ExpectNear(o * Point(640, 480, 0), 1, -1, -1, 1);
    ExpectNear(o * Point(320, 240, 1), 0, 0, -2, 1);
    // Equal planes are not checked: the result is simply not finite.
    EXPECT_FALSE(std::isfinite(NMatrix::Ortho(1, 1, 0, 480, 2, 0).m[0]));

    // near 1, far 3, right 1, left -1, top 2, bottom -2: the near plane lands
    // on depth -1, the far one on +1.
    TMatrix4<float> p = NMatrix::Projection(1, 3, 1, -1, 2, -2);
    EXPECT_FLOAT_EQ(p.m[0], 1);
    EXPECT_FLOAT_EQ(p.m[5], 0.5f);
    EXPECT_FLOAT_EQ(p.m[11], -1);
    EXPECT_EQ(p.m[15], 0);
    TVector4<float> nearPoint = p * Point(0, 0, -1);
    TVector4<float> farPoint = p * Point(0, 0, -3);
    EXPECT_FLOAT_EQ(nearPoint.z / nearPoint.w, -1);
    EXPECT_FLOAT_EQ(farPoint.z / farPoint.w, 1);
}

TEST(Matrix, LookAtBuildsAViewMatrixAndToleratesDegenerateInput)
{
    // Eye at (0, 0, 5) looking at the origin: the identity view shifted by -5.
    TMatrix4<float> v = NMatrix::LookAt(TVector3<float>(0, 0, 0), TVector3<float>(0, 0, 5),
                                        TVector3<float>(0, 2, 0));
    ExpectNear(v * Point(0, 0, 0), 0, 0, -5, 1);
    ExpectNear(v * Point(1, 1, 5), 1, 1, 0, 1);

    // Target equal to eye: every axis is zero, only m[15] survives.
    TMatrix4<float> same = NMatrix::LookAt(TVector3<float>(1, 2, 3), TVector3<float>(1, 2, 3),
                                           TVector3<float>(0, 1, 0));
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(same.m[i], i == 15 ? 1 : 0) << "element " << i;

    // Up parallel to the view direction: side and up axes vanish.
    TMatrix4<float> parallel = NMatrix::LookAt(TVector3<float>(0, 5, 0), TVector3<float>(0, 0, 0),
                                               TVector3<float>(0, 1, 0));
    EXPECT_EQ(parallel.m[0], 0);
    EXPECT_EQ(parallel.m[1], 0);
    EXPECT_FLOAT_EQ(parallel.m[6], -1);
}
