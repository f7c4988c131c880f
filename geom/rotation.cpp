#include "geom/rotation.h"

#include <cmath>

namespace kivera {

void MakeAxisRotation(RotationMatrix& matrix, const Point3& axis, float angle)
{
    for (auto& row : matrix.m)
        for (double& entry : row)
            entry = 0.0;
    const double ax = axis.x, ay = axis.y, az = axis.z;
    const double k = std::cos(double(angle));
    const double s = std::sin(double(angle));
    const double t = 1.0 - k;
    matrix.m[0][0] = ax * ax * t + k;
    matrix.m[0][1] = ax * ay * t + az * s;
    matrix.m[0][2] = ax * az * t - ay * s;
    matrix.m[1][0] = ax * ay * t - az * s;
    matrix.m[1][1] = ay * ay * t + k;
    matrix.m[1][2] = ay * az * t + ax * s;
    matrix.m[2][0] = ax * az * t + ay * s;
    matrix.m[2][1] = ay * az * t - ax * s;
    matrix.m[2][2] = az * az * t + k;
}

Point3 TransformPoint(const Point3& point, const RotationMatrix& matrix)
{
    const double x = point.x, y = point.y, z = point.z;
    const auto& m = matrix.m;
    return {static_cast<float>(x * m[0][0] + y * m[1][0] + z * m[2][0] + m[3][0]),
            static_cast<float>(x * m[0][1] + y * m[1][1] + z * m[2][1] + m[3][1]),
            static_cast<float>(x * m[0][2] + y * m[1][2] + z * m[2][2] + m[3][2])};
}

}  // namespace kivera
