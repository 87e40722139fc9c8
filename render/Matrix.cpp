#include "render/Matrix.h"

#include "foundation/Utils.h"

namespace NVorn
{
namespace N3D
{
namespace NMatrix
{
    namespace
    {
        // Below this length a vector counts as zero and normalises to zero.
        const float kMinLength = 1e-6f;

        TVector3<float> Normalized(const TVector3<float>& v)
        {
            float length = NVorn::sqrt(v.Dot(v));
            if (length < kMinLength)
                return TVector3<float>();
            return TVector3<float>(v.x / length, v.y / length, v.z / length);
        }

        TMatrix4<float> RotationX(float a)
        {
            float c = NVorn::cos(a), s = NVorn::sin(a);
            TMatrix4<float> r;
            r.m[0] = 1;
            r.m[5] = c;  r.m[6] = s;
            r.m[9] = -s; r.m[10] = c;
            r.m[15] = 1;
            return r;
        }

        TMatrix4<float> RotationY(float a)
        {
            float c = NVorn::cos(a), s = NVorn::sin(a);
            TMatrix4<float> r;
            r.m[0] = c;  r.m[2] = s;
            r.m[5] = 1;
            r.m[8] = -s; r.m[10] = c;
            r.m[15] = 1;
            return r;
        }

        TMatrix4<float> RotationZ(float a)
        {
            float c = NVorn::cos(a), s = NVorn::sin(a);
            TMatrix4<float> r;
            r.m[0] = c;  r.m[1] = s;
            r.m[4] = -s; r.m[5] = c;
            r.m[10] = 1;
            r.m[15] = 1;
            return r;
        }
    }

    TMatrix4<float> Unit()
    {
        return Scale(1, 1, 1);
    }

    TMatrix4<float> Scale(float sx, float sy, float sz)
    {
        TMatrix4<float> r;
        r.m[0] = sx;
        r.m[5] = sy;
        r.m[10] = sz;
        r.m[15] = 1;
        return r;
    }

    TMatrix4<float> Translation(float tx, float ty, float tz)
    {
        TMatrix4<float> r = Unit();
        r.m[12] = tx;
        r.m[13] = ty;
        r.m[14] = tz;
        return r;
    }

    TMatrix4<float> Rotation(float ax, float ay, float az)
    {
        return (RotationX(ax) * RotationY(ay)) * RotationZ(az);
    }

    TMatrix4<float> Projection(float n, float f, float r, float l, float t, float b)
    {
        TMatrix4<float> p;
        p.m[0] = 2 * n / (r - l);
        p.m[5] = 2 * n / (t - b);
        p.m[8] = (r + l) / (r - l);
        p.m[9] = (t + b) / (t - b);
        p.m[10] = (n + f) / (n - f);
        p.m[11] = -1;
        p.m[14] = 2 * n * f / (n - f);
        return p;
    }

    TMatrix4<float> Ortho(float l, float r, float t, float b, float f, float n)
    {
        TMatrix4<float> o;
        o.m[0] = 2 / (r - l);
        o.m[5] = 2 / (t - b);
        o.m[10] = -2 / (f - n);
        o.m[12] = -(r + l) / (r - l);
        o.m[13] = -(t + b) / (t - b);
        o.m[14] = -(f + n) / (f - n);
        o.m[15] = 1;
        return o;
    }

    TMatrix4<float> LookAt(TVector3<float> target, TVector3<float> eye, TVector3<float> up)
    {
        TVector3<float> d = Normalized(target - eye);
        TVector3<float> s = d.Cross(Normalized(up));
        TVector3<float> u = s.Cross(d);

        TMatrix4<float> view;
        view.m[0] = s.x;  view.m[4] = s.y;  view.m[8] = s.z;
        view.m[1] = u.x;  view.m[5] = u.y;  view.m[9] = u.z;
        view.m[2] = -d.x; view.m[6] = -d.y; view.m[10] = -d.z;
        view.m[15] = 1;
        return view * Translation(-eye.x, -eye.y, -eye.z);
    }
}
}
}
