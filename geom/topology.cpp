#include "geom/topology.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <new>

// Marks "no more faces": above every face index. Deletions leave it at the
// end of a vertex's run of build faces.
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

static const MeshIndexFace& FaceAt(const MeshIndex& index, int face)
{
    return index.faces[static_cast<size_t>(face)];
}

static unsigned char& FlagsOf(MeshIndex& index, int v)
{
    assert(IsIndexedVertex(index, v));
    return index.vertexFlags[static_cast<size_t>(v)];
}

static bool IsRepeated(const MeshIndex& index, int v)
{
    return index.anyRepeated && (index.vertexFlags[static_cast<size_t>(v)] & kVertexRepeated);
}

static void MarkRepeated(MeshIndex& index, int v)
{
    FlagsOf(index, v) |= kVertexRepeated;
    index.anyRepeated = true;
}

// Empties the index but keeps its memory for the next build.
static void ClearMeshIndex(MeshIndex& index)
{
    index.object = nullptr;
    index.builtVertexCount = 0;
    index.vertexCount = 0;
    index.faces.clear();
    index.firstFace.clear();
    index.incidentSize = 0;
    // Freed, not kept: the next object's first edit needs zeroed memory.
    index.chainEnds.reset();
    index.chainCount = 0;
    index.chainCapacity = 0;
    index.addedNodes.clear();
    index.strayFaces.clear();
    index.neighbourStamp.clear();
    index.vertexFlags.clear();
    index.placedFaces.clear();
    index.stamp = 0;
    index.anyRepeated = false;
    index.lost = false;
    index.listedOnly = nullptr;
    index.listedCount = 0;
}

// A count with a quarter more room.
static size_t Headroom(size_t count) { return count + count / 4 + 16; }

// Room for `count` entries in the face runs, keeping what is there when it
// suffices. Never null, so that an empty run still has an address. May
// throw std::bad_alloc.
static void MakeIncidentRoom(MeshIndex& index, size_t count)
{
    if (index.incident && index.incidentCapacity >= count)
        return;
    index.incident.reset();
    index.incidentCapacity = 0;
    index.incidentSize = 0;
    const size_t room = std::max<size_t>(count, 1);
    index.incident.reset(new int[room]);
    index.incidentCapacity = room;
}

// Sets every side of face `face` that joins a and b to `value`.
static void SetSidesJoining(const MeshIndex& index, int* sides, int face, int a, int b, int value)
{
    const MeshIndexFace& entry = FaceAt(index, face);
    const int n = entry.count;
    for (int j = 0; j < n; ++j) {
        const int p = entry.points[j];
        const int q = entry.points[j + 1 == n ? 0 : j + 1];
        if ((p == a && q == b) || (p == b && q == a))
            sides[static_cast<size_t>(face) * kMaxFacePoints + static_cast<size_t>(j)] = value;
    }
}

// Calls found(h) for each face h in both ascending runs, in order, until
// it returns false.
template <typename Found>
static void ForEachInBoth(const int* a, const int* aEnd, const int* b, const int* bEnd, Found found)
{
    while (a != aEnd && b != bEnd) {
        if (*a < *b) {
            ++a;
        } else if (*b < *a) {
            ++b;
        } else {
            if (!found(*a))
                return;
            ++a;
            ++b;
        }
    }
}

// For a pair of points (a, b) of face f, while the faces are placed from the
// last to the first: the faces above f that hold both are those in both
// runs, from the cursors on. Makes f a holder of the pair for them: with
// one such face h, h had the pair to itself until now (else f would see the
// others too) and its sides joining a and b now list f; with more, those
// sides list three faces or more and are asked for. Returns what f's own
// side joining a and b lists besides f: kNoSideNeighbour, h or kAskForSide.
static int PairWithFacesAbove(const MeshIndex& index, int* sides, int f, int a, int b)
{
    const int* incident = index.incident.get();
    const int* cursor = index.firstFace.data() + 1;
    const unsigned char* placed = index.placedFaces.data();
    if (placed[a] == 0 || placed[b] == 0)
        return kNoSideNeighbour;   // nothing above f holds one of them
    const int* aRun = incident + cursor[a];
    const int* bRun = incident + cursor[b];
    int above = 0;
    int first = kNoSideNeighbour;
    ForEachInBoth(aRun, aRun + placed[a], bRun, bRun + placed[b], [&](int h) {
        if (above++ == 0)
            first = h;
        return true;
    });
    if (above == 0)
        return kNoSideNeighbour;
    if (above == 1) {
        SetSidesJoining(index, sides, first, a, b, f);
        return first;
    }
    ForEachInBoth(aRun, aRun + placed[a], bRun, bRun + placed[b], [&](int h) {
        SetSidesJoining(index, sides, h, a, b, kAskForSide);
        return true;
    });
    return kAskForSide;
}

