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
// lines are not examined; a face's points are read once, on its first
// selected line.
template <typename Visit>
void ForEachPointOfSelectedFacesAndLines(DocumentHandle document, int objectIndex,
                                         ObjectHandle object, int vertexCount, Visit visit)
{
    const int faceCount = ObjGetFaceCount(object);
    for (int face = 0; face < faceCount; ++face) {
        const int n = UsableFacePointCount(object, face);
        if (n == 0)
            continue;
        int points[kMaxFacePoints] = {-1, -1, -1, -1};
        if (DocIsSelectFace(document, objectIndex, face) == 1) {
            ReadFacePoints(object, face, points);
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
                ReadFacePoints(object, face, points);
                pointsRead = true;
            }
            for (int end : {points[k], points[(k + 1) % n]})
                if (IsVertexIndex(end, vertexCount))
                    visit(end);
        }
    }
}
