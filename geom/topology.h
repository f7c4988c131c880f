// Topology derived on demand from the host's face lists: which faces hold two
// vertices, which vertices neighbour a vertex, which vertices a flood reaches,
// and the normal of a face. Faces of more than four points are treated as
// absent, like empty slots (see ReadFacePoints).
#pragma once

#include <vector>

#include "frame/host_api.h"
#include "geom/point3.h"

// Most faces FindFacesWithEdge reports; callers give lists of this size.
constexpr int kMaxEdgeFaces = 16;

// Appends `key` at list[count] unless it is among list[0..count-1]. Returns
// the new count. The caller sizes the list.
int AppendUnique(int* list, int count, int key);

// Faces, in ascending index order, whose points hold `a` and `b` with a hit
// count of exactly 2 over all positions (every position is tested against
// both). At most kMaxEdgeFaces are reported: the first ones in face order.
int FindFacesWithEdge(ObjectHandle object, int a, int b, int* list);

// The distinct vertices that share a face side with `v`, in order of
// discovery over the faces in index order. `neighbours` is cleared first and
// grows as needed, so no neighbour is ever cut off. Returns the count.
int CollectNeighbourVertices(ObjectHandle object, int v, std::vector<int>& neighbours);

// Labels with `label` every vertex reachable from `start` across face sides
// without entering an already-labelled vertex (last in, first out; a vertex
// is labelled when taken off the stack). `labels` and `stack` hold one int per
// vertex of the object. Returns 0, changing nothing, when `start` is already
// labelled (or is not a vertex of the object, or `label` is 0); else 1.
// Face points outside the vertex range lead nowhere.
int FloodFillConnected(ObjectHandle object, int start, int label, int* labels, int* stack);

// Unit normal of a face of three or four points; the zero vector for a
// degenerate face or one of any other point count.
Point3 FaceNormal(ObjectHandle object, int face);
