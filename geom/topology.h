// Topology of one object's faces: which faces hold two vertices, which
// vertices neighbour a vertex, which vertices a flood reaches, which
// polygons use a vertex, and the normal of a face. Faces of more than four
// points are treated as absent, like empty slots (see ReadFacePoints).
//
// The queries answer from a MeshIndex: one pass over the host's faces copies
// every usable face and lists, for every vertex, the faces that use it. Each
// query then costs the faces around the vertices it asks about, not the whole
// object, and answers exactly as a scan of the host's faces at that moment
// would: same faces, same order, same caps. A command that edits the object
// while it queries reports each edit to the index (MeshIndexAddVertex,
// MeshIndexAddFace, MeshIndexDeleteFace) so that later answers include it.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <vector>

#include "frame/host_api.h"
#include "geom/point3.h"

// Most faces FindFacesWithEdge reports; callers give lists of this size.
constexpr int kMaxEdgeFaces = 16;

// One face's usable points; a count of 0 is an empty slot or a face of more
// than four points.
struct MeshIndexFace {
    int points[kMaxFacePoints];
    int count;
};

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

// The faces of one object and, per vertex, the faces that use it. Commands
// use it only through the functions below; the fields are its own.
//
// The faces of vertex v are, in ascending face order:
// - the faces present at the build: the run incident[firstFace[v] ..
//   firstFace[v + 1] - 1], up to its first INT_MAX (a deleted face leaves
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
    ObjectHandle object = nullptr;
    int builtVertexCount = 0;   // the object's vertices at the build
    int vertexCount = 0;        // those plus the vertices added since
    std::vector<MeshIndexFace> faces;   // every face slot, added ones included
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
    // Set when only some vertices' faces were listed (see BuildMeshIndex).
    const unsigned char* listedOnly = nullptr;
    int listedCount = 0;
};

// Reads every face of `object` once through the host into `index`, replacing
// what it held (its memory is reused). False, with the index empty, when the
// memory cannot be had; the caller then leaves the object alone.
bool BuildMeshIndex(MeshIndex& index, ObjectHandle object);

// Called by BuildMeshIndex for every face slot in ascending order, as it is
// read: its usable points (count 0 for an empty slot or a face of more than
// four points). A command that asks the host about every face anyway (its
// selection) asks here, while the host has that face at hand.
using MeshIndexFaceHook = void (*)(void* context, int face, const int* points, int count);

// BuildMeshIndex calling `hook` (unless null) for each face it reads. When
// the build fails, the hook may have seen some of the faces.
bool BuildMeshIndex(MeshIndex& index, ObjectHandle object, MeshIndexFaceHook hook,
                    void* context);

// BuildMeshIndex listing the faces of only those vertices v below
// `listedCount` with listed[v] set (which the hook may set as it sees the
// faces; `listed` must outlive the index's use). For a command that asks
// only about vertices it knows before its first question: the index then
// costs memory for those alone. Asking about the build faces of any other
// vertex is an error (asserted); vertices added later are always listed.
bool BuildMeshIndex(MeshIndex& index, ObjectHandle object, MeshIndexFaceHook hook,
                    void* context, const unsigned char* listed, int listedCount);

// BuildMeshIndex that also fills the side table of the object's faces, as
// FindSideNeighbours gives it, into `sides` (kMaxFacePoints ints for each
// face of the object). When no face names a vertex twice or a point outside
// the object, each side is worked out as the build places its faces, from
// the runs it is writing anyway; otherwise from the finished index.
bool BuildMeshIndexWithSides(MeshIndex& index, ObjectHandle object, int* sides);

// Makes room, before any edit, for an index of an object of up to
// `vertexCount` vertices and `faceCount` faces to be built without
// allocating. False when the memory cannot be had.
bool ReserveMeshIndex(MeshIndex& index, int vertexCount, int faceCount);

// Makes room for `vertices` more vertices and `faces` more faces of up to
// four points, so that reporting them cannot fail for want of memory. A
// command calls it before the host edits it is about to report, and leaves
// the object alone when it fails.
bool ReserveMeshEdits(MeshIndex& index, int vertices, int faces);

// Records a vertex the host added as number `vertex` (what ObjAddVertex
// returned; a negative number means refused and records nothing). False,
// and the index no longer follows its object, when the host numbered the
// vertex other than next or there was no room.
bool MeshIndexAddVertex(MeshIndex& index, int vertex);

// Records a face the host added as number `face` (what ObjAddFace returned;
// negative = refused, nothing recorded) with the given points. False as for
// MeshIndexAddVertex.
bool MeshIndexAddFace(MeshIndex& index, int face, int pointCount, const int* points);

// False once an edit could not be recorded since the build: the answers no
// longer describe the object. A command then finishes the edit it is in and
// leaves the rest of the object alone.
bool MeshIndexFollowsObject(const MeshIndex& index);

