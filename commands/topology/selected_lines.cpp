#include "commands/topology/selected_lines.h"

#include <algorithm>
#include <new>

#include "hostaccess/mesh_reader.h"

namespace kivera {

// Marks `v` as the end of a selected line, unless it names no vertex.
static void MarkLineEnd(SelectedLines& lines, int v)
{
    if (v >= 0 && v < lines.vertexCount)
        lines.lineEnds[v] = 1;
}

// The selected lines of face `face`, as the index reads it.
static void ReadSelectedLines(SelectedLines& lines, DocumentHandle document, int objectIndex,
                              int face, const MeshFace& points)
{
    if (face >= lines.faceCount)
        return;
    const int count = points.count;
    unsigned char mask = 0;
    // Lines and larger faces take no groove or bevel: their lines are not
    // asked about.
    if (count >= 3)
        for (int k = 0; k < count; ++k)
            if (DocIsSelectLine(document, objectIndex, face, k) == 1) {
                mask = static_cast<unsigned char>(mask | (1u << k));
                MarkLineEnd(lines, points.points[k]);
                MarkLineEnd(lines, points.points[(k + 1) % count]);
            }
    lines.masks[face] = mask;
}

bool BuildIndexWithSelectedLines(MeshIndex& index, SelectedLines& lines, DocumentHandle document,
                                 int objectIndex, ObjectHandle object)
{
    const int faceCount = std::max(ObjGetFaceCount(object), 0);
    const int vertexCount = std::max(ObjGetVertexCount(object), 0);
    lines.masks.reset(new (std::nothrow) unsigned char[static_cast<size_t>(faceCount) + 1]());
    lines.lineEnds.reset(new (std::nothrow) unsigned char[static_cast<size_t>(vertexCount) + 1]());
    lines.faceCount = lines.masks ? faceCount : 0;
    lines.vertexCount = lines.lineEnds ? vertexCount : 0;
    if (!lines.masks || !lines.lineEnds)
        return false;
    auto readLines = [&](int face, const MeshFace& points) {
        ReadSelectedLines(lines, document, objectIndex, face, points);
    };
    MeshIndexOptions lineEndsOnly;
    lineEndsOnly.listed = lines.lineEnds.get();
    lineEndsOnly.listedCount = lines.vertexCount;
    return ReadMeshIndex(index, object, lineEndsOnly, readLines);
}

int SelectedLineMask(const SelectedLines& lines, int face)
{
    return face >= 0 && face < lines.faceCount ? lines.masks[face] : 0;
}

}  // namespace kivera
