// The index's storage: the stages of a build and the edits it records.
#include "geom/mesh_index_fields.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace kivera {

void MeshIndexDeleter::operator()(MeshIndex* index) const { delete index; }

MeshIndexPtr NewMeshIndex() { return MeshIndexPtr(new (std::nothrow) MeshIndex()); }

static unsigned char& FlagsOf(MeshIndex& index, int v)
{
    assert(IsIndexedVertex(index, v));
    return index.vertexFlags[static_cast<size_t>(v)];
}

static void MarkRepeated(MeshIndex& index, int v)
{
    FlagsOf(index, v) |= kVertexRepeated;
    index.anyRepeated = true;
}

void ClearMeshIndex(MeshIndex& index)
{
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

bool TakeMeshIndexFaces(MeshIndex& index, int faceCount, std::vector<MeshFace>& faces)
{
    ClearMeshIndex(index);
    faces.swap(index.faces);
    if (faceCount < 0 || faceCount > INT_MAX / kMaxFacePoints)
        return false;
    try {
        // Room for a quarter more faces, so that a command's first edits do
        // not copy the array; memory never written costs nothing.
        faces.reserve(Headroom(static_cast<size_t>(faceCount)));
    } catch (const std::exception&) {  // bad_alloc, or length_error past max_size()
        return false;
    }
    return true;
}

void CountMeshIndexFaces(MeshIndex& index, std::vector<MeshFace>&& faces, int vertexCount,
                         const MeshIndexOptions& options)
{
    const unsigned char* listed = options.listed;
    const int listedCount = options.listedCount;
    const auto isListed = [listed, listedCount](int p) {
        return listed == nullptr || (p < listedCount && listed[p] != 0);
    };
    const size_t vertices = static_cast<size_t>(vertexCount);
    index.builtVertexCount = vertexCount;
    index.vertexCount = vertexCount;
    index.faces = std::move(faces);
    index.faces.reserve(Headroom(index.faces.size()));
    index.firstFace.assign(vertices + 1, 0);
    // Room for a quarter more vertices, as for the faces.
    index.vertexFlags.reserve(Headroom(vertices));
    index.vertexFlags.assign(vertices, 0);
    const int faceCount = static_cast<int>(index.faces.size());
    for (int f = 0; f < faceCount; ++f) {
        MeshFace& face = index.faces[static_cast<size_t>(f)];
        if (face.count < 0 || face.count > kMaxFacePoints)
            face.count = 0;
        bool stray = false;
        for (int k = 0; k < face.count; ++k) {
            const int p = face.points[k];
            if (!IsIndexedVertex(index, p))
                stray = true;
            else if (RepeatsEarlierPoint(face.points, k))
                MarkRepeated(index, p);
            else if (isListed(p))
                ++index.firstFace[static_cast<size_t>(p) + 1];
        }
        // Slots past the count hold -1 as given; written only when not, so
        // that this pass dirties no memory a reader filled as it should.
        for (int k = face.count; k < kMaxFacePoints; ++k)
            if (face.points[k] != -1)
                face.points[k] = -1;
        if (stray)
            index.strayFaces.push_back(f);
    }
    index.listedOnly = listed;
    index.listedCount = listedCount;
}

void OpenMeshIndexRuns(MeshIndex& index)
{
    const size_t vertices = static_cast<size_t>(index.builtVertexCount);
    for (size_t v = 0; v < vertices; ++v)
        index.firstFace[v + 1] += index.firstFace[v];
    // Every entry is written by the placing, so none is cleared first.
    const size_t total = static_cast<size_t>(index.firstFace[vertices]);
    MakeIncidentRoom(index, total);
    index.incidentSize = total;
}

void PlaceMeshIndexFaces(MeshIndex& index)
{
    const unsigned char* listed = index.listedOnly;
    const int listedCount = index.listedCount;
    if (listed != nullptr && listedCount <= 0)
        return;   // no vertex has a run
    const auto isListed = [listed, listedCount](int p) {
        return listed == nullptr || (p < listedCount && listed[p] != 0);
    };
    int* incident = index.incident.get();
    for (int f = static_cast<int>(index.faces.size()) - 1; f >= 0; --f) {
        const MeshFace& face = FaceAt(index, f);
        for (int k = 0; k < face.count; ++k) {
            const int p = face.points[k];
            if (IsIndexedVertex(index, p) && isListed(p) && !RepeatsEarlierPoint(face.points, k))
                incident[--index.firstFace[static_cast<size_t>(p) + 1]] = f;
        }
    }
}

void CloseMeshIndexRuns(MeshIndex& index)
{
    const size_t vertices = static_cast<size_t>(index.builtVertexCount);
    std::copy(index.firstFace.begin() + 1, index.firstFace.end(), index.firstFace.begin());
    index.firstFace[vertices] = static_cast<int>(index.incidentSize);
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
    } catch (const std::exception&) {  // bad_alloc, or length_error past max_size()
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
    } catch (const std::exception&) {  // bad_alloc, or length_error past max_size()
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
    MeshFace entry;
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
    MeshFace& entry = index.faces[static_cast<size_t>(face)];
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
    const MeshFace& entry = FaceAt(index, face);
    for (int k = 0; k < entry.count; ++k)
        points[k] = entry.points[k];
    return entry.count;
}

int IndexedVertexCount(const MeshIndex& index) { return index.vertexCount; }

int IndexedFaceCount(const MeshIndex& index) { return static_cast<int>(index.faces.size()); }

int IndexedFacePointCount(const MeshIndex& index, int face)
{
    if (face < 0 || face >= static_cast<int>(index.faces.size()))
        return 0;
    return FaceAt(index, face).count;
}

}  // namespace kivera
