// The bulge's profile height as a plain scan: every triangle of every face
// record, in face order, for every point. The grid the command uses must
// give exactly these heights; tests compare the two bit for bit.
#pragma once

#include "geom/profile_grid.h"
#include "geom/triangle_xy.h"

namespace kivera_test::reference {

using namespace kivera;

// The corners of one profile face as indices into the profile snapshot: a
// quad's four, a triangle's three and -1, or -1 four times for a face that
// gives no height.
struct FaceCorners {
    int corners[4];
};

// The greatest height at (x, y) over the triangles of the face records that
// accept the point, or 0 when none gives a positive height.
inline float BulgeProfileHeight(const Point3* snapshot, const FaceCorners* table, int faceCount,
                                float x, float y)
{
    float best = 0.0f;
    for (int f = 0; f < faceCount; ++f) {
        const int* corners = table[f].corners;
        if (corners[0] < 0)
            continue;
        // Slot 4 repeats slot 0, so that a quad's second triangle is slots 2, 3, 4.
        Point3 slots[5];
        const int n = corners[3] < 0 ? 3 : 4;
        for (int k = 0; k < n; ++k)
            slots[k] = snapshot[corners[k]];
        slots[4] = slots[0];
        for (int start = 0; start < (n == 4 ? 3 : 1); start += 2) {
            if (!IsInsideTriangleXY(&slots[start], x, y))
                continue;
            const float h = HeightOnTriangle(&slots[start], x, y);
            if (h > best)
                best = h;
        }
    }
    return best;
}

}  // namespace kivera_test::reference
