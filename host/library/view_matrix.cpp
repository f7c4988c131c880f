#include "host/library/view_matrix.h"

#include <cmath>

namespace host {

void ViewMatrixFromRotation(const double rotation[9], float view[16])
{
    for (int i = 0; i < 16; ++i)
        view[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            // R·diag(1, 1, -1): the command's (x, y, -z) undoes the sign.
            const double value = rotation[3 * row + column] * (column == 2 ? -1.0 : 1.0);
            view[4 * row + column] = static_cast<float>(value);
        }
}

void FrontViewMatrix(float view[16])
{
    const double identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    ViewMatrixFromRotation(identity, view);
}

// a·b for row-major 3 x 3 matrices.
static void Multiply(const double* a, const double* b, double* product)
{
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            product[3 * i + j] =
                a[3 * i] * b[j] + a[3 * i + 1] * b[3 + j] + a[3 * i + 2] * b[6 + j];
}

void ViewMatrixFromAngles(double yawDegrees, double pitchDegrees, double rollDegrees,
                          float view[16])
{
    const double toRadians = std::acos(-1.0) / 180.0;
    const double cy = std::cos(yawDegrees * toRadians), sy = std::sin(yawDegrees * toRadians);
    const double cp = std::cos(pitchDegrees * toRadians), sp = std::sin(pitchDegrees * toRadians);
    const double cr = std::cos(rollDegrees * toRadians), sr = std::sin(rollDegrees * toRadians);
    const double yaw[9] = {cy, 0, sy, 0, 1, 0, -sy, 0, cy};
    const double pitch[9] = {1, 0, 0, 0, cp, -sp, 0, sp, cp};
    const double roll[9] = {cr, -sr, 0, sr, cr, 0, 0, 0, 1};
    double yawPitch[9], rotation[9];
    Multiply(yaw, pitch, yawPitch);
    Multiply(yawPitch, roll, rotation);
    ViewMatrixFromRotation(rotation, view);
}

}  // namespace host
