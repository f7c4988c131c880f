// What the commands ask the index: which faces hold two points, which
// points neighbour a point, which polygons use a point.
#pragma once

#include <vector>

#include "geom/mesh_index.h"

namespace kivera {

// Most faces FindFacesWithEdge reports; callers give lists of this size.
constexpr int kMaxEdgeFaces = 16;

// Faces, in ascending index order, whose points hold `a` and `b` with a hit
// count of exactly 2 over all positions (every position is tested against
// both). At most kMaxEdgeFaces are reported: the first ones in face order.
int FindFacesWithEdge(const MeshIndex& index, int a, int b, int* list);

// For each side k of a face with points points[0..n-1] (side k joins points
// k and k + 1, the last side point n - 1 and 0), the faces FindFacesWithEdge
// reports for its two ends: counts[k] of them in lists[k]. n is at most
// kMaxFacePoints. Reads each point's faces once, so a face's sides cost
// about what one side costs when asked for alone.
void FindFacesAlongSides(const MeshIndex& index, const int* points, int n,
                         int (*lists)[kMaxEdgeFaces], int* counts);

// The distinct vertices that share a face side with `v`, in order of
// discovery over the faces in index order (within a face: each position
// holding v gives the point before it, then the point after it). The list is
// cleared first and grows as needed, so no neighbour is ever cut off.
// Returns the count. Uses the index's scratch (a long list makes its
// per-vertex stamps on first need).
int CollectNeighbourVertices(MeshIndex& index, int v, std::vector<int>& neighbours);

// Faces of three or four points holding `vertex`, in face order; a face that
// holds it twice is listed twice. Stops at `max` entries. Returns the count.
int FindPolygonsWithVertex(const MeshIndex& index, int vertex, int* faces, int max);

}  // namespace kivera