// The placing pass of a build whose vertices are all plain, filling the
// side table as FindSideNeighbours would: faces are placed from the last to
// the first, so when face f comes, each vertex's run holds, from its cursor
// on, exactly its faces above f (placedFaces of them), and every pair of
// f's points is settled with those faces (PairWithFacesAbove): its sides,
// and for a quad its diagonals, which make f a holder of the pair too.
// Faces below f that hold a pair come later and mend f's entry the same
// way. A vertex with more faces than a byte counts has all its sides asked
// for, by every face.
static void PlaceFacesWithSides(MeshIndex& index, int faceCount, int* sides)
{
    int* incident = index.incident.get();
    int* cursor = index.firstFace.data() + 1;
    unsigned char* placed = index.placedFaces.data();
    const unsigned char* flags = index.vertexFlags.data();
    const auto crowded = [flags](int a, int b) { return ((flags[a] | flags[b]) & kVertexCrowded) != 0; };
    for (int f = faceCount - 1; f >= 0; --f) {
        const MeshIndexFace& face = FaceAt(index, f);
        const int n = face.count;
        const int* p = face.points;
        int* across = sides + static_cast<size_t>(f) * kMaxFacePoints;
        for (int k = 0; k < n; ++k) {
            const int a = p[k];
            const int b = p[k + 1 == n ? 0 : k + 1];
            assert(IsIndexedVertex(index, a) && IsIndexedVertex(index, b));
            // A face of one point joins it to itself: asked, as by the lookups.
            across[k] = (a == b || crowded(a, b)) ? kAskForSide
                                                  : PairWithFacesAbove(index, sides, f, a, b);
        }
        for (int k = n; k < kMaxFacePoints; ++k)
            across[k] = kAskForSide;
        if (n == 4)
            for (int k = 0; k < 2; ++k)
                if (!crowded(p[k], p[k + 2]))
                    PairWithFacesAbove(index, sides, f, p[k], p[k + 2]);
        for (int k = 0; k < n; ++k) {
            incident[--cursor[p[k]]] = f;
            ++placed[p[k]];
        }
    }
}

// The passes of a build: read the faces once through the host, counting
// each vertex's faces into firstFace[v + 1]; turn the counts into the ends
// of the runs; then place the faces from the last to the first, each at the
// end of its vertices' runs, which leaves every run ascending and
// firstFace[v + 1] at the start of v's run. May throw std::bad_alloc.
//
// With `listed`, only vertices v below listedCount with listed[v] set get
// their faces: the hook may still be filling `listed` while the faces are
// read, so every vertex's faces are counted, and the counts of those left
// unlisted are dropped once the reading is done.
static void FillMeshIndex(MeshIndex& index, ObjectHandle object, int vertexCount, int faceCount,
                          MeshIndexFaceHook hook, void* context, const unsigned char* listed,
                          int listedCount, int* sides)
{
    const auto isListed = [listed, listedCount](int p) {
        return listed == nullptr || (p < listedCount && listed[p] != 0);
    };
    const size_t vertices = static_cast<size_t>(vertexCount);
    index.object = object;
    index.builtVertexCount = vertexCount;
    index.vertexCount = vertexCount;
    index.firstFace.assign(vertices + 1, 0);
    // Room for a quarter more vertices and faces, so that a command's first
    // edits do not copy these arrays; memory never written costs nothing.
    index.vertexFlags.reserve(Headroom(vertices));
    index.vertexFlags.assign(vertices, 0);
    index.faces.reserve(Headroom(static_cast<size_t>(faceCount)));
    for (int f = 0; f < faceCount; ++f) {
        MeshIndexFace face;
        face.count = ReadFacePoints(object, f, face.points);
        bool stray = false;
        for (int k = 0; k < face.count; ++k) {
            const int p = face.points[k];
            if (!IsIndexedVertex(index, p))
                stray = true;
            else if (RepeatsEarlierPoint(face.points, k))
                MarkRepeated(index, p);
            else
                ++index.firstFace[static_cast<size_t>(p) + 1];
        }
        for (int k = face.count; k < kMaxFacePoints; ++k)
            face.points[k] = -1;
        if (hook)
            hook(context, f, face.points, face.count);
        index.faces.push_back(face);
        if (stray)
            index.strayFaces.push_back(f);
    }
    // Every vertex's faces were counted as they were read; those of the
    // vertices left unlisted get no room.
    const bool listsNone = listed != nullptr && listedCount <= 0;
    if (listed != nullptr)
        for (size_t v = 0; v < vertices; ++v)
            if (!isListed(static_cast<int>(v)))
                index.firstFace[v + 1] = 0;
    // Sides are worked out while the faces are placed when every vertex
    // is plain; else from the finished index.
    const bool sidesWhilePlacing =
        sides != nullptr && listed == nullptr && index.strayFaces.empty() && !index.anyRepeated;
    if (sidesWhilePlacing) {
        for (size_t v = 0; v < vertices; ++v)
            if (index.firstFace[v + 1] > kMostPlacedFaces)
                index.vertexFlags[v] |= kVertexCrowded;
        index.placedFaces.assign(vertices, 0);
    }
    for (size_t v = 0; v < vertices; ++v)
        index.firstFace[v + 1] += index.firstFace[v];
    // Every entry is written below, so none is cleared first.
    const size_t total = static_cast<size_t>(index.firstFace[vertices]);
    MakeIncidentRoom(index, total);
    index.incidentSize = total;
    int* incident = index.incident.get();
    if (sidesWhilePlacing) {
        PlaceFacesWithSides(index, faceCount, sides);
    } else if (!listsNone) {
        for (int f = faceCount - 1; f >= 0; --f) {
            const MeshIndexFace& face = FaceAt(index, f);
            for (int k = 0; k < face.count; ++k) {
                const int p = face.points[k];
                if (IsIndexedVertex(index, p) && isListed(p) &&
                    !RepeatsEarlierPoint(face.points, k))
                    incident[--index.firstFace[static_cast<size_t>(p) + 1]] = f;
            }
        }
    }
    // firstFace[v + 1] now starts v's run: move every start down one.
    std::copy(index.firstFace.begin() + 1, index.firstFace.end(), index.firstFace.begin());
    index.firstFace[vertices] = static_cast<int>(total);
    index.listedOnly = listed;
    index.listedCount = listedCount;
    if (sides != nullptr && !sidesWhilePlacing)
        FindSideNeighbours(index, sides, faceCount);
}

