// A build of the index: its stages, with the side table's placing pass in
// between when a side table is asked for.
#include <new>
#include <stdexcept>

#include "geom/mesh_index_fields.h"
#include "geom/side_table.h"

namespace kivera {

bool BuildMeshIndex(MeshIndex& index, std::vector<MeshFace> faces, int vertexCount,
                    const MeshIndexOptions& options)
{
    ClearMeshIndex(index);
    // The run offsets are ints: every corner of every face must fit one.
    if (vertexCount < 0 || vertexCount == INT_MAX ||
        faces.size() > static_cast<size_t>(INT_MAX / kMaxFacePoints))
        return false;
    const int faceCount = static_cast<int>(faces.size());
    try {
        CountMeshIndexFaces(index, std::move(faces), vertexCount, options);
        // Sides are worked out while the faces are placed when every vertex
        // is plain; else from the finished index.
        const bool sidesWhilePlacing = options.sides != nullptr && options.listed == nullptr &&
                                       index.strayFaces.empty() && !index.anyRepeated;
        if (sidesWhilePlacing)
            PrepareSidePlacing(index);
        OpenMeshIndexRuns(index);
        if (sidesWhilePlacing)
            PlaceFacesWithSides(index, options.sides);
        else
            PlaceMeshIndexFaces(index);
        CloseMeshIndexRuns(index);
        if (options.sides != nullptr && !sidesWhilePlacing)
            FindSideNeighbours(index, options.sides, faceCount);
    } catch (const std::exception&) {  // bad_alloc, or length_error past max_size()
        ClearMeshIndex(index);
        return false;
    }
    return true;
}

}  // namespace kivera
