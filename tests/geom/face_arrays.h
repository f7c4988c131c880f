// Meshes for the index's tests as the index takes them: a plain array of
// faces and a vertex count, edited the way a host edits its faces.
#pragma once

#include <vector>

#include "geom/mesh_face.h"

namespace kivera_test {

using namespace kivera;

// A face of the given points; one of more than four points reads as an
// empty slot, as the commands see it.
inline MeshFace MakeFace(const std::vector<int>& points)
{
    MeshFace face = {{-1, -1, -1, -1}, 0};
    if (points.size() > static_cast<size_t>(kMaxFacePoints))
        return face;
    face.count = static_cast<int>(points.size());
    for (int k = 0; k < face.count; ++k)
        face.points[k] = points[static_cast<size_t>(k)];
    return face;
}

struct FaceArray {
    std::vector<MeshFace> faces;
    int vertexCount = 0;

    // Appends a face (its points may name no vertex) and returns its number.
    int Add(const std::vector<int>& points)
    {
        faces.push_back(MakeFace(points));
        return static_cast<int>(faces.size()) - 1;
    }
    // Empties slot `face`; false when it was empty or is no slot.
    bool Delete(int face)
    {
        if (face < 0 || face >= static_cast<int>(faces.size()) ||
            faces[static_cast<size_t>(face)].count == 0)
            return false;
        faces[static_cast<size_t>(face)] = MakeFace({});
        return true;
    }
};

}  // namespace kivera_test
