// The faces of one object and, per vertex, the faces that use it: built from
// a plain array of faces and a vertex count, then kept current as a command
// edits the object. Each query (geom/mesh_queries.h, geom/side_table.h,
// geom/flood_fill.h) then costs the faces around the vertices it asks about,
// not the whole object, and answers exactly as a scan of the faces at that
// moment would: same faces, same order, same caps.
//
// The index is opaque: its fields (geom/mesh_index_fields.h) belong to
// geom/ alone, so that no command can read past the edits it records.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "geom/mesh_face.h"

namespace kivera {

struct MeshIndex;

struct MeshIndexDeleter {
    void operator()(MeshIndex* index) const;
};
using MeshIndexPtr = std::unique_ptr<MeshIndex, MeshIndexDeleter>;

// An empty index, null when the memory cannot be had. One index serves the
// objects of a command in turn: each build reuses its memory.
MeshIndexPtr NewMeshIndex();

// What a build lists besides the faces.
struct MeshIndexOptions {
    // Non-null: only the vertices v below listedCount with listed[v] set get
    // their faces listed (none when listedCount is 0); `listed` must outlive
    // the index's use. For a command that asks only about vertices it knows
    // before its first question: the index then costs memory for those
    // alone. Asking about the build faces of any other vertex is an error
    // (asserted); vertices added later are always listed.
    const unsigned char* listed = nullptr;
    int listedCount = 0;
    // Non-null: the side table of the faces, as FindSideNeighbours gives it
    // (kMaxFacePoints ints per face), filled as the build places the faces
    // when no face names a vertex twice or a point outside the object, else
    // from the finished index. Needs every vertex listed.
    int* sides = nullptr;
};

// The index's face array, emptied (the index with it), with room for
// `faceCount` faces and the edits a command makes after the build: fill it
// and hand it back to BuildMeshIndex, so that building object after object
// reuses one array. False, the array empty, when the memory cannot be had.
bool TakeMeshIndexFaces(MeshIndex& index, int faceCount, std::vector<MeshFace>& faces);

// Builds the index of an object of `vertexCount` vertices from `faces` (in
// slot order; points outside 0..vertexCount-1 allowed), replacing what it
// held. False, with the index empty, when the memory cannot be had; the
// caller then leaves the object alone.
bool BuildMeshIndex(MeshIndex& index, std::vector<MeshFace> faces, int vertexCount,
                    const MeshIndexOptions& options = {});

// Makes room, before any edit, for an index of an object of up to
// `vertexCount` vertices and `faceCount` faces to be built without
// allocating. False when the memory cannot be had.
bool ReserveMeshIndex(MeshIndex& index, int vertexCount, int faceCount);

// Makes room for `vertices` more vertices and `faces` more faces of up to
// four points, so that recording them cannot fail for want of memory. A
// command calls it before the edits it is about to make, and leaves the
// object alone when it fails.
bool ReserveMeshEdits(MeshIndex& index, int vertices, int faces);

// Records a vertex the object gained as number `vertex` (a negative number
// means refused and records nothing). False, and the index no longer
// follows its object, when it was numbered other than next or there was no
// room.
bool MeshIndexAddVertex(MeshIndex& index, int vertex);

// Records a face the object gained as number `face` (negative = refused,
// nothing recorded) with the given points. False as for MeshIndexAddVertex.
bool MeshIndexAddFace(MeshIndex& index, int face, int pointCount, const int* points);

// Records that face slot `face` was emptied. Always true; the face leaves
// every list.
bool MeshIndexDeleteFace(MeshIndex& index, int face);

// False once an edit could not be recorded since the build: the answers no
// longer describe the object. A command then finishes the edit it is in and
// leaves the rest of the object alone.
bool MeshIndexFollowsObject(const MeshIndex& index);

// Copies the points of face `face` as the index holds it into `points`
// (room for kMaxFacePoints) and returns their count. 0 for an empty slot, a
// face of more than four points or a number that is no face.
int IndexedFacePoints(const MeshIndex& index, int face, int* points);

// The point count IndexedFacePoints would give for `face`, without the
// points.
int IndexedFacePointCount(const MeshIndex& index, int face);

// The object's face count as the index knows it: the build's slots plus the
// faces recorded since.
int IndexedFaceCount(const MeshIndex& index);

// The object's vertex count as the index knows it: the build's count plus
// the vertices recorded since.
int IndexedVertexCount(const MeshIndex& index);

}  // namespace kivera
