// Edge selection: the lines, and faces, whose points are all selected.
#include "commands/commands.h"

#include "commands/selection/selected_face_points.h"
#include "hostaccess/object_loops.h"

namespace kivera {

static bool IsVertexSelected(DocumentHandle document, int objectIndex, int vertexCount, int v)
{
    return IsVertexIndex(v, vertexCount) && IsReportedSelected(document, objectIndex, v);
}

// Selects each line of one face whose two ends are selected, then the face
// itself when all its lines are selected, counting lines selected before.
static void SelectEdgesOfFace(DocumentHandle document, int objectIndex, ObjectHandle object,
                              int vertexCount, int face)
{
    // One slot behind the points repeats point 0: line k joins k and k + 1.
    int points[kMaxFacePoints + 1];
    const int n = ReadFacePoints(object, face, points);
    if (n == 0)
        return;
    points[n] = points[0];
    for (int k = 0; k < n; ++k)
        if (IsVertexSelected(document, objectIndex, vertexCount, points[k]) &&
            IsVertexSelected(document, objectIndex, vertexCount, points[k + 1]))
            DocAddSelectLine(document, objectIndex, face, k);
    int selectedLines = 0;
    for (int k = 0; k < n; ++k)
        if (DocIsSelectLine(document, objectIndex, face, k) == 1)
            ++selectedLines;
    if (selectedLines == n)
        DocAddSelectFace(document, objectIndex, face);
}

int SelectEdgesOfSelectedPoints(DocumentHandle document)
{
    ForEachObject(document, [document](int i, ObjectHandle object) {
        const int vertexCount = ObjGetVertexCount(object);
        const int faceCount = ObjGetFaceCount(object);
        for (int face = 0; face < faceCount; ++face)
            SelectEdgesOfFace(document, i, object, vertexCount, face);
    });
    return 1;
}

}  // namespace kivera
