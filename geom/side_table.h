// The side table: for each side of each face, the one face across it, so
// that a walk over many faces (the UV copy) need not ask for each side.
#pragma once

#include "geom/mesh_index.h"

namespace kivera {

// Entries of the side table besides a face number.
constexpr int kNoSideNeighbour = -1;   // no other face holds both ends
constexpr int kAskForSide = -2;        // not plain: ask FindFacesAlongSides

// Fills `sides` (kMaxFacePoints entries for each face below `faceCount`,
// side k of face f at f * kMaxFacePoints + k) so that a walk over many
// faces need not ask for each side: where FindFacesWithEdge for the side's
// two ends would report exactly the face itself and one other, the entry is
// that other face; where it would report the face alone, kNoSideNeighbour;
// for everything else (more faces, a vertex some face names twice, vertices
// or faces entered after the build, points outside the object),
// kAskForSide. One pass over the faces in ascending order, each side two
// faces share worked out once; the index must list every vertex's faces.
void FindSideNeighbours(const MeshIndex& index, int* sides, int faceCount);

// For the build (BuildMeshIndex with MeshIndexOptions::sides), when no face
// names a vertex twice or a point outside the object: marks the vertices
// with too many faces to count in a byte, once the faces are counted...
void PrepareSidePlacing(MeshIndex& index);
// ...and, once the runs are open, places the faces as PlaceMeshIndexFaces
// does while filling `sides` as FindSideNeighbours would.
void PlaceFacesWithSides(MeshIndex& index, int* sides);

}  // namespace kivera
