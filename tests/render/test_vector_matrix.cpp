// Vectors and matrices: column-major products and the builders' mappings.
#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "render/Matrix.h"

using namespace NVorn;
namespace NMatrix = NVorn::N3D::NMatrix;

namespace {

const float kPi = 3.14159265358979f;

// The point (x, y, z, w) through m, as text rounded to 4 places.
std::string Apply(const TMatrix4<float>& m, float x, float y, float z, float w = 1)
{
    TVector4<float> p = m * TVector4<float>(x, y, z, w);
    std::string text;
    for (float v : {p.x, p.y, p.z, p.w})
    {
        char number[32];
        std::snprintf(number, sizeof number, text.empty() ? "%g" : " %g", std::round(v * 1e4f) / 1e4f + 0.0f);
        text += number;
    }
    return text;
}

TEST(Vector, ArithmeticAndComparison)
{
    TVector3<float> a(1, 2, 3), b(4, -5, 6);
    EXPECT_TRUE(a + b == TVector3<float>(5, -3, 9) && a - b == TVector3<float>(-3, 7, -3));
    EXPECT_TRUE(a * 2 == TVector3<float>(2, 4, 6) && a.Cross(b) == TVector3<float>(27, 6, -13));
    EXPECT_EQ(a.Dot(b), 12);
    EXPECT_TRUE(a != TVector3<float>(1, 2, 4) && a != TVector3<float>(1, 3, 3) && a != TVector3<float>(0, 2, 3));
    TVector2<long> c(3, 4), d(1, 9);
    EXPECT_TRUE(c + d == TVector2<long>(4, 13) && c - d == TVector2<long>(2, -5) && c != TVector2<long>(3, 5));
    EXPECT_TRUE(c != TVector2<long>(2, 4) && !(c != TVector2<long>(3, 4)));
    TVector4<float> e(1, 2, 3, 4);
    EXPECT_TRUE(e == TVector4<float>(1, 2, 3, 4) && !(e != e));
    for (int i = 0; i < 4; ++i)
    {
        TVector4<float> f = e;
        (&f.x)[i] = 0;
        EXPECT_TRUE(f != e);
    }
    EXPECT_TRUE(TVector3<float>() == TVector3<float>(0, 0, 0) && TVector2<long>() == TVector2<long>(0, 0));
}

TEST(Matrix, BuildersMapPointsAsDocumented)
{
    TMatrix4<float> a;
    for (int i = 0; i < 16; ++i)
        a.m[i] = float(i * 3 - 7);
    TMatrix4<float> left = NMatrix::Unit() * a, right = a * NMatrix::Unit();
    EXPECT_EQ(std::memcmp(left.m, a.m, sizeof a.m) + std::memcmp(right.m, a.m, sizeof a.m), 0);
    // The right-hand factor applies first.
    EXPECT_EQ(Apply(NMatrix::Scale(2, 3, 4) * NMatrix::Translation(1, 2, 3), 1, 1, 1), "4 9 16 1");
    EXPECT_EQ(Apply(NMatrix::Translation(1, 2, 3) * NMatrix::Scale(2, 3, 4), 1, 1, 1), "3 5 7 1");
    EXPECT_EQ(Apply(a, 1, -1, 2, 3), "109 124 139 154");
    EXPECT_EQ(Apply(NMatrix::Rotation(0, 0, kPi / 2), 1, 0, 0), "0 1 0 1");
    EXPECT_EQ(Apply(NMatrix::Rotation(0, kPi / 2, 0), 0, 0, 1), "-1 0 0 1");
    EXPECT_EQ(Apply(NMatrix::Rotation(kPi / 2, 0, 0), 0, 1, 0), "0 0 1 1");
    EXPECT_EQ(Apply(NMatrix::Rotation(kPi / 2, 0, kPi / 2), 1, 0, 0), "0 0 1 1");
    EXPECT_EQ(Apply(NMatrix::Rotation(kPi / 2, kPi / 2, 0), 1, 0, 0), "0 -1 0 1");
    EXPECT_EQ(Apply(NMatrix::Ortho(-2, 6, 4, 8, 3, 1), 2, 6, 2), "0 0 -4 1");
    // near 2 (not 1, where 2 * n and 2 / n agree), far 3, right 3, left -1, top 4, bottom -2.
    TMatrix4<float> p = NMatrix::Projection(2, 3, 3, -1, 4, -2);
    EXPECT_EQ(Apply(p, 1, 1, -2) + " | " + Apply(p, 0, 0, -3), "0 0 -2 2 | -1.5 -1 3 3");
    // Eye (0, 0, 5) looking at the origin; then eye and target in one place.
    TMatrix4<float> v = NMatrix::LookAt(TVector3<float>(0, 0, 0), TVector3<float>(0, 0, 5), TVector3<float>(0, 2, 0));
    EXPECT_EQ(Apply(v, 1, 2, 5), "1 2 0 1");
    TMatrix4<float> turned = NMatrix::LookAt(TVector3<float>(3, 0, 0), TVector3<float>(0, 0, 0), TVector3<float>(0, 0, 1));
    EXPECT_EQ(Apply(turned, 1, 2, 3), "-2 3 -1 1");
    TMatrix4<float> same = NMatrix::LookAt(TVector3<float>(1, 2, 3), TVector3<float>(1, 2, 3), TVector3<float>(0, 1, 0));
    EXPECT_EQ(Apply(same, 5, 6, 7), "0 0 0 1");
}

} // namespace
