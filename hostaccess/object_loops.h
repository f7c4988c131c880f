// The loops every command runs over the document: its objects in ascending
// order, and the selected vertices of an object. Written once, so that the
// rule for "selected vertex" and the order of the host calls it makes are
// the same in every command.
#pragma once

#include <type_traits>

#include "hostaccess/host_api.h"

namespace kivera {

// Calls perObject(objectIndex, object) for objects 0 to objectCount - 1 of
// `document` but object `skipped`, in ascending order; empty slots are
// skipped, and so is object `skipped` (the current one, for the commands
// that work on "every other object"), which is not even fetched. A
// perObject that returns bool ends the loop by returning false.
template <typename PerObject>
void ForEachOtherObject(DocumentHandle document, int objectCount, int skipped,
                        PerObject perObject)
{
    for (int i = 0; i < objectCount; ++i) {
        if (i == skipped)
            continue;
        const ObjectHandle object = DocGetObject(document, i);
        if (object == nullptr)
            continue;
        if constexpr (std::is_same<decltype(perObject(i, object)), bool>::value) {
            if (!perObject(i, object))
                return;
        } else {
            perObject(i, object);
        }
    }
}

// ForEachOtherObject skipping none.
template <typename PerObject>
void ForEachObject(DocumentHandle document, int objectCount, PerObject perObject)
{
    ForEachOtherObject(document, objectCount, -1, perObject);
}

// ForEachObject over every object, the count read once.
template <typename PerObject>
void ForEachObject(DocumentHandle document, PerObject perObject)
{
    ForEachObject(document, DocGetObjectCount(document), perObject);
}

// True when the host reports vertex `v` of object `objectIndex` selected:
// exactly 1, whether or not a face uses the vertex.
inline bool IsReportedSelected(DocumentHandle document, int objectIndex, int v)
{
    return DocIsSelectVertex(document, objectIndex, v) == 1;
}

// The rule for a selected vertex: used by some face and reported selected.
// The reference count is asked first, so the host is never asked about the
// selection of an unused vertex.
inline bool IsSelectedVertex(DocumentHandle document, ObjectHandle object, int objectIndex, int v)
{
    return ObjGetVertexRefCount(object, v) != 0 && IsReportedSelected(document, objectIndex, v);
}

// Calls visit(v) for each selected vertex (IsSelectedVertex) among vertices
// 0 to vertexCount - 1 of `object`, in ascending order. A visit that returns
// bool ends the loop by returning false.
template <typename Visit>
void ForEachSelectedVertexOf(DocumentHandle document, int objectIndex, ObjectHandle object,
                             int vertexCount, Visit visit)
{
    for (int v = 0; v < vertexCount; ++v) {
        if (!IsSelectedVertex(document, object, objectIndex, v))
            continue;
        if constexpr (std::is_same<decltype(visit(v)), bool>::value) {
            if (!visit(v))
                return;
        } else {
            visit(v);
        }
    }
}

// Calls visit(object, objectIndex, v) for every selected vertex of objects 0
// to objectCount - 1, objects and vertices in ascending order.
template <typename Visit>
void ForEachSelectedVertex(DocumentHandle document, int objectCount, Visit visit)
{
    ForEachObject(document, objectCount, [&](int objectIndex, ObjectHandle object) {
        ForEachSelectedVertexOf(document, objectIndex, object, ObjGetVertexCount(object),
                                [&](int v) { visit(object, objectIndex, v); });
    });
}

}  // namespace kivera
