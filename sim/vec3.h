#pragma once

#include <cmath>

// A point, direction, velocity or force in the world frame (x right, y towards
// the goal, z down). Plain value type: a default-constructed Vec3 is unset.
struct Vec3 {
    float x, y, z;

    Vec3() = default;
    constexpr Vec3(float xIn, float yIn, float zIn) : x(xIn), y(yIn), z(zIn) {}

    float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }

    Vec3& operator+=(const Vec3& w)
    {
        x += w.x;
        y += w.y;
        z += w.z;
        return *this;
    }
    Vec3& operator-=(const Vec3& w)
    {
        x -= w.x;
        y -= w.y;
        z -= w.z;
        return *this;
    }

    float length() const { return std::sqrt(x * x + y * y + z * z); }

    // The zero vector stays zero rather than turning into NaNs.
    Vec3 normalized() const
    {
        float len = length();
        if (len == 0.0f)
            return Vec3(0.0f, 0.0f, 0.0f);
        float inv = 1.0f / len;
        return Vec3(x * inv, y * inv, z * inv);
    }
};

inline Vec3 operator*(const Vec3& v, float s) { return Vec3(v.x * s, v.y * s, v.z * s); }
inline Vec3 operator+(const Vec3& a, const Vec3& b) { return Vec3(a.x + b.x, a.y + b.y, a.z + b.z); }
inline Vec3 operator-(const Vec3& a, const Vec3& b) { return Vec3(a.x - b.x, a.y - b.y, a.z - b.z); }

inline float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

inline Vec3 cross(const Vec3& a, const Vec3& b)
{
    return Vec3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}
