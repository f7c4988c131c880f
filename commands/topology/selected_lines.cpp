#include "commands/topology/selected_lines.h"

#include <algorithm>
#include <new>

namespace {

struct LineReading {
    DocumentHandle document;
    int objectIndex;
    SelectedLines* lines;
};

}  // namespace

// Marks `v` as the end of a selected line, unless it names no vertex.
static void MarkLineEnd(SelectedLines& lines, int v)
{
    if (v >= 0 && v < lines.vertexCount)
        lines.lineEnds[v] = 1;
}

static void ReadSelectedLines(void* context, int face, const int* points, int count)
{
    const LineReading& reading = *static_cast<const LineReading*>(context);
    SelectedLines& lines = *reading.lines;
    if (face >= lines.faceCount)
        return;
    unsigned char mask = 0;
    // Lines and larger faces take no groove or bevel: their lines are not
    // asked about.
    if (count >= 3)
        for (int k = 0; k < count; ++k)
            if (DocIsSelectLine(reading.document, reading.objectIndex, face, k) == 1) {
                mask = static_cast<unsigned char>(mask | (1u << k));
                MarkLineEnd(lines, points[k]);
                MarkLineEnd(lines, points[(k + 1) % count]);
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
    LineReading reading = {document, objectIndex, &lines};
    return BuildMeshIndex(index, object, ReadSelectedLines, &reading, lines.lineEnds.get(),
                          lines.vertexCount);
}

int SelectedLineMask(const SelectedLines& lines, int face)
{
    return face >= 0 && face < lines.faceCount ? lines.masks[face] : 0;
}
