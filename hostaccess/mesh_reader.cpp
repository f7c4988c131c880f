#include "hostaccess/mesh_reader.h"

#include <algorithm>
#include <cassert>
#include <utility>
#include <vector>

namespace kivera {

bool ReadMeshIndex(MeshIndex& index, ObjectHandle object, const MeshIndexOptions& options,
                   FaceVisitor visit)
{
    assert(object != nullptr);
    const int vertexCount = std::max(ObjGetVertexCount(object), 0);
    const int faceCount = std::max(ObjGetFaceCount(object), 0);
    std::vector<MeshFace> faces;
    if (!TakeMeshIndexFaces(index, faceCount, faces))
        return false;
    for (int f = 0; f < faceCount; ++f) {
        MeshFace face;
        face.count = ReadFacePoints(object, f, face.points);
        for (int k = face.count; k < kMaxFacePoints; ++k)
            face.points[k] = -1;
        visit(f, face);
        faces.push_back(face);
    }
    return BuildMeshIndex(index, std::move(faces), vertexCount, options);
}

}  // namespace kivera