bool BuildMeshIndex(MeshIndex& index, ObjectHandle object)
{
    return BuildMeshIndex(index, object, nullptr, nullptr);
}

bool BuildMeshIndex(MeshIndex& index, ObjectHandle object, MeshIndexFaceHook hook, void* context)
{
    return BuildMeshIndex(index, object, hook, context, nullptr, 0);
}

// BuildMeshIndex with every option: a hook, a listed subset, a side table.
static bool BuildMeshIndexWith(MeshIndex& index, ObjectHandle object, MeshIndexFaceHook hook,
                               void* context, const unsigned char* listed, int listedCount,
                               int* sides)
{
    assert(object != nullptr);
    ClearMeshIndex(index);
    const int vertexCount = std::max(ObjGetVertexCount(object), 0);
    const int faceCount = std::max(ObjGetFaceCount(object), 0);
    // The run offsets are ints: every corner of every face must fit one.
    if (faceCount > INT_MAX / kMaxFacePoints || vertexCount == INT_MAX)
        return false;
    try {
        FillMeshIndex(index, object, vertexCount, faceCount, hook, context, listed, listedCount,
                      sides);
    } catch (const std::bad_alloc&) {
        ClearMeshIndex(index);
        return false;
    }
    return true;
}

bool BuildMeshIndex(MeshIndex& index, ObjectHandle object, MeshIndexFaceHook hook, void* context,
                    const unsigned char* listed, int listedCount)
{
    return BuildMeshIndexWith(index, object, hook, context, listed, listedCount, nullptr);
}

bool BuildMeshIndexWithSides(MeshIndex& index, ObjectHandle object, int* sides)
{
    return BuildMeshIndexWith(index, object, nullptr, nullptr, nullptr, 0, sides);
}

