// The one walk over a vertex's faces that every query of the index uses:
// the run of the build, then the chain of faces added since, merged with
// the stray faces (and a second vertex's faces) where those may hold it.
// For geom/ alone, like the index's fields.
#pragma once

#include <algorithm>

#include "geom/mesh_index_fields.h"

namespace kivera {

// One ascending list of faces: a run of an array, then a chain of added
// faces.
struct FaceCursor {
    const int* next;
    const int* end;
    int node;   // -1 = chain done
};

// Up to three ascending lists walked together as one ascending list of
// distinct faces.
struct FaceMerge {
    FaceCursor cursors[3];
    int count;
};

inline int CurrentFace(const MeshIndex& index, const FaceCursor& cursor)
{
    if (cursor.next != cursor.end && *cursor.next != kNoFace)
        return *cursor.next;
    if (cursor.node >= 0)
        return index.addedNodes[static_cast<size_t>(cursor.node)].face;
    return kNoFace;
}

inline void Advance(const MeshIndex& index, FaceCursor& cursor)
{
    if (cursor.next != cursor.end && *cursor.next != kNoFace)
        ++cursor.next;
    else if (cursor.node >= 0)
        cursor.node = index.addedNodes[static_cast<size_t>(cursor.node)].next;
}

// The faces listed for vertex v (which must have a list).
inline FaceCursor FacesOfVertex(const MeshIndex& index, int v)
{
    assert(IsIndexedVertex(index, v));
    assert(HasListedFaces(index, v));
    const size_t slot = static_cast<size_t>(v);
    FaceCursor cursor = {nullptr, nullptr, ChainHead(index, v)};
    if (v < index.builtVertexCount) {
        cursor.next = index.incident.get() + index.firstFace[slot];
        cursor.end = index.incident.get() + index.firstFace[slot + 1];
    }
    return cursor;
}

// Every face that holds `a` or `b` (among others, perhaps), each once and in
// ascending order.
inline FaceMerge FacesHoldingEither(const MeshIndex& index, int a, int b)
{
    FaceMerge merge = {};
    if (IsIndexedVertex(index, a))
        merge.cursors[merge.count++] = FacesOfVertex(index, a);
    if (b != a && IsIndexedVertex(index, b))
        merge.cursors[merge.count++] = FacesOfVertex(index, b);
    if (NeedsStrayFaces(index, a) || NeedsStrayFaces(index, b)) {
        const int* first = index.strayFaces.data();
        merge.cursors[merge.count++] = {first, first + index.strayFaces.size(), -1};
    }
    return merge;
}

// The lowest face any cursor stands on, moving every cursor past it, or
// kNoFace when all are done.
inline int NextFace(const MeshIndex& index, FaceMerge& merge)
{
    if (merge.count == 1) {
        const int face = CurrentFace(index, merge.cursors[0]);
        Advance(index, merge.cursors[0]);
        return face;
    }
    int face = kNoFace;
    for (int i = 0; i < merge.count; ++i)
        face = std::min(face, CurrentFace(index, merge.cursors[i]));
    for (int i = 0; i < merge.count; ++i)
        if (CurrentFace(index, merge.cursors[i]) == face)
            Advance(index, merge.cursors[i]);
    return face;
}

// The faces of `v` as one array run, when that is all of them: a vertex of
// the build with no added face and no stray face that could name it. Else
// false.
inline bool OnlyRun(const MeshIndex& index, int v, const int*& first, const int*& last)
{
    if (!IsIndexedVertex(index, v))
        return false;
    assert(HasListedFaces(index, v));
    if (v >= index.builtVertexCount || NeedsStrayFaces(index, v) || ChainHead(index, v) >= 0)
        return false;
    const size_t slot = static_cast<size_t>(v);
    first = index.incident.get() + index.firstFace[slot];
    last = index.incident.get() + index.firstFace[slot + 1];
    // A deleted face leaves kNoFace at the end of the run.
    while (last != first && last[-1] == kNoFace)
        --last;
    return true;
}

// OnlyRun for a vertex no face names twice: its run's faces each hold it
// exactly once.
inline bool PlainRun(const MeshIndex& index, int v, const int*& first, const int*& last)
{
    return OnlyRun(index, v, first, last) && !IsRepeated(index, v);
}

// Calls visit(face) for every face that holds `a` or `b`, each once and in
// ascending order, until it returns false. The common case, one vertex
// whose faces are a run of the build, reads that run alone.
template <typename Visit>
void ForEachFaceHolding(const MeshIndex& index, int a, int b, Visit visit)
{
    if (a == b) {
        const int* first;
        const int* last;
        if (OnlyRun(index, a, first, last)) {
            for (; first != last; ++first)
                if (!visit(*first))
                    return;
            return;
        }
    }
    FaceMerge merge = FacesHoldingEither(index, a, b);
    for (int face = NextFace(index, merge); face != kNoFace; face = NextFace(index, merge))
        if (!visit(face))
            return;
}

// Calls found(h) for each face h in both ascending runs, in order, until
// it returns false.
template <typename Found>
void ForEachInBoth(const int* a, const int* aEnd, const int* b, const int* bEnd, Found found)
{
    while (a != aEnd && b != bEnd) {
        if (*a < *b) {
            ++a;
        } else if (*b < *a) {
            ++b;
        } else {
            if (!found(*a))
                return;
            ++a;
            ++b;
        }
    }
}

}  // namespace kivera
