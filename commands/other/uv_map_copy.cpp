// Copy texture coordinates to objects of the same layout.
#include "commands/other/uv_map_copy.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <memory>
#include <new>

#include "commands/commands.h"
#include "hostaccess/mesh_reader.h"
#include "hostaccess/object_loops.h"
#include "geom/mesh_queries.h"
#include "geom/side_table.h"

namespace kivera {

namespace {

// A face the source walk took, with its point count (0: no usable face) and
// the position among its points of the vertex its edges were walked from
// (-1: not there); the pairing needs no more of the anchor. The source is
// never written, so what its index says of it holds for the whole run.
struct FaceVisit {
    int face;
    signed char pointCount;       // 0 to kMaxFacePoints
    signed char anchorPosition;   // -1 to kMaxFacePoints - 1
};

// The source walk's record: one entry per face, in the order taken.
struct VisitList {
    FaceVisit* entries;
    int count;
    int capacity;
};

// A target walk in progress: which source visit pairs with the next target
// face.
struct TargetPairing {
    ObjectHandle source;
    ObjectHandle target;
    const VisitList* visits;
    int next;
};

}  // namespace

bool FindWalkStart(DocumentHandle document, int objectIndex, ObjectHandle object, int& face,
                   int& vertex)
{
    const int faceCount = ObjGetFaceCount(object);
    int selectedFace = -1;
    for (int f = 0; f < faceCount && selectedFace < 0; ++f)
        if (UsableFacePointCount(object, f) != 0 && DocIsSelectFace(document, objectIndex, f) == 1)
            selectedFace = f;
    if (selectedFace < 0)
        return false;
    int selectedVertex = -1;
    ForEachSelectedVertexOf(document, objectIndex, object, ObjGetVertexCount(object), [&](int v) {
        selectedVertex = v;
        return false;
    });
    if (selectedVertex < 0)
        return false;
    int points[kMaxFacePoints];
    const int n = ReadFacePoints(object, selectedFace, points);
    if (FindPointPosition(points, n, selectedVertex) < 0)
        return false;
    face = selectedFace;
    vertex = selectedVertex;
    return true;
}

// Visit action of the source walk: records the face and where its anchor is.
static bool RecordVisit(VisitList& list, int face, int anchor, const int* points, int count)
{
    // Each face is visited at most once, and the list has one slot per face.
    assert(list.count < list.capacity);
    const int anchorPosition = FindPointPosition(points, count, anchor);
    list.entries[list.count++] = {face, static_cast<signed char>(count),
                                  static_cast<signed char>(anchorPosition)};
    return true;
}

// Gives `targetFace` (points targetPoints[0..targetCount-1]) the
// coordinates of the visited source face, turned so that the corner holding
// `targetAnchor` receives those of the corner holding the source anchor,
// and the following corners follow in point order. Faces of different point
// counts are left alone: the source has no coordinate for every corner of
// the target.
static void CopyFaceCoordinates(ObjectHandle source, const FaceVisit& visit, ObjectHandle target,
                                int targetFace, int targetAnchor, const int* targetPoints,
                                int targetCount)
{
    // The coordinates twice in a row: any n consecutive entries starting
    // at 0 to n - 1 are the face's coordinates turned by that many corners.
    Point2 coordinates[2 * kMaxFacePoints];
    const int sourceCount = visit.pointCount;
    if (sourceCount == 0)
        return;
    ObjGetFaceCoordinateArray(source, visit.face, coordinates);
    for (int k = 0; k < sourceCount; ++k)
        coordinates[sourceCount + k] = coordinates[k];
    const int sourcePos = visit.anchorPosition;
    if (targetCount == 0 || targetCount != sourceCount || sourcePos < 0)
        return;
    const int targetPos = FindPointPosition(targetPoints, targetCount, targetAnchor);
    if (targetPos < 0)
        return;
    const int turn = ((sourcePos - targetPos) % targetCount + targetCount) % targetCount;
    ObjSetFaceCoordinateArray(target, targetFace, &coordinates[turn]);
}

// Visit action of a target walk: pairs the face with the next source visit,
// and ends the walk once every source face has been paired.
static bool CopyPairedFace(TargetPairing& pairing, int face, int anchor, const int* points,
                           int count)
{
    if (pairing.next == pairing.visits->count)
        return false;
    const FaceVisit visit = pairing.visits->entries[pairing.next++];
    CopyFaceCoordinates(pairing.source, visit, pairing.target, face, anchor, points, count);
    return true;
}

// The largest face count of any object of the document, so that one set
// of walk arrays serves every walk.
static int LargestFaceCount(DocumentHandle document, int objectCount)
{
    int largest = 0;
    ForEachObject(document, objectCount, [&](int, ObjectHandle object) {
        largest = std::max(largest, ObjGetFaceCount(object));
    });
    return largest;
}

// The largest vertex count of any object of the document, so that one index
// serves every walk.
static int LargestVertexCount(DocumentHandle document, int objectCount)
{
    int largest = 0;
    ForEachObject(document, objectCount, [&](int, ObjectHandle object) {
        largest = std::max(largest, ObjGetVertexCount(object));
    });
    return largest;
}

// An array of `count` ints, or null when the memory cannot be had.
static std::unique_ptr<int[]> AllocateInts(int count)
{
    return std::unique_ptr<int[]>(new (std::nothrow) int[std::max(count, 1)]);
}

int CopyUVMap(DocumentHandle document)
{
    const int sourceIndex = DocGetCurrentObjectIndex(document);
    const ObjectHandle source = DocGetObject(document, sourceIndex);
    if (source == nullptr)
        return 0;
    int sourceFace = 0, sourceAnchor = 0;
    if (!FindWalkStart(document, sourceIndex, source, sourceFace, sourceAnchor))
        return 0;

    // All working memory is obtained before the first coordinate is
    // written, so that a shortage changes nothing.
    const int objectCount = DocGetObjectCount(document);
    const int capacity = LargestFaceCount(document, objectCount);
    std::unique_ptr<FaceVisit[]> visitEntries(new (std::nothrow) FaceVisit[std::max(capacity, 1)]);
    std::unique_ptr<unsigned char[]> states(
        new (std::nothrow) unsigned char[static_cast<size_t>(std::max(capacity, 1))]);
    std::unique_ptr<int[]> stackFaces = AllocateInts(capacity);
    std::unique_ptr<int[]> stackAnchors = AllocateInts(capacity);
    std::unique_ptr<int[]> sides =
        capacity <= INT_MAX / kMaxFacePoints ? AllocateInts(capacity * kMaxFacePoints) : nullptr;
    if (!visitEntries || !states || !stackFaces || !stackAnchors || !sides)
        return 0;
    // Room for the index of the largest object, so that no build below can
    // fail for want of memory.
    const MeshIndexPtr index = NewMeshIndex();
    MeshIndexOptions withSides;
    withSides.sides = sides.get();
    if (!index ||
        !ReserveMeshIndex(*index, LargestVertexCount(document, objectCount), capacity) ||
        !ReadMeshIndex(*index, source, withSides))
        return 0;
    const FaceWalkScratch scratch = {states.get(), stackFaces.get(), stackAnchors.get(),
                                     sides.get(), capacity};

    VisitList visits = {visitEntries.get(), 0, capacity};
    AnchoredFaceWalk(*index, sourceFace, sourceAnchor, scratch,
                     [&](int face, int anchor, const int* points, int count) {
                         return RecordVisit(visits, face, anchor, points, count);
                     });

    ForEachOtherObject(document, objectCount, sourceIndex, [&](int j, ObjectHandle target) {
        int targetFace = 0, targetAnchor = 0;
        if (!FindWalkStart(document, j, target, targetFace, targetAnchor) ||
            !ReadMeshIndex(*index, target, withSides))
            return;
        TargetPairing pairing = {source, target, &visits, 0};
        AnchoredFaceWalk(*index, targetFace, targetAnchor, scratch,
                         [&](int face, int anchor, const int* points, int count) {
                             return CopyPairedFace(pairing, face, anchor, points, count);
                         });
    });
    return 1;
}

}  // namespace kivera
