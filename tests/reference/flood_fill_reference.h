// The flood fill vertex by vertex, as the plain approach floods: the tests
// hold FloodFillFromSeeds to it, and the reference module fills with it.
#pragma once

#include "geom/mesh_index.h"

namespace kivera {

// Appends `key` at list[count] unless it is among list[0..count-1]. Returns
// the new count. The caller sizes the list.
int AppendUnique(int* list, int count, int key);

// Labels with `label` every vertex reachable from `start` across face sides
// (CollectNeighbourVertices) without entering an already-labelled vertex
// (last in, first out; a vertex is labelled when taken off the stack;
// neighbours are pushed in their order of discovery, a vertex already on
// the stack is not pushed again). `labels` and `stack` hold one int per
// vertex of the object, `vertexCount` of them. Returns 0, changing nothing,
// when `start` is already labelled (or is not a vertex of the object, or
// `label` is 0); else 1. Face points outside the vertex range lead nowhere.
int FloodFillConnected(MeshIndex& index, int vertexCount, int start, int label, int* labels,
                       int* stack);

}  // namespace kivera
