// Matrix: the 4x4 matrix TMatrix4 and the builders of NVorn::N3D::NMatrix.
//
// Storage is column-major, the order glLoadMatrixf expects: row r, column c
// lives at m[4c + r], so a translation sits in m[12], m[13], m[14] and a
// point is a column vector multiplied from the right (p' = M * p). Matrices
// are plain value types (16 elements, no heap), passed and returned by value;
// a default-constructed matrix is all zeros. Angles are in radians.
//
// The builders do not check their arguments: a degenerate box or frustum
// (equal left and right, say) divides by zero and yields infinities or NaNs.
#ifndef NVORN_RENDER_MATRIX_H
#define NVORN_RENDER_MATRIX_H

#include "render/Vector.h"

#include <cmath>

namespace NVorn
{
    template<class T> class TMatrix4
    {
    public:
        TMatrix4() : m() {}

        // this * b: b is applied first to a column vector. Each element is
        // accumulated in ascending k with fused multiply-adds, so results
        // are reproducible to the bit.
        TMatrix4 operator*(const TMatrix4& b) const
        {
            TMatrix4 r;
            for (int c = 0; c < 4; ++c)
                for (int row = 0; row < 4; ++row)
                {
                    T sum = 0;
                    for (int k = 0; k < 4; ++k)
                        sum = std::fma(m[4 * k + row], b.m[4 * c + k], sum);
                    r.m[4 * c + row] = sum;
                }
            return r;
        }

        // M * v for a column vector v.
        TVector4<T> operator*(const TVector4<T>& v) const
        {
            T out[4];
            for (int row = 0; row < 4; ++row)
                out[row] = m[row] * v.x + m[4 + row] * v.y + m[8 + row] * v.z + m[12 + row] * v.w;
            return TVector4<T>(out[0], out[1], out[2], out[3]);
        }

        T m[16];
    };

    namespace N3D
    {
        namespace NMatrix
        {
            TMatrix4<float> Unit();
            TMatrix4<float> Scale(float sx, float sy, float sz);
            TMatrix4<float> Translation(float tx, float ty, float tz);

            // X(ax) * Y(ay) * Z(az): a vector turns about Z first, then Y,
            // then X. X and Z turn counter-clockwise in a right-handed frame;
            // Y turns the other way (its below-diagonal element is +sin).
            TMatrix4<float> Rotation(float ax, float ay, float az);

            // The frustum and box builders take their planes in this order,
            // unlike the usual left, right, bottom, top, near, far.
            TMatrix4<float> Projection(float fNear, float fFar, float fRight, float fLeft,
                                       float fTop, float fBottom);
            TMatrix4<float> Ortho(float fLeft, float fRight, float fTop, float fBottom,
                                  float fFar, float fNear);

            // The point looked at comes before the eye position. A zero-length
            // view direction or up vector gives zero axes, never an error.
            TMatrix4<float> LookAt(TVector3<float> target, TVector3<float> eye, TVector3<float> up);
        }
    }
}

#endif
