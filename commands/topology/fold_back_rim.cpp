// Fold selected rim vertices over to the back side.
#include "commands/topology/fold_back_rim.h"

#include <cassert>
#include <cmath>
#include <new>

#include "commands/commands.h"
#include "hostaccess/object_loops.h"
#include "hostaccess/face_normal.h"
#include "hostaccess/mesh_reader.h"
#include "geom/mesh_queries.h"

namespace kivera {

bool Reserve(PendingMoveList& list, int32_t n)
{
    list.entries.reset();
    list.count = 0;
    list.capacity = 0;
    if (n < 0)
        return false;
    list.entries.reset(new (std::nothrow) PendingMove[n]);
    // An empty list needs no room, whatever the allocator makes of 0 entries.
    if (!list.entries && n > 0)
        return false;
    list.capacity = n;
    return true;
}

int32_t Append(PendingMoveList& list, int32_t objectIndex, int32_t vertexIndex,
               const Point3& position)
{
    if (!list.entries || list.count >= list.capacity)
        return list.count;
    list.entries[list.count] = {objectIndex, vertexIndex, position};
    return ++list.count;
}

int32_t Apply(const PendingMoveList& list, DocumentHandle document)
{
    assert(list.count <= list.capacity);
    int32_t heldIndex = -1;
    ObjectHandle object = nullptr;
    for (int32_t e = 0; e < list.count; ++e) {
        const PendingMove& move = list.entries[e];
        if (move.objectIndex != heldIndex)
            object = DocGetObject(document, move.objectIndex);
        heldIndex = move.objectIndex;
        // Entries are only collected from objects that exist; a host that
        // loses one in between gets no write into nothing.
        if (object)
            ObjSetVertex(object, move.vertexIndex, move.position);
    }
    return list.count;
}

int SharedVertices(ObjectHandle object, int faceA, int faceB, int* shared, int max)
{
    int pointsA[kMaxFacePoints];
    int pointsB[kMaxFacePoints];
    const int countA = ReadFacePoints(object, faceA, pointsA);
    const int countB = ReadFacePoints(object, faceB, pointsB);
    int found = 0;
    for (int i = 0; i < countA; ++i)
        for (int j = 0; j < countB; ++j)
            if (pointsA[i] == pointsB[j] && found < max)
                shared[found++] = pointsA[i];
    return found;
}

// Turns the edge pivot-v about the pivot until it points along -normal,
// keeping its length: P(pivot) - |P(v) - P(pivot)| * normal. False when the
// result is not finite (a NaN or infinite input), so that bad coordinates are
// never spread into a vertex that did not have them.
static bool FoldAboutPivot(ObjectHandle object, int v, int pivot, const Point3& normal,
                           Point3* position)
{
    const Point3 vertexPosition = ObjGetVertex(object, v);
    const Point3 pivotPosition = ObjGetVertex(object, pivot);
    const double length = Length(Subtract(vertexPosition, pivotPosition));
    const Point3 folded = Add(Scale(normal, static_cast<float>(-length)), pivotPosition);
    if (!IsFinitePoint(folded))
        return false;
    *position = folded;
    return true;
}

// A vertex between exactly two polygons that share one edge through it: it
// folds about the other end of that edge, against the faces' mean normal.
static bool FoldBetweenPolygons(ObjectHandle object, const MeshIndex& index, int v,
                                int vertexCount, Point3* position)
{
    int faces[4];
    if (FindPolygonsWithVertex(index, v, faces, 4) != 2)
        return false;
    // Two faces of four points match at most 16 times.
    int shared[kMaxFacePoints * kMaxFacePoints];
    const int sharedCount = SharedVertices(object, faces[0], faces[1], shared,
                                           kMaxFacePoints * kMaxFacePoints);
    if (sharedCount != 2)
        return false;
    const int pivot = shared[0] == v ? shared[1] : shared[0];
    if (!IsVertexIndex(pivot, vertexCount))
        return false;
    const Point3 normal =
        Normalize(Add(ReadFaceNormal(object, faces[0]), ReadFaceNormal(object, faces[1])));
    return FoldAboutPivot(object, v, pivot, normal, position);
}

// A vertex on the rim of a quadrilateral sheet: the lowest face holding it
// must be a quadrilateral with exactly two selected corners, v and a cycle
// neighbour of v. v folds about its other cycle neighbour, against the
// quadrilateral's normal.
static bool FoldQuadRim(DocumentHandle document, int objectIndex, ObjectHandle object,
                        const MeshIndex& index, int v, int vertexCount, Point3* position)
{
    int faces[4];
    if (FindPolygonsWithVertex(index, v, faces, 4) == 0)
        return false;
    const int quad = faces[0];
    if (UsableFacePointCount(object, quad) != 4)
        return false;
    int points[kMaxFacePoints];
    ObjGetFacePointArray(object, quad, points);

    int selected[kMaxFacePoints];
    int selectedCount = 0;
    for (int k = 0; k < 4; ++k)
        if (IsVertexIndex(points[k], vertexCount) &&
            IsReportedSelected(document, objectIndex, points[k]))
            selected[selectedCount++] = k;
    if (selectedCount != 2)
        return false;
    const int a = selected[0];
    const int b = selected[1];
    if (b != a + 1 && !(a == 0 && b == 3))
        return false;

    int at = -1;
    if (points[a] == v)
        at = a;
    else if (points[b] == v)
        at = b;
    if (at < 0)
        return false;
    const int other = at == a ? b : a;
    // Of v's two neighbours on the cycle, the one that is not selected.
    const int next = (at + 1) % 4;
    const int pivotPosition = next == other ? (at + 3) % 4 : next;
    const int pivot = points[pivotPosition];
    if (!IsVertexIndex(pivot, vertexCount))
        return false;
    const Point3 normal = Normalize(ReadFaceNormal(object, quad));
    return FoldAboutPivot(object, v, pivot, normal, position);
}

// Selected vertices over all objects: the number of moves there can be.
static int32_t CountSelectedVertices(DocumentHandle document)
{
    int32_t count = 0;
    ForEachObject(document, [&](int i, ObjectHandle object) {
        const int vertexCount = ObjGetVertexCount(object);
        for (int v = 0; v < vertexCount; ++v)
            if (IsReportedSelected(document, i, v))
                ++count;
    });
    return count;
}

// Examines every selected vertex and collects the moves of those that fold;
// nothing is written to the host here. An object whose index cannot be
// built gives no moves.
static void CollectFolds(DocumentHandle document, PendingMoveList& moves)
{
    ForEachObjectWithIndex(document, [&](int i, ObjectHandle object, MeshIndex& index) {
        if (!ReadMeshIndex(index, object))
            return;
        const int vertexCount = ObjGetVertexCount(object);
        for (int v = 0; v < vertexCount; ++v) {
            // Selected whatever the reference count: the count itself is the
            // rule that picks the fold.
            if (!IsReportedSelected(document, i, v))
                continue;
            const int refCount = ObjGetVertexRefCount(object, v);
            Point3 position;
            bool folds = false;
            if (refCount == 3)
                folds = FoldBetweenPolygons(object, index, v, vertexCount, &position);
            else if (refCount == 2)
                folds = FoldQuadRim(document, i, object, index, v, vertexCount, &position);
            if (folds)
                Append(moves, i, v, position);
        }
    });
}

int FoldBackRim(DocumentHandle document)
{
    PendingMoveList moves;
    if (!Reserve(moves, CountSelectedVertices(document)))
        return 0;
    CollectFolds(document, moves);
    Apply(moves, document);
    return 1;
}

}  // namespace kivera
