// One face of a mesh as the geometry sees it: up to four points. The
// commands are built for faces of at most four points (two-point faces are
// lines); a face with more does not fit their point arrays, so every command
// treats it exactly like an empty slot, with a count of 0.
#pragma once

namespace kivera {

constexpr int kMaxFacePoints = 4;

struct MeshFace {
    int points[kMaxFacePoints];   // slots at and beyond `count` hold -1
    int count;                    // 0: an empty slot or a face of more than four points
};

// A face may name a vertex outside its object's vertex list; such a point is
// never read, selected or marked, so no array is indexed with it.
inline bool IsVertexIndex(int v, int vertexCount) { return v >= 0 && v < vertexCount; }

// True when each of points[0..count-1] names a vertex of an object of
// `vertexCount` vertices.
inline bool AllVertexIndices(const int* points, int count, int vertexCount)
{
    for (int k = 0; k < count; ++k)
        if (!IsVertexIndex(points[k], vertexCount))
            return false;
    return true;
}

// The first position of `key` among points[0..count-1], or -1.
inline int FindPointPosition(const int* points, int count, int key)
{
    for (int k = 0; k < count; ++k)
        if (points[k] == key)
            return k;
    return -1;
}

// The point at `position` taken cyclically over the face: -1 is the last
// point, count + 1 is point 1. -1 for an empty face.
inline int PointAt(const MeshFace& face, int position)
{
    if (face.count <= 0)
        return -1;
    int k = position % face.count;
    if (k < 0)
        k += face.count;
    return face.points[k];
}

}  // namespace kivera
