// Split edges: open chains of selected vertices are traced from one end and
// each segment between consecutive chain vertices is replaced by two lines
// meeting at a new vertex halfway between its ends.
#pragma once

#include <vector>

#include "frame/host_api.h"
#include "geom/mesh_index.h"

// The neighbours of `vertex` in object `objectIndex`, whose faces `index`
// holds, that are selected, in order of discovery, compacted to the front of
// `neighbours` (which is resized to hold exactly them). Returns their count.
int SelectedNeighbours(DocumentHandle document, int objectIndex, MeshIndex& index, int vertex,
                       std::vector<int>& neighbours);
