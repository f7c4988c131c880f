// Small helpers shared by the vertex placement commands.
#pragma once

#include <cassert>
#include <cmath>
#include <cstdint>

#include "frame/host_api.h"
#include "platform/platform.h"

// 1 when vertex `vertexIndex` of `object` (document index `objectIndex`) is
// a selected vertex as the placement commands see it: used by some face and
// reported selected with exactly 1. The reference count is asked first, so
// the host is never asked about the selection of an unused vertex.
inline int IsSelectedVertex(DocumentHandle document, ObjectHandle object, int objectIndex,
                            int vertexIndex)
{
    if (ObjGetVertexRefCount(object, vertexIndex) == 0)
        return 0;
    return DocIsSelectVertex(document, objectIndex, vertexIndex) == 1 ? 1 : 0;
}


// Coordinate `axis` (0 = x, 1 = y, 2 = z) of `p`.
inline float AxisCoordinate(const Point3& p, int axis)
{
    assert(axis >= 0 && axis <= 2);
    return axis == 0 ? p.x : axis == 1 ? p.y : p.z;
}

inline void SetAxisCoordinate(Point3& p, int axis, float value)
{
    assert(axis >= 0 && axis <= 2);
    if (axis == 0)
        p.x = value;
    else if (axis == 1)
        p.y = value;
    else
        p.z = value;
}

// Calls visit(object, objectIndex, vertexIndex) for every selected vertex of
// every object, objects and vertices in ascending index order; empty object
// slots are skipped.
template <typename Visit>
void ForEachSelectedVertex(DocumentHandle document, int objectCount, Visit visit)
{
    for (int o = 0; o < objectCount; ++o) {
        const ObjectHandle object = DocGetObject(document, o);
        if (!object)
            continue;
        const int vertexCount = ObjGetVertexCount(object);
        for (int v = 0; v < vertexCount; ++v)
            if (IsSelectedVertex(document, object, o, v))
                visit(object, o, v);
    }
}

// The OK and Cancel buttons of a placement command's dialog: OK reads the
// dialog's choices (readChoices()) and ends it with 1, Cancel ends it with
// 0. Returns 1 when `id` was either (the message is handled), else 0.
template <typename ReadChoices>
int EndOnOkOrCancel(DialogWindow dialog, uintptr_t id, ReadChoices readChoices)
{
    if (id == static_cast<uintptr_t>(kIdOk)) {
        readChoices();
        EndDialogBox(dialog, 1);
        return 1;
    }
    if (id == static_cast<uintptr_t>(kIdCancel)) {
        EndDialogBox(dialog, 0);
        return 1;
    }
    return 0;
}
