#pragma once
// A 3x3 float matrix for 2D transforms in homogeneous coordinates (x, y, 1).
// Row-major: m[0..2] is the first row. Translate, Rotate and Scale put the new
// transform in front (this = T x this), so they apply after what is already there.
#include <array>

namespace Zant {

class Matrix3 {
public:
    Matrix3() { SetIdentity(); }

    void SetIdentity();
    static Matrix3 Multiply(const Matrix3& a, const Matrix3& b);
    std::array<float, 3> TransformVector(const std::array<float, 3>& v) const;

    void Translate(float tx, float ty);
    void Rotate(float angle); // radians: rows (cos, -sin, 0), (sin, cos, 0), (0, 0, 1)
    void Scale(float sx, float sy);

    float m[9];
};

} // namespace Zant
