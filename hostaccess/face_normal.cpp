#include "hostaccess/face_normal.h"

Point3 ReadFaceNormal(ObjectHandle object, int face)
{
    int points[kMaxFacePoints];
    const int n = ReadFacePoints(object, face, points);
    if (n != 3 && n != 4)
        return Point3{0.0f, 0.0f, 0.0f};
    const int vertexCount = ObjGetVertexCount(object);
    for (int k = 0; k < n; ++k)
        if (points[k] < 0 || points[k] >= vertexCount)
            return Point3{0.0f, 0.0f, 0.0f};
    Point3 corners[kMaxFacePoints];
    for (int k = 0; k < n; ++k)
        corners[k] = ObjGetVertex(object, points[k]);
    return FaceNormal(corners, n);
}
