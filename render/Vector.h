// Vector: the engine's small fixed-size vectors TVector2, TVector3 and
// TVector4. They are plain value types: no virtual functions, no heap storage,
// copied by value. TVector2<long> carries image coordinates and sizes (x is a
// column or a width, y a row or a height); TVector3<float> carries positions
// and directions; TVector4 carries shader constants. A default-constructed
// vector is all zeros.
#ifndef NVORN_RENDER_VECTOR_H
#define NVORN_RENDER_VECTOR_H

namespace NVorn
{
    template<class T> class TVector2
    {
    public:
        TVector2() : x(), y() {}
        TVector2(T vx, T vy) : x(vx), y(vy) {}

        TVector2 operator+(const TVector2& b) const { return TVector2(x + b.x, y + b.y); }
        TVector2 operator-(const TVector2& b) const { return TVector2(x - b.x, y - b.y); }
        bool operator==(const TVector2& b) const { return x == b.x && y == b.y; }
        bool operator!=(const TVector2& b) const { return !(*this == b); }

        T x;
        T y;
    };

    template<class T> class TVector3
    {
    public:
        TVector3() : x(), y(), z() {}
        TVector3(T vx, T vy, T vz) : x(vx), y(vy), z(vz) {}

        TVector3 operator+(const TVector3& b) const { return TVector3(x + b.x, y + b.y, z + b.z); }
        TVector3 operator-(const TVector3& b) const { return TVector3(x - b.x, y - b.y, z - b.z); }
        TVector3 operator*(T s) const { return TVector3(x * s, y * s, z * s); }
        bool operator==(const TVector3& b) const { return x == b.x && y == b.y && z == b.z; }
        bool operator!=(const TVector3& b) const { return !(*this == b); }

        T Dot(const TVector3& b) const { return x * b.x + y * b.y + z * b.z; }
        TVector3 Cross(const TVector3& b) const
        {
            return TVector3(y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x);
        }

        T x;
        T y;
        T z;
    };

    template<class T> class TVector4
    {
    public:
        TVector4() : x(), y(), z(), w() {}
        TVector4(T vx, T vy, T vz, T vw) : x(vx), y(vy), z(vz), w(vw) {}

        bool operator==(const TVector4& b) const { return x == b.x && y == b.y && z == b.z && w == b.w; }
        bool operator!=(const TVector4& b) const { return !(*this == b); }

        T x;
        T y;
        T z;
        T w;
    };
}

#endif
