// The selected lines of every polygon of one object, read while the index
// is built: groove and bevel visit every face's lines, and asking the host
// as the index reads each face goes through its faces once instead of twice.
// The commands add and delete faces afterwards, but no edit of theirs
// changes the selection of a face they have yet to visit.
#pragma once

#include <memory>

#include "hostaccess/host_api.h"
#include "hostaccess/mesh_editor.h"
#include "hostaccess/object_loops.h"
#include "geom/mesh_index.h"

namespace kivera {

// Per face, bit k set when line k (points k and k + 1) is selected; only
// faces of three or four points have bits. Per vertex, whether it ends such
// a line: the only vertices whose faces the commands ask for.
struct SelectedLines {
    std::unique_ptr<unsigned char[]> masks;
    int faceCount = 0;
    std::unique_ptr<unsigned char[]> lineEnds;
    int vertexCount = 0;
};

// Builds `index` for `object` (object `objectIndex` of `document`) and fills
// `lines` with the selected lines of its faces. The index lists the faces of
// the selected lines' ends alone: ask it about those vertices only (and
// about vertices added since). False, leaving the object alone, when the
// memory cannot be had.
bool BuildIndexWithSelectedLines(MeshIndex& index, SelectedLines& lines, DocumentHandle document,
                                 int objectIndex, ObjectHandle object);

// The selected-line bits of `face`; 0 for a number that is no face of the
// build.
int SelectedLineMask(const SelectedLines& lines, int face);

// Calls lineAction(editor, face, line) for each selected line of each
// face of three or four points of every object, in object, face and line
// order, the index built as BuildIndexWithSelectedLines builds it (one
// index serves every object). Faces added meanwhile are not visited, and a
// face deleted meanwhile reads as empty and is passed over; lineAction
// returning true ends that face's lines. An object whose index cannot be
// had is left alone, and so is the rest of one whose index stops following
// it (its answers would no longer describe it).
template <typename LineAction>
void ForEachSelectedPolygonLine(DocumentHandle document, LineAction lineAction)
{
    const MeshIndexPtr indexMemory = NewMeshIndex();
    if (!indexMemory)
        return;   // no working memory: every object is left alone
    MeshIndex& index = *indexMemory;
    SelectedLines lines;
    ForEachObject(document, [&](int objectIndex, ObjectHandle object) {
        if (!BuildIndexWithSelectedLines(index, lines, document, objectIndex, object))
            return;
        MeshEditor editor = {object, index};
        for (int face = 0; face < lines.faceCount; ++face) {
            const int selected = SelectedLineMask(lines, face);
            if (selected == 0)
                continue;
            const int n = IndexedFacePointCount(index, face);
            if (n < 3)
                continue;
            for (int line = 0; line < n; ++line)
                if ((selected & (1 << line)) != 0 && lineAction(editor, face, line))
                    break;
            if (!MeshIndexFollowsObject(index))
                break;
        }
    });
}

}  // namespace kivera
