// Bring other objects onto the centre of the current object's selection.
#include "commands/commands.h"
#include "commands/placement/placement_common.h"

namespace kivera {

// The mean of the selected vertices of `object` (document index
// `objectIndex`) into `mean`; returns how many took part, 0 when none did.
// Vertices with a NaN or infinite coordinate take no part, and a mean that
// overflowed counts as none.
static int SelectedMean(DocumentHandle document, ObjectHandle object, int objectIndex,
                        Point3& mean)
{
    Point3 sum;
    SetZero(sum);
    int count = 0;
    ForEachSelectedVertexOf(document, objectIndex, object, ObjGetVertexCount(object), [&](int v) {
        const Point3 p = ObjGetVertex(object, v);
        if (!IsFinitePoint(p))
            return;
        AddInPlace(sum, p);
        ++count;
    });
    if (count == 0)
        return 0;
    DivideInPlace(sum, static_cast<float>(count));
    if (!IsFinitePoint(sum))
        return 0;
    mean = sum;
    return count;
}

// Adds `offset` to every used vertex of `object`, selected or not.
static void MoveObject(ObjectHandle object, const Point3& offset)
{
    const int vertexCount = ObjGetVertexCount(object);
    for (int v = 0; v < vertexCount; ++v) {
        if (ObjGetVertexRefCount(object, v) == 0)
            continue;
        ObjSetVertex(object, v, Add(ObjGetVertex(object, v), offset));
    }
}

int AlignSelectedPoints(DocumentHandle document)
{
    const int current = DocGetCurrentObjectIndex(document);
    const ObjectHandle currentObject = DocGetObject(document, current);
    if (!currentObject)
        return 0;
    Point3 target = {0.0f, 0.0f, 0.0f};
    if (!SelectedMean(document, currentObject, current, target))
        return 0;

    const int objectCount = DocGetObjectCount(document);
    ForEachOtherObject(document, objectCount, current, [&](int o, ObjectHandle object) {
        Point3 mean = {0.0f, 0.0f, 0.0f};
        if (!SelectedMean(document, object, o, mean))
            return;
        const Point3 offset = Subtract(target, mean);
        if (IsFinitePoint(offset))
            MoveObject(object, offset);
    });
    return 1;
}

}  // namespace kivera
