// Turn selected vertices by the orientation of the scene view.
#include <cmath>
#include <limits>

#include "commands/commands.h"
#include "commands/placement/placement_common.h"

namespace kivera {

// The nine entries of the view matrix that turn a point; the translation row
// and the fourth column play no part.
static const int kTurnEntries[9] = {0, 1, 2, 4, 5, 6, 8, 9, 10};

// 1 when the nine used entries of the 16-float view matrix are all finite.
static int IsUsableViewMatrix(const float* matrix)
{
    for (int entry : kTurnEntries)
        if (!std::isfinite(matrix[entry]))
            return 0;
    return 1;
}

// R * (x, y, -z) with R[i][j] = m[4i + j], each row summed in double as
// (x * R[i][0] + y * R[i][1]) - z * R[i][2] and rounded to float once.
static Point3 TurnByView(const Point3& p, const float* m)
{
    // The input z enters negated.
    const double x = p.x, y = p.y, z = p.z;
    Point3 turned;
    turned.x = static_cast<float>((x * double(m[0]) + y * double(m[1])) - z * double(m[2]));
    turned.y = static_cast<float>((x * double(m[4]) + y * double(m[5])) - z * double(m[6]));
    turned.z = static_cast<float>((x * double(m[8]) + y * double(m[9])) - z * double(m[10]));
    return turned;
}

int RotateByView(DocumentHandle document)
{
    // Read once, before any vertex moves. Entries the host leaves unwritten
    // stay NaN and stop the command rather than turn vertices by garbage.
    float matrix[16];
    for (float& entry : matrix)
        entry = std::numeric_limits<float>::quiet_NaN();
    const SceneHandle scene = DocGetScene(document, 0);
    if (!scene)
        return 1;
    SceneGetViewMatrix(scene, matrix);
    if (!IsUsableViewMatrix(matrix))
        return 1;

    ForEachSelectedVertex(document, DocGetObjectCount(document),
                          [&](ObjectHandle object, int, int v) {
                              const Point3 p = ObjGetVertex(object, v);
                              const Point3 turned = TurnByView(p, matrix);
                              // A position that cannot be turned into a finite one is kept:
                              // a NaN coordinate would otherwise spread to all three.
                              if (IsFinitePoint(p) && IsFinitePoint(turned))
                                  ObjSetVertex(object, v, turned);
                          });
    return 1;
}

}  // namespace kivera
