// Edits of one object through the host, each recorded in the object's index
// in the same call: a command that edits while it asks the index cannot
// leave an edit unrecorded. The only caller of the host's add-vertex,
// add-face and delete-face functions.
#pragma once

#include "hostaccess/host_api.h"
#include "geom/mesh_index.h"
#include "geom/point3.h"

namespace kivera {

struct MeshEditor {
    ObjectHandle object;
    MeshIndex& index;
};

// Adds a vertex at `position`; returns its number, negative when the host
// refused.
int EditorAddVertex(MeshEditor& editor, const Point3& position);

// Adds a face of `pointCount` points; returns its number, negative when the
// host refused.
int EditorAddFace(MeshEditor& editor, int pointCount, const int* points);

// Deletes face `face`, and with it the vertices no other face uses; true
// when the host did.
bool EditorDeleteFace(MeshEditor& editor, int face);

}  // namespace kivera
