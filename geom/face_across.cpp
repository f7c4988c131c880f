#include "geom/face_across.h"

#include "geom/mesh_queries.h"

namespace kivera {

bool FindFaceAcrossLine(const MeshIndex& index, int face, int line, LineAcross& across)
{
    MeshFace first;
    first.count = IndexedFacePoints(index, face, first.points);
    if (first.count < 3 || line < 0 || line >= first.count)
        return false;
    const int a = PointAt(first, line);
    const int b = PointAt(first, line + 1);

    int found[kMaxEdgeFaces];
    const int foundCount = FindFacesWithEdge(index, a, b, found);
    // The face itself is among them only when it holds a and b once each.
    if (foundCount != 2 || (found[0] != face && found[1] != face))
        return false;
    const int otherFace = found[0] == face ? found[1] : found[0];

    MeshFace other;
    other.count = IndexedFacePoints(index, otherFace, other.points);
    if (other.count < 3)
        return false;
    const int vertexCount = IndexedVertexCount(index);
    if (!AllVertexIndices(first.points, first.count, vertexCount) ||
        !AllVertexIndices(other.points, other.count, vertexCount))
        return false;
    const int positionB = FindPointPosition(other.points, other.count, b);
    if (positionB < 0 || PointAt(other, positionB + 1) != a)
        return false;
    across.a = a;
    across.b = b;
    across.p = PointAt(first, line - 1);
    across.e = PointAt(first, line + 2);
    across.q = PointAt(other, positionB - 1);
    across.r = PointAt(other, positionB + 2);
    across.otherFace = otherFace;
    return true;
}

}  // namespace kivera
