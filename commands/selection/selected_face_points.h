// The points that selected faces and lines contribute: shared by "select
// points", which selects them, and "select connected points", which walls
// its flood with them.
#pragma once

#include "hostaccess/host_api.h"

namespace kivera {

// Calls visit(v) for every point of face `face` (of `n` usable points) when
// it is selected, else for both ends of each of its selected lines, skipping
// points outside 0..vertexCount-1. A selected face's lines are not examined.
// `readPoints(points)` fills the face's points; it is called at most once,
// and only when the face contributes.
template <typename ReadPoints, typename Visit>
void VisitSelectedPointsOfFace(DocumentHandle document, int objectIndex, int face, int n,
                               int vertexCount, ReadPoints readPoints, Visit visit)
{
    if (n == 0)
        return;
    int points[kMaxFacePoints] = {-1, -1, -1, -1};
    if (DocIsSelectFace(document, objectIndex, face) == 1) {
        readPoints(points);
        for (int k = 0; k < n; ++k)
            if (IsVertexIndex(points[k], vertexCount))
                visit(points[k]);
        return;
    }
    bool pointsRead = false;
    for (int k = 0; k < n; ++k) {
        if (DocIsSelectLine(document, objectIndex, face, k) != 1)
            continue;
        if (!pointsRead) {
            readPoints(points);
            pointsRead = true;
        }
        for (int end : {points[k], points[(k + 1) % n]})
            if (IsVertexIndex(end, vertexCount))
                visit(end);
    }
}

// VisitSelectedPointsOfFace for every face of one object in face order,
// reading the faces through the host.
template <typename Visit>
void ForEachPointOfSelectedFacesAndLines(DocumentHandle document, int objectIndex,
                                         ObjectHandle object, int vertexCount, Visit visit)
{
    const int faceCount = ObjGetFaceCount(object);
    for (int face = 0; face < faceCount; ++face)
        VisitSelectedPointsOfFace(
            document, objectIndex, face, UsableFacePointCount(object, face), vertexCount,
            [object, face](int* points) { ReadFacePoints(object, face, points); }, visit);
}

}  // namespace kivera
