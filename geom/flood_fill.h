// Labelling the vertices a flood across face sides reaches.
#pragma once

#include "geom/function_ref.h"
#include "geom/mesh_index.h"

namespace kivera {

// Asked by FloodFillFromSeeds whether vertex `v` starts a fill.
using SeedTest = FunctionRef<bool(int v)>;

// Labels with `label` every vertex that a flood from a seed reaches across
// face sides without entering an already-labelled vertex: the seeds are the
// vertices v, in ascending order, for which isSeed(v) holds; isSeed
// is asked once for every vertex of the object, in ascending order. `labels`
// and `scratch` hold one int per vertex of the object; the scratch's
// contents afterwards are scratch. Since every fill gives the same label,
// only the set reached matters, not the order of the fills: the vertices
// are joined into the pieces that the sides between unlabelled vertices
// make, and every piece holding a seed is labelled. Face points outside the
// vertex range lead nowhere. Uses the index's faces only, so an index that
// lists no vertex's faces serves.
void FloodFillFromSeeds(MeshIndex& index, SeedTest isSeed, int label, int* labels, int* scratch);

}  // namespace kivera
