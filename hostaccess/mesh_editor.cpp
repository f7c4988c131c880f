#include "hostaccess/mesh_editor.h"

namespace kivera {

int EditorAddVertex(MeshEditor& editor, const Point3& position)
{
    const int vertex = ObjAddVertex(editor.object, position);
    MeshIndexAddVertex(editor.index, vertex);
    return vertex;
}

int EditorAddFace(MeshEditor& editor, int pointCount, const int* points)
{
    const int face = ObjAddFace(editor.object, pointCount, points);
    MeshIndexAddFace(editor.index, face, pointCount, points);
    return face;
}

bool EditorDeleteFace(MeshEditor& editor, int face)
{
    if (ObjDeleteFace(editor.object, face, 1) == 0)
        return false;
    MeshIndexDeleteFace(editor.index, face);
    return true;
}

}  // namespace kivera
