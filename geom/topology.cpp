#include "geom/topology.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <new>

// Marks "no more faces" in the cursors below; above every face index.
constexpr int kNoFace = INT_MAX;

// True when `v` has a list of its own in the index.
static bool IsIndexedVertex(const MeshIndex& index, int v)
{
    return v >= 0 && v < index.vertexCount;
}

// True when a face naming `v` may sit in the stray list only: `v` had no
// list of its own when such a face was entered. Vertices of the build always
// had one.
static bool NeedsStrayFaces(const MeshIndex& index, int v)
{
    return !index.strayFaces.empty() && !(v >= 0 && v < index.builtVertexCount);
}

// True when points[k] already appeared at an earlier position of the face.
static bool RepeatsEarlierPoint(const int* points, int k)
{
    for (int j = 0; j < k; ++j)
        if (points[j] == points[k])
            return true;
    return false;
}

static const int* PointsOf(const MeshIndex& index, int face)
{
    return index.facePoints.data() + static_cast<size_t>(face) * kMaxFacePoints;
}

// Empties the index but keeps its memory for the next build.
static void ClearMeshIndex(MeshIndex& index)
{
    index.object = nullptr;
    index.builtVertexCount = 0;
    index.vertexCount = 0;
    index.faceCount = 0;
    index.facePoints.clear();
    index.pointCounts.clear();
    index.incidentStart.clear();
    index.incidentCount.clear();
    index.incident.clear();
    index.addedHead.clear();
    index.addedTail.clear();
    index.addedFace.clear();
    index.addedNext.clear();
    index.strayFaces.clear();
    index.neighbourStamp.clear();
    index.stamp = 0;
    index.onStack.clear();
    index.lost = false;
}

// The three passes of a build: read the faces and count each vertex's
// faces, turn the counts into running offsets, then fill the lists (faces in
// ascending order, as they are met). May throw std::bad_alloc.
static void FillMeshIndex(MeshIndex& index, ObjectHandle object, int vertexCount, int faceCount)
{
    const size_t vertices = static_cast<size_t>(vertexCount);
    index.object = object;
    index.builtVertexCount = vertexCount;
    index.vertexCount = vertexCount;
    index.faceCount = faceCount;
    index.facePoints.assign(static_cast<size_t>(faceCount) * kMaxFacePoints, -1);
    index.pointCounts.assign(static_cast<size_t>(faceCount), 0);
    index.incidentStart.assign(vertices + 1, 0);
    index.incidentCount.assign(vertices, 0);
    index.addedHead.assign(vertices, -1);
    index.addedTail.assign(vertices, -1);
    index.neighbourStamp.assign(vertices, 0);
    index.onStack.assign(vertices, 0);

    for (int face = 0; face < faceCount; ++face) {
        int* points = index.facePoints.data() + static_cast<size_t>(face) * kMaxFacePoints;
        const int n = ReadFacePoints(object, face, points);
        index.pointCounts[static_cast<size_t>(face)] = static_cast<unsigned char>(n);
        bool stray = false;
        for (int k = 0; k < n; ++k) {
            if (!IsIndexedVertex(index, points[k]))
                stray = true;
            else if (!RepeatsEarlierPoint(points, k))
                ++index.incidentStart[static_cast<size_t>(points[k]) + 1];
        }
        if (stray)
            index.strayFaces.push_back(face);
    }
    for (size_t v = 0; v < vertices; ++v)
        index.incidentStart[v + 1] += index.incidentStart[v];
    index.incident.assign(static_cast<size_t>(index.incidentStart[vertices]), -1);
    for (int face = 0; face < faceCount; ++face) {
        const int* points = PointsOf(index, face);
        const int n = index.pointCounts[static_cast<size_t>(face)];
        for (int k = 0; k < n; ++k) {
            const int p = points[k];
            if (!IsIndexedVertex(index, p) || RepeatsEarlierPoint(points, k))
                continue;
            const size_t slot = static_cast<size_t>(index.incidentStart[static_cast<size_t>(p)] +
                                                    index.incidentCount[static_cast<size_t>(p)]++);
            index.incident[slot] = face;
        }
    }
}

bool BuildMeshIndex(MeshIndex& index, ObjectHandle object)
{
    assert(object != nullptr);
    ClearMeshIndex(index);
    const int vertexCount = std::max(ObjGetVertexCount(object), 0);
    const int faceCount = std::max(ObjGetFaceCount(object), 0);
    // The list offsets are ints: every corner of every face must fit one.
    if (faceCount > INT_MAX / kMaxFacePoints || vertexCount == INT_MAX)
        return false;
    try {
        FillMeshIndex(index, object, vertexCount, faceCount);
    } catch (const std::bad_alloc&) {
        ClearMeshIndex(index);
        return false;
    }
    return true;
}

