// The fields of MeshIndex and the small helpers every part of the index
// reads them with. For geom/ alone: commands see the index through
// geom/mesh_index.h and the queries only.
#pragma once

#include <cassert>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <vector>

#include "geom/mesh_index.h"

namespace kivera {

// One link of a vertex's chain of added faces.
struct MeshIndexNode {
    int face;
    int next;   // -1 ends the chain
};

// The ends of one vertex's chain of added faces, each a node index plus one
// (0: none), so that zeroed memory is a table of empty chains.
struct MeshIndexChainEnds {
    int head;
    int tail;
};

// Releases memory from std::calloc.
struct MeshIndexFree {
    void operator()(void* memory) const { std::free(memory); }
};

// Bits of MeshIndex::vertexFlags.
constexpr unsigned char kVertexRepeated = 2;   // some face has named it twice
constexpr unsigned char kVertexCrowded = 4;    // more faces than placedFaces counts

// Most faces of one vertex a build with a side table counts in a byte.
constexpr int kMostPlacedFaces = 255;

// Marks "no more faces": above every face index. Deletions leave it at the
// end of a vertex's run of build faces.
constexpr int kNoFace = INT_MAX;

// The faces of vertex v are, in ascending face order:
// - the faces present at the build: the run incident[firstFace[v] ..
//   firstFace[v + 1] - 1], up to its first kNoFace (a deleted face leaves
//   one at the end of its run). Only vertices below builtVertexCount have
//   a run. incident holds incidentSize ints and has room for
//   incidentCapacity;
// - then the faces added since: the chain from chainEnds[v].head through
//   addedNodes. chainEnds covers chainCount vertices: none until the first
//   edit, then every vertex. It comes from std::calloc, zeroed by the
//   system as it is first touched, so vertices no edit reaches cost no
//   memory.
// A face is listed once however often it names the vertex. A face naming a
// point outside 0..vertexCount-1 when it was entered is also in strayFaces
// (ascending): such a point has no list of its own, and a later vertex may
// take its number.
struct MeshIndex {
    int builtVertexCount = 0;   // the object's vertices at the build
    int vertexCount = 0;        // those plus the vertices added since
    std::vector<MeshFace> faces;        // every face slot, added ones included
    std::vector<int> firstFace;         // builtVertexCount + 1 offsets
    std::unique_ptr<int[]> incident;
    size_t incidentSize = 0;
    size_t incidentCapacity = 0;
    std::unique_ptr<MeshIndexChainEnds[], MeshIndexFree> chainEnds;
    size_t chainCount = 0;
    size_t chainCapacity = 0;
    std::vector<MeshIndexNode> addedNodes;
    std::vector<int> strayFaces;
    // Per vertex: the kVertex* bits, and the stamp of the
    // CollectNeighbourVertices call that last listed it (made on first need:
    // empty until a vertex has many neighbours).
    std::vector<unsigned char> vertexFlags;
    std::vector<unsigned int> neighbourStamp;
    // Per vertex, while a build fills a side table: its faces placed so far.
    std::vector<unsigned char> placedFaces;
    unsigned int stamp = 0;     // the last stamp used
    bool anyRepeated = false;   // some vertex carries kVertexRepeated
    bool lost = false;          // an edit could not be recorded
    // Set when only some vertices' faces were listed (MeshIndexOptions).
    const unsigned char* listedOnly = nullptr;
    int listedCount = 0;
};

// A count with a quarter more room.
inline size_t Headroom(size_t count) { return count + count / 4 + 16; }

// True when `v` has a list of its own in the index.
inline bool IsIndexedVertex(const MeshIndex& index, int v)
{
    return v >= 0 && v < index.vertexCount;
}

// True when a face naming `v` may sit in the stray list only: `v` had no
// list of its own when such a face was entered. Vertices of the build always
// had one.
inline bool NeedsStrayFaces(const MeshIndex& index, int v)
{
    return !index.strayFaces.empty() && !(v >= 0 && v < index.builtVertexCount);
}

// True when points[k] already appeared at an earlier position of the face.
inline bool RepeatsEarlierPoint(const int* points, int k)
{
    for (int j = 0; j < k; ++j)
        if (points[j] == points[k])
            return true;
    return false;
}

inline const MeshFace& FaceAt(const MeshIndex& index, int face)
{
    return index.faces[static_cast<size_t>(face)];
}

inline bool IsRepeated(const MeshIndex& index, int v)
{
    return index.anyRepeated && (index.vertexFlags[static_cast<size_t>(v)] & kVertexRepeated);
}

// Whether any vertex may have a chain: some edit has been recorded.
inline bool HasChains(const MeshIndex& index) { return index.chainCount > 0; }

// The first node of v's chain, -1 for none.
inline int ChainHead(const MeshIndex& index, int v)
{
    if (!HasChains(index))
        return -1;
    assert(static_cast<size_t>(v) < index.chainCount);
    return index.chainEnds[static_cast<size_t>(v)].head - 1;
}

// Whether the build listed v's faces (every vertex, unless built with a
// list of the vertices to be asked about).
inline bool HasListedFaces(const MeshIndex& index, int v)
{
    return index.listedOnly == nullptr || v >= index.builtVertexCount ||
           (v < index.listedCount && index.listedOnly[v] != 0);
}

// The stages of a build (geom/mesh_index.cpp), which BuildMeshIndex runs
// with the side table's placing pass (geom/side_table.cpp) in between when
// asked. Each may throw std::bad_alloc.
//
// Takes the faces and counts each listed vertex's faces into
// firstFace[v + 1], marking repeats and strays.
void CountMeshIndexFaces(MeshIndex& index, std::vector<MeshFace>&& faces, int vertexCount,
                         const MeshIndexOptions& options);
// Turns the counts into the ends of the runs and makes room for them.
void OpenMeshIndexRuns(MeshIndex& index);
// Places the faces from the last to the first, each at the end of its listed
// vertices' runs, which leaves every run ascending and firstFace[v + 1] at
// the start of v's run.
void PlaceMeshIndexFaces(MeshIndex& index);
// Moves every run start down one: firstFace[v] starts v's run.
void CloseMeshIndexRuns(MeshIndex& index);
// Empties the index but keeps its memory for the next build.
void ClearMeshIndex(MeshIndex& index);

}  // namespace kivera
