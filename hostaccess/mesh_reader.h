// Reading an object's faces through the host into its index, once, with a
// look at every face as it is read.
#pragma once

#include "hostaccess/host_api.h"
#include "hostaccess/object_loops.h"
#include "geom/function_ref.h"
#include "geom/mesh_index.h"

namespace kivera {

// Called for every face slot as it is read, in ascending order, with its
// usable points (count 0 for an empty slot or a face of more than four
// points): a command that asks the host about every face anyway (its
// selection) asks here, while the host has that face at hand.
using FaceVisitor = FunctionRef<void(int face, const MeshFace& points)>;

// A visitor that looks at nothing.
inline constexpr auto kIgnoreFace = [](int /*face*/, const MeshFace& /*points*/) {};

// Reads every face of `object` once through the host, calling `visit` for
// each, and builds `index` from them (BuildMeshIndex), replacing what it
// held. False, with the index empty, when the memory cannot be had (the
// visitor may then have seen some of the faces); the caller then leaves the
// object alone.
bool ReadMeshIndex(MeshIndex& index, ObjectHandle object, const MeshIndexOptions& options = {},
                   FaceVisitor visit = kIgnoreFace);

// Calls perObject(objectIndex, object, index) for each object of `document`,
// in order, with one index as working memory that the objects share (each
// call reads its object into it). False, calling nothing, when there is no
// memory for the index.
template <typename PerObject>
bool ForEachObjectWithIndex(DocumentHandle document, PerObject perObject)
{
    const MeshIndexPtr index = NewMeshIndex();
    if (!index)
        return false;
    ForEachObject(document, [&](int i, ObjectHandle object) { perObject(i, object, *index); });
    return true;
}

}  // namespace kivera
