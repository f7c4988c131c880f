// The normal of one face of an object, its corners read through the host.
#pragma once

#include "hostaccess/host_api.h"
#include "geom/mesh_index.h"
#include "geom/point3.h"

namespace kivera {

// Unit normal of face `face` of three or four points (FaceNormal of its
// corners); the zero vector for a degenerate face, one of any other point
// count, or one naming a point outside the object.
Point3 ReadFaceNormal(ObjectHandle object, int face);

// ReadFaceNormal of face `face` as `index` holds it: only the corners'
// positions are read through the host.
Point3 ReadIndexedFaceNormal(ObjectHandle object, const MeshIndex& index, int face);

}  // namespace kivera
