#include "hostaccess/face_normal.h"

namespace kivera {

// FaceNormal of the corners of a face of `n` points, read through the host;
// the zero vector unless the face is a triangle or quadrilateral whose
// points all name vertices.
static Point3 NormalOfCorners(ObjectHandle object, const int* points, int n, int vertexCount)
{
    if (n != 3 && n != 4)
        return Point3{0.0f, 0.0f, 0.0f};
    if (!AllVertexIndices(points, n, vertexCount))
        return Point3{0.0f, 0.0f, 0.0f};
    Point3 corners[kMaxFacePoints];
    for (int k = 0; k < n; ++k)
        corners[k] = ObjGetVertex(object, points[k]);
    return FaceNormal(corners, n);
}

Point3 ReadFaceNormal(ObjectHandle object, int face)
{
    int points[kMaxFacePoints];
    const int n = ReadFacePoints(object, face, points);
    if (n != 3 && n != 4)
        return Point3{0.0f, 0.0f, 0.0f};
    return NormalOfCorners(object, points, n, ObjGetVertexCount(object));
}

Point3 ReadIndexedFaceNormal(ObjectHandle object, const MeshIndex& index, int face)
{
    int points[kMaxFacePoints];
    const int n = IndexedFacePoints(index, face, points);
    return NormalOfCorners(object, points, n, IndexedVertexCount(index));
}

}  // namespace kivera
