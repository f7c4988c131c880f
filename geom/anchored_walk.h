// The walk that pairs two meshes of the same layout: depth first across
// shared edges from a start face and vertex, in an order that depends on the
// layout alone, not on how the mesh numbers its vertices and faces.
#pragma once

#include "geom/function_ref.h"
#include "geom/mesh_index.h"

namespace kivera {

// Called for each face the walk takes from its stack, with the vertex from
// which the face's edges are walked and the face's points as the walk read
// them (count 0: an empty slot or a face of more than four points). Returns
// true to go on, false to end the walk.
using FaceVisitAction = FunctionRef<bool(int face, int anchor, const int* points, int count)>;

// The caller-owned working arrays of a walk, `capacity` entries each: one
// state per face (unseen, visited, or waiting on the stack), the stack of
// faces with their anchors in the same slots, and `sides`, kMaxFacePoints
// ints per face: the side table of the object walked (FindSideNeighbours or
// MeshIndexOptions::sides), filled by the caller. Owning them outside the
// walk lets a command obtain all its memory before it changes anything.
struct FaceWalkScratch {
    unsigned char* states;
    int* stackFaces;
    int* stackAnchors;
    int* sides;
    int capacity;
};

// Depth-first walk over the faces joined to `startFace` by shared edges;
// `index` holds the object's faces and `scratch.sides` their side table; the
// walk reads the faces across their edges from the table, and asks the
// index (FindFacesWithEdge) where the table says to. Each face
// taken from the stack is visited once; then its edges are walked from its
// anchor on in the face's point order, and every face sharing an edge that is
// neither visited nor waiting is pushed with the edge's first vertex as its
// anchor. True when the walk ran, false when the object (its face count as
// the index holds it) has more faces than `scratch` holds or `startFace` is
// not one of its faces (nothing visited).
bool AnchoredFaceWalk(const MeshIndex& index, int startFace, int startAnchor,
                      const FaceWalkScratch& scratch, FaceVisitAction action);

}  // namespace kivera
