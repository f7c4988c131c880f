// UV map copy: pairs the faces of two meshes of the same layout by walking
// both in the same way from a selected face and vertex, and hands each target
// face its partner's texture coordinates.
#pragma once

#include "hostaccess/host_api.h"
#include "geom/anchored_walk.h"

namespace kivera {

// The start of a walk in object `objectIndex`: the lowest-numbered selected
// face of a usable point count and the lowest-numbered selected vertex that
// a face uses. True, filling both, when they exist and the vertex is a
// point of the face.
bool FindWalkStart(DocumentHandle document, int objectIndex, ObjectHandle object, int& face,
                   int& vertex);

}  // namespace kivera
