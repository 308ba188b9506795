#pragma once

#include "sim/vec3.h"

// 3 x 3 row-major matrix applied to column vectors; used only as a rotation.
struct Mat3 {
    float m[9];

    static Mat3 identity()
    {
        Mat3 r;
        for (int i = 0; i < 9; ++i)
            r.m[i] = (i % 4 == 0) ? 1.0f : 0.0f;
        return r;
    }

    float& at(int r, int c) { return m[r * 3 + c]; }
    float at(int r, int c) const { return m[r * 3 + c]; }
};

// Built in a temporary and returned by value, so m = m * n is safe.
inline Mat3 operator*(const Mat3& a, const Mat3& b)
{
    Mat3 r;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            r.at(row, col) = a.at(row, 0) * b.at(0, col) + a.at(row, 1) * b.at(1, col) + a.at(row, 2) * b.at(2, col);
    return r;
}

inline Vec3 operator*(const Mat3& m, const Vec3& v)
{
    return Vec3(m.at(0, 0) * v.x + m.at(0, 1) * v.y + m.at(0, 2) * v.z,
                m.at(1, 0) * v.x + m.at(1, 1) * v.y + m.at(1, 2) * v.z,
                m.at(2, 0) * v.x + m.at(2, 1) * v.y + m.at(2, 2) * v.z);
}

// Frame rotations: each maps world coordinates into a frame turned by +a about
// the axis (the transpose of rotating a vector by a).
Mat3 rotationX(float a);
Mat3 rotationY(float a);
Mat3 rotationZ(float a);
