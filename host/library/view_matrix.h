// The view matrix as the host stores it. The host's rotate-by-view turns a
// position p into R·(x, y, -z), R being the matrix's upper 3 x 3: a stored
// view is a rotation whose third column is negated (the host's z mirror),
// so that the command turns positions by that rotation and keeps a closed
// mesh's signed volume. The unrotated front view is m[0] = m[5] = 1,
// m[10] = -1, m[15] = 1.
#pragma once

#pragma GCC visibility push(default)

namespace host {

// The front view: under it rotate-by-view keeps every position.
void FrontViewMatrix(float view[16]);

// The view turned by yaw (about y, the vertical), then pitch (about x), then
// roll (about the line of sight, z), in degrees: the rotation
// Ry(yaw)·Rx(pitch)·Rz(roll), stored with the z mirror. Angles of 0 give the
// front view.
void ViewMatrixFromAngles(double yawDegrees, double pitchDegrees, double rollDegrees,
                          float view[16]);

// A 3 x 3 rotation (row-major, rotation[3 * i + j] = R[i][j]) stored with
// the z mirror; the translation and the last row are those of the identity.
void ViewMatrixFromRotation(const double rotation[9], float view[16]);

}  // namespace host

#pragma GCC visibility pop