bool ReserveMeshIndex(MeshIndex& index, int vertexCount, int faceCount)
{
    if (vertexCount < 0 || faceCount < 0 || faceCount > INT_MAX / kMaxFacePoints ||
        vertexCount == INT_MAX)
        return false;
    const size_t vertices = static_cast<size_t>(vertexCount);
    const size_t faces = static_cast<size_t>(faceCount);
    try {
        index.faces.reserve(Headroom(faces));
        index.firstFace.reserve(vertices + 1);
        index.strayFaces.reserve(faces);
        index.vertexFlags.reserve(Headroom(vertices));
        index.placedFaces.reserve(vertices);
        MakeIncidentRoom(index, faces * kMaxFacePoints);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

// Room for `needed` entries, at least doubling, so that a run of single
// edits costs amortised constant time. May throw std::bad_alloc.
template <typename T>
static void GrowTo(std::vector<T>& list, size_t needed)
{
    if (list.capacity() < needed)
        list.reserve(std::max(needed, 2 * list.capacity()));
}

// Room for the chain ends of `needed` vertices, at least doubling. Entries
// beyond chainCount stay zero: empty chains. False when the memory cannot
// be had.
static bool GrowChains(MeshIndex& index, size_t needed)
{
    if (index.chainCapacity >= needed)
        return true;
    const size_t capacity = std::max(needed, 2 * index.chainCapacity);
    void* memory = std::calloc(capacity, sizeof(MeshIndexChainEnds));
    if (memory == nullptr)
        return false;
    MeshIndexChainEnds* ends = static_cast<MeshIndexChainEnds*>(memory);
    if (index.chainCount > 0)
        std::copy(index.chainEnds.get(), index.chainEnds.get() + index.chainCount, ends);
    index.chainEnds.reset(ends);
    index.chainCapacity = capacity;
    return true;
}

// Whether any vertex may have a chain: some edit has been recorded.
static bool HasChains(const MeshIndex& index) { return index.chainCount > 0; }

// The first node of v's chain, -1 for none.
static int ChainHead(const MeshIndex& index, int v)
{
    if (!HasChains(index))
        return -1;
    assert(static_cast<size_t>(v) < index.chainCount);
    return index.chainEnds[static_cast<size_t>(v)].head - 1;
}

bool ReserveMeshEdits(MeshIndex& index, int vertices, int faces)
{
    assert(vertices >= 0 && faces >= 0);
    const size_t vertexTotal = static_cast<size_t>(index.vertexCount) + static_cast<size_t>(vertices);
    const size_t faceTotal = index.faces.size() + static_cast<size_t>(faces);
    const size_t nodeTotal = index.addedNodes.size() + static_cast<size_t>(faces) * kMaxFacePoints;
    if (vertexTotal > static_cast<size_t>(INT_MAX) || faceTotal > static_cast<size_t>(INT_MAX) ||
        nodeTotal > static_cast<size_t>(INT_MAX))
        return false;
    // The chains start with the first edit, with room to grow.
    const bool firstEdit = index.chainCount < static_cast<size_t>(index.vertexCount);
    const size_t chainRoom = firstEdit ? Headroom(vertexTotal) : vertexTotal;
    try {
        if (!index.neighbourStamp.empty())
            GrowTo(index.neighbourStamp, vertexTotal);
        GrowTo(index.vertexFlags, vertexTotal);
        GrowTo(index.faces, faceTotal);
        GrowTo(index.addedNodes, nodeTotal);
        GrowTo(index.strayFaces, index.strayFaces.size() + static_cast<size_t>(faces));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!GrowChains(index, chainRoom))
        return false;
    if (firstEdit)
        index.chainCount = static_cast<size_t>(index.vertexCount);
    return true;
}

// True when `vertices` more vertices and `faces` more faces fit without
// allocating: what a command's ReserveMeshEdits has normally made sure of.
static bool HasRoomForEdits(const MeshIndex& index, size_t vertices, size_t faces)
{
    const size_t vertexTotal = static_cast<size_t>(index.vertexCount) + vertices;
    return index.chainCount == static_cast<size_t>(index.vertexCount) &&
           index.chainCapacity >= vertexTotal &&
           index.vertexFlags.capacity() >= vertexTotal &&
           (index.neighbourStamp.empty() || index.neighbourStamp.capacity() >= vertexTotal) &&
           index.faces.capacity() >= index.faces.size() + faces &&
           index.addedNodes.capacity() >= index.addedNodes.size() + faces * kMaxFacePoints &&
           index.strayFaces.capacity() >= index.strayFaces.size() + faces;
}

bool MeshIndexAddVertex(MeshIndex& index, int vertex)
{
    if (vertex < 0)
        return true;
    if (vertex != index.vertexCount ||
        (!HasRoomForEdits(index, 1, 0) && !ReserveMeshEdits(index, 1, 0))) {
        index.lost = true;
        return false;
    }
    if (!index.neighbourStamp.empty())
        index.neighbourStamp.push_back(0);
    index.vertexFlags.push_back(0);
    ++index.chainCount;   // its entry is still zero: no chain
    ++index.vertexCount;
    return true;
}

// Appends `face` to the chain of faces added to vertex `v`.
static void ChainFace(MeshIndex& index, int v, int face)
{
    const int node = static_cast<int>(index.addedNodes.size());
    index.addedNodes.push_back({face, -1});
    assert(static_cast<size_t>(v) < index.chainCount);
    MeshIndexChainEnds& ends = index.chainEnds[static_cast<size_t>(v)];
    if (ends.tail > 0)
        index.addedNodes[static_cast<size_t>(ends.tail - 1)].next = node;
    else
        ends.head = node + 1;
    ends.tail = node + 1;
}

bool MeshIndexAddFace(MeshIndex& index, int face, int pointCount, const int* points)
{
    if (face < 0)
        return true;
    if (face != static_cast<int>(index.faces.size()) ||
        (!HasRoomForEdits(index, 0, 1) && !ReserveMeshEdits(index, 0, 1))) {
        index.lost = true;
        return false;
    }
    // As every reader sees it: a face of more than four points is absent.
    MeshIndexFace entry;
    entry.count = pointCount < 0 || pointCount > kMaxFacePoints ? 0 : pointCount;
    for (int k = 0; k < kMaxFacePoints; ++k)
        entry.points[k] = k < entry.count ? points[k] : -1;
    index.faces.push_back(entry);
    bool stray = false;
    for (int k = 0; k < entry.count; ++k) {
        const int p = entry.points[k];
        if (!IsIndexedVertex(index, p))
            stray = true;
        else if (RepeatsEarlierPoint(entry.points, k))
            MarkRepeated(index, p);
        else
            ChainFace(index, p, face);
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
    if (v < index.builtVertexCount) {
        int* first = index.incident.get() + index.firstFace[static_cast<size_t>(v)];
        int* last = index.incident.get() + index.firstFace[static_cast<size_t>(v) + 1];
        int* at = std::lower_bound(first, last, face);
        if (at != last && *at == face) {
            std::copy(at + 1, last, at);
            last[-1] = kNoFace;
            return;
        }
    }
    if (!HasChains(index))
        return;
    MeshIndexChainEnds& ends = index.chainEnds[static_cast<size_t>(v)];
    int previous = -1;
    for (int node = ends.head - 1; node >= 0;
         previous = node, node = index.addedNodes[static_cast<size_t>(node)].next) {
        if (index.addedNodes[static_cast<size_t>(node)].face != face)
            continue;
        const int next = index.addedNodes[static_cast<size_t>(node)].next;
        if (previous >= 0)
            index.addedNodes[static_cast<size_t>(previous)].next = next;
        else
            ends.head = next + 1;
        if (ends.tail - 1 == node)
            ends.tail = previous + 1;
        return;
    }
}

bool MeshIndexDeleteFace(MeshIndex& index, int face)
{
    if (face < 0 || face >= static_cast<int>(index.faces.size()))
        return true;
    MeshIndexFace& entry = index.faces[static_cast<size_t>(face)];
    for (int k = 0; k < entry.count; ++k)
        if (IsIndexedVertex(index, entry.points[k]) && !RepeatsEarlierPoint(entry.points, k))
            UnlistFace(index, entry.points[k], face);
    std::vector<int>& stray = index.strayFaces;
    const auto at = std::lower_bound(stray.begin(), stray.end(), face);
    if (at != stray.end() && *at == face)
        stray.erase(at);
    entry.count = 0;
    return true;
}

int IndexedFacePoints(const MeshIndex& index, int face, int* points)
{
    if (face < 0 || face >= static_cast<int>(index.faces.size()))
        return 0;
    const MeshIndexFace& entry = FaceAt(index, face);
    for (int k = 0; k < entry.count; ++k)
        points[k] = entry.points[k];
    return entry.count;
}

int IndexedFacePointCount(const MeshIndex& index, int face)
{
    if (face < 0 || face >= static_cast<int>(index.faces.size()))
        return 0;
    return FaceAt(index, face).count;
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
    if (cursor.next != cursor.end && *cursor.next != kNoFace)
        return *cursor.next;
    if (cursor.node >= 0)
        return index.addedNodes[static_cast<size_t>(cursor.node)].face;
    return kNoFace;
}

static void Advance(const MeshIndex& index, FaceCursor& cursor)
{
    if (cursor.next != cursor.end && *cursor.next != kNoFace)
        ++cursor.next;
    else if (cursor.node >= 0)
        cursor.node = index.addedNodes[static_cast<size_t>(cursor.node)].next;
}

// The faces listed for vertex v (which must have a list).
// Whether the build listed v's faces (every vertex, unless built with a
// list of the vertices to be asked about).
[[maybe_unused]] static bool HasListedFaces(const MeshIndex& index, int v)
{
    return index.listedOnly == nullptr || v >= index.builtVertexCount ||
           (v < index.listedCount && index.listedOnly[v] != 0);
}

static FaceCursor FacesOfVertex(const MeshIndex& index, int v)
{
    assert(IsIndexedVertex(index, v));
    assert(HasListedFaces(index, v));
    const size_t slot = static_cast<size_t>(v);
    FaceCursor cursor = {nullptr, nullptr, ChainHead(index, v)};
    if (v < index.builtVertexCount) {
        cursor.next = index.incident.get() + index.firstFace[slot];
        cursor.end = index.incident.get() + index.firstFace[slot + 1];
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
    if (merge.count == 1) {
        const int face = CurrentFace(index, merge.cursors[0]);
        Advance(index, merge.cursors[0]);
        return face;
    }
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

// True when the faces with two hits for (a, b) are exactly those that list
// both: two distinct vertices with lists of their own that no face names
// twice. A face holding each once scores 2; one holding only one of them
// scores 1.
static bool HitsAreSharedFaces(const MeshIndex& index, int a, int b)
{
    return a != b && IsIndexedVertex(index, a) && IsIndexedVertex(index, b) &&
           !NeedsStrayFaces(index, a) && !NeedsStrayFaces(index, b) && !IsRepeated(index, a) &&
           !IsRepeated(index, b);
}

// The faces in both vertices' lists, ascending, at most kMaxEdgeFaces: the
// lists alone answer, no face is read.
static int SharedFaces(const MeshIndex& index, int a, int b, int* list)
{
    int found = 0;
    FaceCursor first = FacesOfVertex(index, a);
    FaceCursor second = FacesOfVertex(index, b);
    for (;;) {
        const int faceA = CurrentFace(index, first);
        const int faceB = CurrentFace(index, second);
        if (faceA == kNoFace || faceB == kNoFace)
            return found;
        if (faceA < faceB) {
            Advance(index, first);
        } else if (faceB < faceA) {
            Advance(index, second);
        } else {
            list[found++] = faceA;
            if (found >= kMaxEdgeFaces)
                return found;
            Advance(index, first);
            Advance(index, second);
        }
    }
}

int FindFacesWithEdge(const MeshIndex& index, int a, int b, int* list)
{
    if (HitsAreSharedFaces(index, a, b))
        return SharedFaces(index, a, b, list);
    // A face with two hits holds a or b, so it is in one of their lists.
    int found = 0;
    FaceMerge merge = FacesHoldingEither(index, a, b);
    for (int face = NextFace(index, merge); face != kNoFace; face = NextFace(index, merge)) {
        const MeshIndexFace& entry = FaceAt(index, face);
        int hits = 0;
        for (int k = 0; k < entry.count; ++k) {
            if (entry.points[k] == a)
                ++hits;
            if (entry.points[k] == b)
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

// The faces of `v` as one array run, when that is all of them: a vertex of
// the build with no added face, no stray face that could name it, and no
// face naming it twice. Else false.
static bool PlainRun(const MeshIndex& index, int v, const int*& first, const int*& last)
{
    assert(HasListedFaces(index, v));
    if (!IsIndexedVertex(index, v) || v >= index.builtVertexCount || NeedsStrayFaces(index, v) ||
        IsRepeated(index, v) ||
        ChainHead(index, v) >= 0)
        return false;
    const size_t slot = static_cast<size_t>(v);
    first = index.incident.get() + index.firstFace[slot];
    last = index.incident.get() + index.firstFace[slot + 1];
    // A deleted face leaves kNoFace at the end of the run.
    while (last != first && last[-1] == kNoFace)
        --last;
    return true;
}

// The faces in both ascending runs, at most kMaxEdgeFaces.
static int IntersectRuns(const int* a, const int* aEnd, const int* b, const int* bEnd, int* list)
{
    int found = 0;
    ForEachInBoth(a, aEnd, b, bEnd, [&](int h) {
        list[found++] = h;
        return found < kMaxEdgeFaces;
    });
    return found;
}

void FindFacesAlongSides(const MeshIndex& index, const int* points, int n,
                         int (*lists)[kMaxEdgeFaces], int* counts)
{
    assert(n >= 0 && n <= kMaxFacePoints);
    const int* first[kMaxFacePoints];
    const int* last[kMaxFacePoints];
    bool plain[kMaxFacePoints];
    for (int k = 0; k < n; ++k)
        plain[k] = PlainRun(index, points[k], first[k], last[k]);
    for (int k = 0; k < n; ++k) {
        const int next = k + 1 == n ? 0 : k + 1;
        // Two distinct plain vertices: the faces with two hits are exactly
        // those in both runs (as HitsAreSharedFaces).
        if (plain[k] && plain[next] && points[k] != points[next])
            counts[k] = IntersectRuns(first[k], last[k], first[next], last[next], lists[k]);
        else
            counts[k] = FindFacesWithEdge(index, points[k], points[next], lists[k]);
    }
}

// Whether `entry` names `w`. Unused point slots hold -1, which no vertex is.
static bool FaceNames(const MeshIndexFace& entry, int w)
{
    static_assert(kMaxFacePoints == 4, "the test below names each slot");
    return (entry.points[0] == w) | (entry.points[1] == w) | (entry.points[2] == w) |
           (entry.points[3] == w);
}

// The table entry for side (a, b) of `face`: what FindFacesWithEdge(a, b)
// reports, as the face itself and at most one other.
static int SideNeighbour(const MeshIndex& index, int face, int a, int b)
{
    const int* first;
    const int* last;
    const int* unused;
    if (a == b || !PlainRun(index, b, unused, unused) || !PlainRun(index, a, first, last))
        return kAskForSide;
    // With a and b plain, the faces holding both are exactly those around
    // a that name b (each names each of them once): two hits.
    int holders = 0;
    int other = kNoSideNeighbour;
    for (; first != last; ++first) {
        const bool names = FaceNames(FaceAt(index, *first), b);
        holders += names;
        other = names && *first != face ? *first : other;
    }
    return holders == 1 ? kNoSideNeighbour : holders == 2 ? other : kAskForSide;
}

// Faces in ascending order, so that the runs and faces read are mostly
// those read just before. A side shared by two faces is worked out once,
// from the lower face, and entered for both.
void FindSideNeighbours(const MeshIndex& index, int* sides, int faceCount)
{
    assert(faceCount >= 0 && faceCount <= static_cast<int>(index.faces.size()));
    std::fill(sides, sides + static_cast<size_t>(faceCount) * kMaxFacePoints, kAskForSide);
    for (int face = 0; face < faceCount; ++face) {
        int* across = sides + static_cast<size_t>(face) * kMaxFacePoints;
        const MeshIndexFace& entry = FaceAt(index, face);
        const int n = entry.count;
        for (int k = 0; k < n; ++k) {
            if (across[k] != kAskForSide)
                continue;   // entered from the face across
            const int a = entry.points[k];
            const int b = entry.points[k + 1 == n ? 0 : k + 1];
            across[k] = SideNeighbour(index, face, a, b);
            if (across[k] > face && across[k] < faceCount)
                SetSidesJoining(index, sides, across[k], a, b, face);
        }
    }
}

// Neighbour lists up to this long are searched for a repeat; longer ones
// mark their vertices with the call's stamp, so that a vertex with many
// neighbours costs no more per neighbour than one with few.
constexpr size_t kSearchedNeighbours = 32;

// Makes the per-vertex stamps, all clear, when there are none yet. False
// when there is no memory for them: the list is then searched throughout.
static bool HaveNeighbourStamps(MeshIndex& index)
{
    const size_t vertices = static_cast<size_t>(index.vertexCount);
    if (index.neighbourStamp.size() == vertices && vertices > 0)
        return true;
    try {
        index.neighbourStamp.reserve(Headroom(vertices));
        index.neighbourStamp.assign(vertices, 0);
    } catch (const std::bad_alloc&) {
        index.neighbourStamp.clear();
        return false;
    }
    index.stamp = 0;
    return true;
}

// A stamp no vertex carries yet.
static unsigned int FreshStamp(MeshIndex& index)
{
    if (++index.stamp == 0) {
        std::fill(index.neighbourStamp.begin(), index.neighbourStamp.end(), 0u);
        index.stamp = 1;
    }
    return index.stamp;
}

// Appends `w` to `neighbours` unless it is there already. `stamp` is 0
// while the list is searched; once the list grows long it becomes the call's
// stamp and every listed vertex carries it (points that name no vertex are
// still searched for).
static void AddNeighbour(MeshIndex& index, std::vector<int>& neighbours, unsigned int& stamp,
                         int w)
{
    if (stamp != 0 && IsIndexedVertex(index, w)) {
        unsigned int& seen = index.neighbourStamp[static_cast<size_t>(w)];
        if (seen == stamp)
            return;
        seen = stamp;
    } else if (std::find(neighbours.begin(), neighbours.end(), w) != neighbours.end()) {
        return;
    }
    neighbours.push_back(w);
    if (stamp == 0 && neighbours.size() > kSearchedNeighbours && HaveNeighbourStamps(index)) {
        stamp = FreshStamp(index);
        for (int listed : neighbours)
            if (IsIndexedVertex(index, listed))
                index.neighbourStamp[static_cast<size_t>(listed)] = stamp;
    }
}

// Lists the sides' other ends at each position of `entry` that holds v.
static void AddNeighboursInFace(MeshIndex& index, const MeshIndexFace& entry, int v,
                                std::vector<int>& neighbours, unsigned int& stamp)
{
    const int n = entry.count;
    for (int k = 0; k < n; ++k) {
        if (entry.points[k] != v)
            continue;
        AddNeighbour(index, neighbours, stamp, entry.points[k == 0 ? n - 1 : k - 1]);
        AddNeighbour(index, neighbours, stamp, entry.points[k + 1 == n ? 0 : k + 1]);
    }
}

int CollectNeighbourVertices(MeshIndex& index, int v, std::vector<int>& neighbours)
{
    neighbours.clear();
    unsigned int stamp = 0;
    if (IsIndexedVertex(index, v) && !NeedsStrayFaces(index, v)) {
        // The common case: v's own list is all there is to walk.
        FaceCursor cursor = FacesOfVertex(index, v);
        for (int face = CurrentFace(index, cursor); face != kNoFace;
             Advance(index, cursor), face = CurrentFace(index, cursor))
            AddNeighboursInFace(index, FaceAt(index, face), v, neighbours, stamp);
        return static_cast<int>(neighbours.size());
    }
    FaceMerge merge = FacesHoldingEither(index, v, v);
    for (int face = NextFace(index, merge); face != kNoFace; face = NextFace(index, merge))
        AddNeighboursInFace(index, FaceAt(index, face), v, neighbours, stamp);
    return static_cast<int>(neighbours.size());
}

namespace {

// A flood in progress: the caller's labels and stack, and the stack's fill.
struct Flood {
    int* labels;
    int* stack;
    int stackCount;
};

}  // namespace

// What a vertex's label holds while it waits on the stack: not 0, so a
// single test tells "labelled or on the stack". Popping gives it its label,
// so the caller never sees it. (A caller's own label of this value counts
// as labelled, as any other label does.)
constexpr int kOnStackLabel = INT_MIN;

// Pushes `w` unless it is no vertex, labelled, or on the stack already.
static void PushUnlabelled(MeshIndex& index, Flood& flood, int w)
{
    // A face may name an index outside the object; it leads nowhere.
    if (!IsIndexedVertex(index, w) || flood.labels[w] != 0)
        return;
    // Only distinct unlabelled vertices are ever on the stack, so it never
    // holds more than vertexCount entries.
    assert(flood.stackCount < index.vertexCount);
    flood.labels[w] = kOnStackLabel;
    flood.stack[flood.stackCount++] = w;
}

// Pushes v's neighbours in their order of discovery. Pushing each side's
// other end as it is met, skipping those on the stack, pushes exactly the
// vertices of CollectNeighbourVertices in its order: a neighbour met again
// is on the stack by then, or labelled (v itself is labelled already).
static void PushNeighbours(MeshIndex& index, Flood& flood, int v)
{
    const auto pushSides = [&](int face) {
        const MeshIndexFace& entry = FaceAt(index, face);
        const int n = entry.count;
        for (int k = 0; k < n; ++k) {
            if (entry.points[k] != v)
                continue;
            PushUnlabelled(index, flood, entry.points[k == 0 ? n - 1 : k - 1]);
            PushUnlabelled(index, flood, entry.points[k + 1 == n ? 0 : k + 1]);
        }
    };
    if (!HasChains(index) && !NeedsStrayFaces(index, v) && v < index.builtVertexCount) {
        // An unedited index: v's faces are its run alone.
        const int* face = index.incident.get() + index.firstFace[static_cast<size_t>(v)];
        const int* last = index.incident.get() + index.firstFace[static_cast<size_t>(v) + 1];
        for (; face != last && *face != kNoFace; ++face)
            pushSides(*face);
        return;
    }
    if (!NeedsStrayFaces(index, v)) {
        FaceCursor cursor = FacesOfVertex(index, v);
        for (int face = CurrentFace(index, cursor); face != kNoFace;
             Advance(index, cursor), face = CurrentFace(index, cursor))
            pushSides(face);
        return;
    }
    FaceMerge merge = FacesHoldingEither(index, v, v);
    for (int face = NextFace(index, merge); face != kNoFace; face = NextFace(index, merge))
        pushSides(face);
}

int FloodFillConnected(MeshIndex& index, int start, int label, int* labels, int* stack)
{
    // Label 0 would leave every taken vertex unlabelled and so able to be
    // pushed again without end: such a fill does nothing.
    if (label == 0)
        return 0;
    if (!IsIndexedVertex(index, start) || labels[start] != 0)
        return 0;
    // A vertex holds kOnStackLabel exactly while it is among
    // stack[0..stackCount-1]: the test a search of the stack would make, in
    // constant time. Every vertex has its label once the stack is empty.
    Flood flood = {labels, stack, 0};
    PushUnlabelled(index, flood, start);
    while (flood.stackCount > 0) {
        const int v = stack[--flood.stackCount];
        assert(labels[v] == kOnStackLabel);
        labels[v] = label;
        PushNeighbours(index, flood, v);
    }
    return 1;
}

// The scratch of FloodFillFromSeeds: per vertex, the next vertex towards
// the root of its piece; a root names itself, or holds kSeededRoot once a
// seed of its piece has been met.
constexpr int kSeededRoot = -1;

static bool IsRoot(const int* parent, int v) { return parent[v] == v || parent[v] == kSeededRoot; }

static int FindRoot(int* parent, int v)
{
    // Path halving: every vertex passed now points two steps further up,
    // which keeps later searches short.
    while (!IsRoot(parent, v)) {
        const int up = parent[v];
        if (IsRoot(parent, up))
            return up;
        parent[v] = parent[up];
        v = parent[v];
    }
    return v;
}

// Joins the pieces of a and b. The lower root stays the root.
static void JoinPieces(int* parent, int a, int b)
{
    a = FindRoot(parent, a);
    b = FindRoot(parent, b);
    assert(parent[a] == a && parent[b] == b);   // no seed is marked while joining
    if (a < b)
        parent[b] = a;
    else if (b < a)
        parent[a] = b;
}

void FloodFillFromSeeds(MeshIndex& index, SeedTest isSeed, void* context, int label, int* labels,
                        int* scratch)
{
    const int vertexCount = index.vertexCount;
    int* parent = scratch;
    for (int v = 0; v < vertexCount; ++v)
        parent[v] = v;
    // A fill enters no labelled vertex and no point outside the object, so
    // only sides between two unlabelled vertices join pieces.
    const auto open = [&](int v) { return IsIndexedVertex(index, v) && labels[v] == 0; };
    for (const MeshIndexFace& face : index.faces) {
        const int n = face.count;
        for (int k = 0; k < n; ++k) {
            const int a = face.points[k];
            const int b = face.points[k + 1 == n ? 0 : k + 1];
            if (a != b && open(a) && open(b))
                JoinPieces(parent, a, b);
        }
    }
    // Every vertex is asked, as the fills would ask; a labelled seed starts
    // nothing, and a later seed of a piece already reached adds nothing.
    for (int v = 0; v < vertexCount; ++v)
        if (isSeed(context, v) && labels[v] == 0)
            parent[FindRoot(parent, v)] = kSeededRoot;
    if (label == 0)
        return;
    for (int v = 0; v < vertexCount; ++v)
        if (labels[v] == 0 && parent[FindRoot(parent, v)] == kSeededRoot)
            labels[v] = label;
}

int FindPolygonsWithVertex(const MeshIndex& index, int vertex, int* faces, int max)
{
    int found = 0;
    if (max <= 0)
        return 0;
    FaceMerge merge = FacesHoldingEither(index, vertex, vertex);
    for (int face = NextFace(index, merge); face != kNoFace; face = NextFace(index, merge)) {
        const MeshIndexFace& entry = FaceAt(index, face);
        if (entry.count <= 2)
            continue;
        for (int k = 0; k < entry.count; ++k) {
            if (entry.points[k] != vertex)
                continue;
            faces[found++] = face;
            if (found >= max)
                return found;
        }
    }
    return found;
}
