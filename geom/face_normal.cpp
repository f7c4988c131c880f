// The normal of one face, read from the host. Not an index query: the
// indexed and the plain topology helpers share it.
#include "geom/topology.h"

Point3 FaceNormal(ObjectHandle object, int face)
{
    const Point3 zero = {0.0f, 0.0f, 0.0f};
    int points[kMaxFacePoints];
    const int n = ReadFacePoints(object, face, points);
    if (n != 3 && n != 4)
        return zero;
    const int vertexCount = ObjGetVertexCount(object);
    for (int k = 0; k < n; ++k)
        if (points[k] < 0 || points[k] >= vertexCount)
            return zero;
    const Point3 p0 = ObjGetVertex(object, points[0]);
    const Point3 p1 = ObjGetVertex(object, points[1]);
    const Point3 p2 = ObjGetVertex(object, points[2]);
    if (n == 3)
        return Normalize(TriangleNormal(p0, p1, p2));
    const Point3 p3 = ObjGetVertex(object, points[3]);
    return Normalize(QuadNormal(p0, p1, p2, p3));
}