// Records that the host emptied face slot `face` (ObjDeleteFace returned
// nonzero). Always true; the face leaves every list.
bool MeshIndexDeleteFace(MeshIndex& index, int face);

// Copies the points of face `face` as the index holds it into `points`
// (room for kMaxFacePoints) and returns their count: what ReadFacePoints
// would read from the host now. 0 for an empty slot, a face of more than
// four points or a number that is no face.
int IndexedFacePoints(const MeshIndex& index, int face, int* points);

// The point count IndexedFacePoints would give for `face`, without the
// points.
int IndexedFacePointCount(const MeshIndex& index, int face);

// Appends `key` at list[count] unless it is among list[0..count-1]. Returns
// the new count. The caller sizes the list.
int AppendUnique(int* list, int count, int key);

// Faces, in ascending index order, whose points hold `a` and `b` with a hit
// count of exactly 2 over all positions (every position is tested against
// both). At most kMaxEdgeFaces are reported: the first ones in face order.
int FindFacesWithEdge(const MeshIndex& index, int a, int b, int* list);

// For each side k of a face with points points[0..n-1] (side k joins points
// k and k + 1, the last side point n - 1 and 0), the faces FindFacesWithEdge
// reports for its two ends: counts[k] of them in lists[k]. n is at most
// kMaxFacePoints. Reads each point's faces once, so a face's sides cost
// about what one side costs when asked for alone.
void FindFacesAlongSides(const MeshIndex& index, const int* points, int n,
                         int (*lists)[kMaxEdgeFaces], int* counts);

// Entries of FindSideNeighbours' table besides a face number.
constexpr int kNoSideNeighbour = -1;   // no other face holds both ends
constexpr int kAskForSide = -2;        // not plain: ask FindFacesAlongSides

// Fills `sides` (kMaxFacePoints entries for each face below `faceCount`,
// side k of face f at f * kMaxFacePoints + k) so that a walk over many
// faces need not ask for each side: where FindFacesWithEdge for the side's two ends
// would report exactly the face itself and one other, the entry is that
// other face; where it would report the face alone, kNoSideNeighbour; for
// everything else (more faces, a vertex some face names twice, vertices or
// faces entered after the build, points outside the object), kAskForSide.
// One pass over the faces in ascending order, each side two faces share
// worked out once; the index must list every vertex's faces (a build
// without `listed`).
void FindSideNeighbours(const MeshIndex& index, int* sides, int faceCount);

// The distinct vertices that share a face side with `v`, in order of
// discovery over the faces in index order (within a face: each position
// holding v gives the point before it, then the point after it). The list is
// cleared first and grows as needed, so no neighbour is ever cut off.
// Returns the count. Uses the index's scratch (a long list makes its
// per-vertex stamps on first need).
int CollectNeighbourVertices(MeshIndex& index, int v, std::vector<int>& neighbours);

// Labels with `label` every vertex reachable from `start` across face sides
// without entering an already-labelled vertex (last in, first out; a vertex
// is labelled when taken off the stack; neighbours are pushed in their order
// of discovery, a vertex already on the stack is not pushed again). `labels`
// and `stack` hold one int per vertex of the object; the stack's contents
// afterwards are scratch. Returns 0, changing nothing, when `start` is already
// labelled (or is not a vertex of the object, or `label` is 0); else 1.
// Face points outside the vertex range lead nowhere.
int FloodFillConnected(MeshIndex& index, int start, int label, int* labels, int* stack);

// Asked by FloodFillFromSeeds whether vertex `v` starts a fill.
using SeedTest = bool (*)(void* context, int v);

// Labels with `label` exactly the vertices that FloodFillConnected with
// `label` would label if called in turn from every vertex v, in ascending
// order, for which isSeed(context, v) holds; isSeed is asked once for every
// vertex of the object, in ascending order. `labels` and `scratch` hold one
// int per vertex of the object; the scratch's contents afterwards are
// scratch. Since every fill gives the same label, only the set reached
// matters, not the order of the fills: the vertices are joined into the
// pieces that the sides between unlabelled vertices make, and every piece
// holding a seed is labelled. Uses the index's faces only, so an index that
// lists no vertex's faces serves.
void FloodFillFromSeeds(MeshIndex& index, SeedTest isSeed, void* context, int label, int* labels,
                        int* scratch);

// Faces of three or four points holding `vertex`, in face order; a face that
// holds it twice is listed twice. Stops at `max` entries. Returns the count.
int FindPolygonsWithVertex(const MeshIndex& index, int vertex, int* faces, int max);

// Unit normal of a face of three or four points, read from the host; the
// zero vector for a degenerate face or one of any other point count.
Point3 FaceNormal(ObjectHandle object, int face);
