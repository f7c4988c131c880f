// The mesh index answered the plain way: every query scans all faces of
// the object through the host, and the index holds nothing but the object.
// A second plug-in module built with this file in place of the index and
// its reader (KIVERA_MESH_INDEX_SOURCES) runs the very same commands; the
// differential tests require both modules to leave identical documents.
#include <algorithm>
#include <cassert>

#include "hostaccess/mesh_reader.h"
#include "geom/flood_fill.h"
#include "geom/mesh_queries.h"
#include "geom/side_table.h"
#include "tests/reference/flood_fill_reference.h"

namespace kivera {

struct MeshIndex {
    ObjectHandle object = nullptr;
};

void MeshIndexDeleter::operator()(MeshIndex* index) const { delete index; }

MeshIndexPtr NewMeshIndex() { return MeshIndexPtr(new MeshIndex()); }

bool ReadMeshIndex(MeshIndex& index, ObjectHandle object, const MeshIndexOptions& options,
                   FaceVisitor visit)
{
    index.object = object;
    const int faceCount = std::max(ObjGetFaceCount(object), 0);
    for (int face = 0; face < faceCount; ++face) {
        MeshFace points = {{-1, -1, -1, -1}, 0};
        points.count = ReadFacePoints(object, face, points.points);
        visit(face, points);
    }
    if (options.sides != nullptr)
        FindSideNeighbours(index, options.sides, faceCount);
    return true;
}

bool ReserveMeshIndex(MeshIndex& /*index*/, int /*vertexCount*/, int /*faceCount*/) { return true; }

bool ReserveMeshEdits(MeshIndex& /*index*/, int /*vertices*/, int /*faces*/) { return true; }

// Edits need no record: the next query reads the host anew.
bool MeshIndexAddVertex(MeshIndex& /*index*/, int /*vertex*/) { return true; }

bool MeshIndexAddFace(MeshIndex& /*index*/, int /*face*/, int /*pointCount*/, const int* /*points*/)
{
    return true;
}

bool MeshIndexFollowsObject(const MeshIndex& /*index*/) { return true; }

bool MeshIndexDeleteFace(MeshIndex& /*index*/, int /*face*/) { return true; }

int IndexedFacePoints(const MeshIndex& index, int face, int* points)
{
    return ReadFacePoints(index.object, face, points);
}

int IndexedVertexCount(const MeshIndex& index) { return ObjGetVertexCount(index.object); }

int IndexedFaceCount(const MeshIndex& index) { return ObjGetFaceCount(index.object); }

int IndexedFacePointCount(const MeshIndex& index, int face)
{
    return UsableFacePointCount(index.object, face);
}

void FindSideNeighbours(const MeshIndex& /*index*/, int* sides, int faceCount)
{
    // Every side is asked for, as the plain walk asks.
    for (int k = 0; k < faceCount * kMaxFacePoints; ++k)
        sides[k] = kAskForSide;
}

int FindFacesWithEdge(const MeshIndex& index, int a, int b, int* list)
{
    int found = 0;
    const int faceCount = ObjGetFaceCount(index.object);
    for (int face = 0; face < faceCount; ++face) {
        int points[kMaxFacePoints];
        const int n = ReadFacePoints(index.object, face, points);
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

void FindFacesAlongSides(const MeshIndex& index, const int* points, int n,
                         int (*lists)[kMaxEdgeFaces], int* counts)
{
    for (int k = 0; k < n; ++k)
        counts[k] = FindFacesWithEdge(index, points[k], points[(k + 1) % n], lists[k]);
}

static void AppendUniqueTo(std::vector<int>& list, int key)
{
    for (int entry : list)
        if (entry == key)
            return;
    list.push_back(key);
}

int CollectNeighbourVertices(MeshIndex& index, int v, std::vector<int>& neighbours)
{
    neighbours.clear();
    const int faceCount = ObjGetFaceCount(index.object);
    for (int face = 0; face < faceCount; ++face) {
        // One slot behind the points repeats point 0.
        int points[kMaxFacePoints + 1];
        const int n = ReadFacePoints(index.object, face, points);
        if (n == 0)
            continue;
        points[n] = points[0];
        for (int k = 0; k < n; ++k) {
            if (points[k] != v)
                continue;
            AppendUniqueTo(neighbours, k == 0 ? points[n - 1] : points[k - 1]);
            AppendUniqueTo(neighbours, points[k + 1]);
        }
    }
    return static_cast<int>(neighbours.size());
}

void FloodFillFromSeeds(MeshIndex& index, SeedTest isSeed, int label, int* labels, int* scratch)
{
    const int vertexCount = ObjGetVertexCount(index.object);
    for (int v = 0; v < vertexCount; ++v)
        if (isSeed(v))
            FloodFillConnected(index, vertexCount, v, label, labels, scratch);
}

int FindPolygonsWithVertex(const MeshIndex& index, int vertex, int* faces, int max)
{
    int found = 0;
    if (max <= 0)
        return 0;
    const int faceCount = ObjGetFaceCount(index.object);
    for (int face = 0; face < faceCount; ++face) {
        const int n = UsableFacePointCount(index.object, face);
        if (n <= 2)
            continue;
        int points[kMaxFacePoints];
        ObjGetFacePointArray(index.object, face, points);
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

}  // namespace kivera
