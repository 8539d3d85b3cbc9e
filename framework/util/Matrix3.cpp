#include "framework/util/Matrix3.h"

#include <cmath>

namespace Zant {

void Matrix3::SetIdentity()
{
    for (int i = 0; i < 9; ++i)
        m[i] = (i % 4 == 0) ? 1.0f : 0.0f;
}

Matrix3 Matrix3::Multiply(const Matrix3& a, const Matrix3& b)
{
    Matrix3 r;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) {
            float sum = 0.0f;
            for (int k = 0; k < 3; ++k)
                sum += a.m[row * 3 + k] * b.m[k * 3 + col];
            r.m[row * 3 + col] = sum;
        }
    return r;
}

std::array<float, 3> Matrix3::TransformVector(const std::array<float, 3>& v) const
{
    std::array<float, 3> r{};
    for (int row = 0; row < 3; ++row)
        r[row] = m[row * 3] * v[0] + m[row * 3 + 1] * v[1] + m[row * 3 + 2] * v[2];
    return r;
}

void Matrix3::Translate(float tx, float ty)
{
    Matrix3 t;
    t.m[2] = tx;
    t.m[5] = ty;
    *this = Multiply(t, *this);
}

void Matrix3::Rotate(float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    Matrix3 r;
    r.m[0] = c;
    r.m[1] = -s;
    r.m[3] = s;
    r.m[4] = c;
    *this = Multiply(r, *this);
}

void Matrix3::Scale(float sx, float sy)
{
    Matrix3 s;
    s.m[0] = sx;
    s.m[4] = sy;
    *this = Multiply(s, *this);
}

} // namespace Zant
