#include "tests/reference/flood_fill_reference.h"

#include <cassert>
#include <vector>

#include "geom/mesh_queries.h"

namespace kivera {

int AppendUnique(int* list, int count, int key)
{
    for (int i = 0; i < count; ++i)
        if (list[i] == key)
            return count;
    list[count] = key;
    return count + 1;
}

int FloodFillConnected(MeshIndex& index, int vertexCount, int start, int label, int* labels,
                       int* stack)
{
    if (label == 0)
        return 0;
    if (start < 0 || start >= vertexCount || labels[start] != 0)
        return 0;
    for (int i = 0; i < vertexCount; ++i)
        stack[i] = 0;
    int stackCount = 0;
    stack[stackCount++] = start;
    std::vector<int> neighbours;
    while (stackCount > 0) {
        const int v = stack[--stackCount];
        assert(v >= 0 && v < vertexCount && labels[v] == 0);
        labels[v] = label;
        CollectNeighbourVertices(index, v, neighbours);
        for (int w : neighbours) {
            if (w < 0 || w >= vertexCount || labels[w] != 0)
                continue;
            stackCount = AppendUnique(stack, stackCount, w);
        }
    }
    return 1;
}

}  // namespace kivera
