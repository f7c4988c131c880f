// The points that selected faces and lines contribute: shared by "select
// points", which selects them, and "select connected points", which walls
// its flood with them.
#pragma once

#include "frame/host_api.h"

// A face may name a vertex outside its object's vertex list; such a point is
// never selected, marked or labelled, so no array is indexed with it.
inline bool IsVertexIndex(int v, int vertexCount) { return v >= 0 && v < vertexCount; }

// Calls visit(v) for every point of every selected face of one object and
// for both ends of every selected line of a face that is not selected itself,
// in face order, skipping points outside 0..vertexCount-1. A selected face's
// lines are not examined. `countPoints(face)` gives a face's usable point
// count (0 to kMaxFacePoints) and `readPoints(face, points)` its points;
// they are read once per face, and only for a face that contributes.
template <typename CountPoints, typename ReadPoints, typename Visit>
void VisitSelectedFacesAndLines(DocumentHandle document, int objectIndex, int faceCount,
                                int vertexCount, CountPoints countPoints, ReadPoints readPoints,
                                Visit visit)
{
    for (int face = 0; face < faceCount; ++face) {
        const int n = countPoints(face);
        if (n == 0)
            continue;
        int points[kMaxFacePoints] = {-1, -1, -1, -1};
        if (DocIsSelectFace(document, objectIndex, face) == 1) {
            readPoints(face, points);
            for (int k = 0; k < n; ++k)
                if (IsVertexIndex(points[k], vertexCount))
                    visit(points[k]);
            continue;
        }
        bool pointsRead = false;
        for (int k = 0; k < n; ++k) {
            if (DocIsSelectLine(document, objectIndex, face, k) != 1)
                continue;
            if (!pointsRead) {
                readPoints(face, points);
                pointsRead = true;
            }
            for (int end : {points[k], points[(k + 1) % n]})
                if (IsVertexIndex(end, vertexCount))
                    visit(end);
        }
    }
}

// VisitSelectedFacesAndLines reading the faces through the host.
template <typename Visit>
void ForEachPointOfSelectedFacesAndLines(DocumentHandle document, int objectIndex,
                                         ObjectHandle object, int vertexCount, Visit visit)
{
    VisitSelectedFacesAndLines(
        document, objectIndex, ObjGetFaceCount(object), vertexCount,
        [object](int face) { return UsableFacePointCount(object, face); },
        [object](int face, int* points) { ReadFacePoints(object, face, points); }, visit);
}
