// The flood fill from seeds, as pieces joined over the faces in one pass.
#include "geom/flood_fill.h"

#include "geom/mesh_index_fields.h"

namespace kivera {

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

void FloodFillFromSeeds(MeshIndex& index, SeedTest isSeed, int label, int* labels, int* scratch)
{
    const int vertexCount = index.vertexCount;
    int* parent = scratch;
    for (int v = 0; v < vertexCount; ++v)
        parent[v] = v;
    // A fill enters no labelled vertex and no point outside the object, so
    // only sides between two unlabelled vertices join pieces.
    const auto open = [&](int v) { return IsIndexedVertex(index, v) && labels[v] == 0; };
    for (const MeshFace& face : index.faces) {
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
        if (isSeed(v) && labels[v] == 0)
            parent[FindRoot(parent, v)] = kSeededRoot;
    if (label == 0)
        return;
    for (int v = 0; v < vertexCount; ++v)
        if (labels[v] == 0 && parent[FindRoot(parent, v)] == kSeededRoot)
            labels[v] = label;
}

}  // namespace kivera
