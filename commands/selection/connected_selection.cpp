// Connected selection: the vertices a flood from the selected ones reaches.
#include "commands/commands.h"
#include "hostaccess/object_loops.h"

#include <algorithm>
#include <memory>
#include <new>

#include "commands/selection/selected_face_points.h"
#include "hostaccess/mesh_reader.h"
#include "geom/flood_fill.h"

namespace kivera {

// Floods one object from its selected vertices, walled in by the points of
// its selected faces and lines, and selects everything labelled. `index`
// is working memory shared by the objects.
static void SelectConnectedInObject(DocumentHandle document, int objectIndex, ObjectHandle object,
                                    MeshIndex& index)
{
    const int vertexCount = ObjGetVertexCount(object);
    if (vertexCount <= 0)
        return;
    std::unique_ptr<int[]> labels(new (std::nothrow) int[vertexCount]());
    std::unique_ptr<int[]> stack(new (std::nothrow) int[vertexCount]);
    if (!labels || !stack)
        return;   // no working memory for this object: its selection stays as it is
    // The points of selected faces and lines are walls: the flood reaches
    // them but never passes them. Marked while the index reads each face, so
    // the host's faces are gone through once.
    int* walls = labels.get();
    auto markWalls = [&](int face, const MeshFace& read) {
        VisitSelectedPointsOfFace(
            document, objectIndex, face, read.count, vertexCount,
            [&read](int* points) { std::copy(read.points, read.points + read.count, points); },
            [walls](int v) { walls[v] = 1; });
    };
    // The flood needs the faces alone, not every vertex's list of them.
    static const unsigned char kNoVertexListed = 0;
    MeshIndexOptions facesOnly;
    facesOnly.listed = &kNoVertexListed;
    if (!ReadMeshIndex(index, object, facesOnly, markWalls))
        return;
    // The seeds are the selected vertices.
    FloodFillFromSeeds(
        index, [&](int v) { return IsReportedSelected(document, objectIndex, v); }, 1,
        labels.get(), stack.get());
    for (int v = 0; v < vertexCount; ++v)
        if (labels[v] != 0)
            DocAddSelectVertex(document, objectIndex, v);
}

int SelectConnectedPoints(DocumentHandle document)
{
    // Without working memory the selection stays as it is.
    ForEachObjectWithIndex(document, [document](int i, ObjectHandle object, MeshIndex& index) {
        SelectConnectedInObject(document, i, object, index);
    });
    return 1;
}

}  // namespace kivera