bool ReserveMeshIndex(MeshIndex& index, int vertexCount, int faceCount)
{
    if (vertexCount < 0 || faceCount < 0 || faceCount > INT_MAX / kMaxFacePoints ||
        vertexCount == INT_MAX)
        return false;
    const size_t vertices = static_cast<size_t>(vertexCount);
    const size_t faces = static_cast<size_t>(faceCount);
    try {
        index.facePoints.reserve(faces * kMaxFacePoints);
        index.pointCounts.reserve(faces);
        index.incidentStart.reserve(vertices + 1);
        index.incidentCount.reserve(vertices);
        index.incident.reserve(faces * kMaxFacePoints);
        index.addedHead.reserve(vertices);
        index.addedTail.reserve(vertices);
        index.strayFaces.reserve(faces);
        index.neighbourStamp.reserve(vertices);
        index.onStack.reserve(vertices);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

// Room for `needed` entries, growing by at least half again so that a run
// of single edits costs amortised constant time. May throw std::bad_alloc.
template <typename T>
static void GrowTo(std::vector<T>& list, size_t needed)
{
    if (list.capacity() < needed)
        list.reserve(std::max(needed, list.capacity() + list.capacity() / 2));
}

bool ReserveMeshEdits(MeshIndex& index, int vertices, int faces)
{
    assert(vertices >= 0 && faces >= 0);
    const size_t vertexTotal = static_cast<size_t>(index.vertexCount) + static_cast<size_t>(vertices);
    const size_t faceTotal = static_cast<size_t>(index.faceCount) + static_cast<size_t>(faces);
    const size_t newCorners = static_cast<size_t>(faces) * kMaxFacePoints;
    if (vertexTotal >= static_cast<size_t>(INT_MAX) || faceTotal > static_cast<size_t>(INT_MAX) ||
        index.addedFace.size() + newCorners > static_cast<size_t>(INT_MAX))
        return false;
    try {
        GrowTo(index.addedHead, vertexTotal);
        GrowTo(index.addedTail, vertexTotal);
        GrowTo(index.neighbourStamp, vertexTotal);
        GrowTo(index.onStack, vertexTotal);
        GrowTo(index.facePoints, faceTotal * kMaxFacePoints);
        GrowTo(index.pointCounts, faceTotal);
        GrowTo(index.addedFace, index.addedFace.size() + newCorners);
        GrowTo(index.addedNext, index.addedNext.size() + newCorners);
        GrowTo(index.strayFaces, index.strayFaces.size() + static_cast<size_t>(faces));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool MeshIndexAddVertex(MeshIndex& index, int vertex)
{
    if (vertex < 0)
        return true;
    if (vertex != index.vertexCount || !ReserveMeshEdits(index, 1, 0)) {
        index.lost = true;
        return false;
    }
    index.addedHead.push_back(-1);
    index.addedTail.push_back(-1);
    index.neighbourStamp.push_back(0);
    index.onStack.push_back(0);
    ++index.vertexCount;
    return true;
}

// Appends `face` to the chain of faces added to vertex `v`.
static void ChainFace(MeshIndex& index, int v, int face)
{
    const int node = static_cast<int>(index.addedFace.size());
    index.addedFace.push_back(face);
    index.addedNext.push_back(-1);
    const size_t slot = static_cast<size_t>(v);
    if (index.addedTail[slot] >= 0)
        index.addedNext[static_cast<size_t>(index.addedTail[slot])] = node;
    else
        index.addedHead[slot] = node;
    index.addedTail[slot] = node;
}

bool MeshIndexAddFace(MeshIndex& index, int face, int pointCount, const int* points)
{
    if (face < 0)
        return true;
    if (face != index.faceCount || !ReserveMeshEdits(index, 0, 1)) {
        index.lost = true;
        return false;
    }
    // As every reader sees it: a face of more than four points is absent.
    const int n = pointCount < 0 || pointCount > kMaxFacePoints ? 0 : pointCount;
    for (int k = 0; k < kMaxFacePoints; ++k)
        index.facePoints.push_back(k < n ? points[k] : -1);
    index.pointCounts.push_back(static_cast<unsigned char>(n));
    ++index.faceCount;
    bool stray = false;
    for (int k = 0; k < n; ++k) {
        if (!IsIndexedVertex(index, points[k]))
            stray = true;
        else if (!RepeatsEarlierPoint(points, k))
            ChainFace(index, points[k], face);
    }
    // Faces are added with the next number, so the list stays ascending.
    if (stray)
        index.strayFaces.push_back(face);
    return true;
}

bool MeshIndexFollowsObject(const MeshIndex& index) { return !index.lost; }

// Takes `face` out of vertex v's list, keeping the order of the others. A
// face that is not there (it was entered before v had a list) is left alone.
static void UnlistFace(MeshIndex& index, int v, int face)
{
    const size_t slot = static_cast<size_t>(v);
    if (v < index.builtVertexCount) {
        int* first = index.incident.data() + index.incidentStart[slot];
        int* last = first + index.incidentCount[slot];
        int* at = std::lower_bound(first, last, face);
        if (at != last && *at == face) {
            std::copy(at + 1, last, at);
            --index.incidentCount[slot];
            return;
        }
    }
    int previous = -1;
    for (int node = index.addedHead[slot]; node >= 0;
         previous = node, node = index.addedNext[static_cast<size_t>(node)]) {
        if (index.addedFace[static_cast<size_t>(node)] != face)
            continue;
        const int next = index.addedNext[static_cast<size_t>(node)];
        if (previous >= 0)
            index.addedNext[static_cast<size_t>(previous)] = next;
        else
            index.addedHead[slot] = next;
        if (index.addedTail[slot] == node)
            index.addedTail[slot] = previous;
        return;
    }
}

bool MeshIndexDeleteFace(MeshIndex& index, int face)
{
    if (face < 0 || face >= index.faceCount || index.pointCounts[static_cast<size_t>(face)] == 0)
        return true;
    const int* points = PointsOf(index, face);
    const int n = index.pointCounts[static_cast<size_t>(face)];
    for (int k = 0; k < n; ++k)
        if (IsIndexedVertex(index, points[k]) && !RepeatsEarlierPoint(points, k))
            UnlistFace(index, points[k], face);
    std::vector<int>& stray = index.strayFaces;
    const auto at = std::lower_bound(stray.begin(), stray.end(), face);
    if (at != stray.end() && *at == face)
        stray.erase(at);
    index.pointCounts[static_cast<size_t>(face)] = 0;
    return true;
}

namespace {

// One ascending list of faces: a run of an array, then a chain of added
// faces.
struct FaceCursor {
    const int* next;
    const int* end;
    int node;   // -1 = chain done
};

// Up to three ascending lists walked together as one ascending list of
// distinct faces.
struct FaceMerge {
    FaceCursor cursors[3];
    int count;
};

}  // namespace

static int CurrentFace(const MeshIndex& index, const FaceCursor& cursor)
{
    if (cursor.next != cursor.end)
        return *cursor.next;
    if (cursor.node >= 0)
        return index.addedFace[static_cast<size_t>(cursor.node)];
    return kNoFace;
}

static void Advance(const MeshIndex& index, FaceCursor& cursor)
{
    if (cursor.next != cursor.end)
        ++cursor.next;
    else if (cursor.node >= 0)
        cursor.node = index.addedNext[static_cast<size_t>(cursor.node)];
}

// The faces listed for vertex v (which must have a list).
static FaceCursor FacesOfVertex(const MeshIndex& index, int v)
{
    assert(IsIndexedVertex(index, v));
    const size_t slot = static_cast<size_t>(v);
    FaceCursor cursor = {nullptr, nullptr, index.addedHead[slot]};
    if (v < index.builtVertexCount) {
        cursor.next = index.incident.data() + index.incidentStart[slot];
        cursor.end = cursor.next + index.incidentCount[slot];
    }
    return cursor;
}

// Every face that holds `a` or `b` (among others, perhaps), each once and in
// ascending order.
static FaceMerge FacesHoldingEither(const MeshIndex& index, int a, int b)
{
    FaceMerge merge = {};
    if (IsIndexedVertex(index, a))
        merge.cursors[merge.count++] = FacesOfVertex(index, a);
    if (b != a && IsIndexedVertex(index, b))
        merge.cursors[merge.count++] = FacesOfVertex(index, b);
    if (NeedsStrayFaces(index, a) || NeedsStrayFaces(index, b)) {
        const int* first = index.strayFaces.data();
        merge.cursors[merge.count++] = {first, first + index.strayFaces.size(), -1};
    }
    return merge;
}

// The lowest face any cursor stands on, moving every cursor past it, or
// kNoFace when all are done.
static int NextFace(const MeshIndex& index, FaceMerge& merge)
{
    int face = kNoFace;
    for (int i = 0; i < merge.count; ++i)
        face = std::min(face, CurrentFace(index, merge.cursors[i]));
    for (int i = 0; i < merge.count; ++i)
        if (CurrentFace(index, merge.cursors[i]) == face)
            Advance(index, merge.cursors[i]);
    return face;
}

int AppendUnique(int* list, int count, int key)
{
    for (int i = 0; i < count; ++i)
        if (list[i] == key)
            return count;
    list[count] = key;
    return count + 1;
}

int FindFacesWithEdge(const MeshIndex& index, int a, int b, int* list)
{
    // A face with two hits holds a or b, so it is in one of their lists.
    int found = 0;
    FaceMerge merge = FacesHoldingEither(index, a, b);
    for (int face = NextFace(index, merge); face != kNoFace; face = NextFace(index, merge)) {
        const int* points = PointsOf(index, face);
        const int n = index.pointCounts[static_cast<size_t>(face)];
        int hits = 0;
        for (int k = 0; k < n; ++k) {
            if (points[k] == a)
                ++hits;
            if (points[k] == b)
                ++hits;
        }
        if (hits != 2)
            continue;
        list[found++] = face;
        if (found >= kMaxEdgeFaces)
            break;
    }
    return found;
}

// Appends `w` to `neighbours` unless this call listed it already: a stamp
// per vertex, a search for points that name no vertex.
static void AddNeighbour(MeshIndex& index, std::vector<int>& neighbours, int w)
{
    if (IsIndexedVertex(index, w)) {
        unsigned int& seen = index.neighbourStamp[static_cast<size_t>(w)];
        if (seen == index.stamp)
            return;
        seen = index.stamp;
    } else if (std::find(neighbours.begin(), neighbours.end(), w) != neighbours.end()) {
        return;
    }
    neighbours.push_back(w);
}

int CollectNeighbourVertices(MeshIndex& index, int v, std::vector<int>& neighbours)
{
    neighbours.clear();
    // A fresh stamp forgets every earlier call's marks at once.
    if (++index.stamp == 0) {
        std::fill(index.neighbourStamp.begin(), index.neighbourStamp.end(), 0u);
        index.stamp = 1;
    }
    FaceMerge merge = FacesHoldingEither(index, v, v);
    for (int face = NextFace(index, merge); face != kNoFace; face = NextFace(index, merge)) {
        const int* points = PointsOf(index, face);
        const int n = index.pointCounts[static_cast<size_t>(face)];
        for (int k = 0; k < n; ++k) {
            if (points[k] != v)
                continue;
            AddNeighbour(index, neighbours, points[(k + n - 1) % n]);
            AddNeighbour(index, neighbours, points[(k + 1) % n]);
        }
    }
    return static_cast<int>(neighbours.size());
}

int FloodFillConnected(MeshIndex& index, int start, int label, int* labels, int* stack)
{
    // Label 0 would leave every taken vertex unlabelled and so able to be
    // pushed again without end: such a fill does nothing.
    if (label == 0)
        return 0;
    const int vertexCount = index.vertexCount;
    if (start < 0 || start >= vertexCount || labels[start] != 0)
        return 0;
    // onStack[w] is 1 exactly while w is among stack[0..stackCount-1]: the
    // test a search of the stack would make, in constant time. Every flag is
    // 0 again once the stack is empty.
    unsigned char* onStack = index.onStack.data();
    int stackCount = 0;
    stack[stackCount++] = start;
    onStack[start] = 1;
    std::vector<int> neighbours;
    while (stackCount > 0) {
        const int v = stack[--stackCount];
        assert(v >= 0 && v < vertexCount && labels[v] == 0 && onStack[v] == 1);
        onStack[v] = 0;
        labels[v] = label;
        CollectNeighbourVertices(index, v, neighbours);
        for (int w : neighbours) {
            // A face may name an index outside the object; it leads nowhere.
            if (w < 0 || w >= vertexCount || labels[w] != 0 || onStack[w])
                continue;
            // Only distinct unlabelled vertices are ever on the stack, so it
            // never holds more than vertexCount entries.
            assert(stackCount < vertexCount);
            onStack[w] = 1;
            stack[stackCount++] = w;
        }
    }
    return 1;
}

int FindPolygonsWithVertex(const MeshIndex& index, int vertex, int* faces, int max)
{
    int found = 0;
    if (max <= 0)
        return 0;
    FaceMerge merge = FacesHoldingEither(index, vertex, vertex);
    for (int face = NextFace(index, merge); face != kNoFace; face = NextFace(index, merge)) {
        const int* points = PointsOf(index, face);
        const int n = index.pointCounts[static_cast<size_t>(face)];
        if (n <= 2)
            continue;
        for (int k = 0; k < n; ++k) {
            if (points[k] != vertex)
                continue;
            faces[found++] = face;
            if (found >= max)
                return found;
        }
    }
    return found;
}

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
