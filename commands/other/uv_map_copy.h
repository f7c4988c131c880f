// UV map copy: pairs the faces of two meshes of the same layout by walking
// both in the same way from a selected face and vertex, and hands each target
// face its partner's texture coordinates.
#pragma once

#include "hostaccess/host_api.h"
#include "geom/mesh_index.h"

// Called for each face the walk takes from its stack, with the vertex from
// which the face's edges are walked and the face's points as the walk read
// them (count 0: an empty slot or a face of more than four points). Returns
// 1 to go on, 0 to end the walk.
using FaceVisitAction = int (*)(void* context, int face, int anchor, const int* points,
                                int count);

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
// anchor. Returns 1 when the walk ran, 0 when the object has more faces than
// `scratch` holds or `startFace` is not one of its faces (nothing visited).
int AnchoredFaceWalk(ObjectHandle object, const MeshIndex& index, int startFace, int startAnchor,
                     const FaceWalkScratch& scratch, FaceVisitAction action, void* context);

// The start of a walk in object `objectIndex`: the lowest-numbered selected
// face of a usable point count and the lowest-numbered selected vertex that
// a face uses. Returns 1 and fills both when they exist and the vertex is a
// point of the face, else 0.
int FindWalkStart(DocumentHandle document, int objectIndex, ObjectHandle object, int& face,
                  int& vertex);
