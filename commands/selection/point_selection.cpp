// Point selection commands: they change only which vertices, lines and faces are selected.
#include "commands/commands.h"

#include <memory>
#include <new>
#include <vector>

#include "commands/selection/selected_face_points.h"
#include "hostaccess/mesh_reader.h"
#include "hostaccess/object_loops.h"
#include "geom/mesh_queries.h"

namespace kivera {

// Selects the points of the selected faces and of the selected lines of one
// object.
static void SelectPointsOfObject(DocumentHandle document, int objectIndex, ObjectHandle object)
{
    const int vertexCount = ObjGetVertexCount(object);
    ForEachPointOfSelectedFacesAndLines(document, objectIndex, object, vertexCount, [&](int v) {
        DocAddSelectVertex(document, objectIndex, v);
    });
}

int SelectPoints(DocumentHandle document)
{
    ForEachObject(document, [document](int i, ObjectHandle object) {
        SelectPointsOfObject(document, i, object);
    });
    return 1;
}

int DeselectPoints(DocumentHandle document)
{
    DocClearSelect(document, 1);   // vertices of every object
    return 1;
}

int DeselectEdgesAndFaces(DocumentHandle document)
{
    DocClearSelect(document, 6);   // lines and faces of every object; vertices stay
    return 1;
}

// Adds one ring of neighbours to the vertex selection of one object. All
// marks are gathered before the first vertex is added, so the vertices added
// here do not grow the ring further in the same run. `index` is working
// memory shared by the objects.
static void GrowSelectionOfObject(DocumentHandle document, int objectIndex, ObjectHandle object,
                                  MeshIndex& index)
{
    const int vertexCount = ObjGetVertexCount(object);
    if (vertexCount <= 0)
        return;
    std::unique_ptr<unsigned char[]> marks(new (std::nothrow) unsigned char[vertexCount]());
    if (!marks || !ReadMeshIndex(index, object))
        return;   // no working memory for this object: its selection stays as it is
    // Grows as needed, so a vertex with any number of neighbours marks them all.
    std::vector<int> neighbours;
    // A vertex no face uses has no neighbours.
    ForEachSelectedVertexOf(document, objectIndex, object, vertexCount, [&](int v) {
        CollectNeighbourVertices(index, v, neighbours);
        for (int w : neighbours)
            if (IsVertexIndex(w, vertexCount))
                marks[w] = 1;
    });
    for (int v = 0; v < vertexCount; ++v)
        if (marks[v])
            DocAddSelectVertex(document, objectIndex, v);
}

int SelectNeighbourPoints(DocumentHandle document)
{
    // Without working memory the selection stays as it is.
    ForEachObjectWithIndex(document, [document](int i, ObjectHandle object, MeshIndex& index) {
        GrowSelectionOfObject(document, i, object, index);
    });
    return 1;
}

}  // namespace kivera
