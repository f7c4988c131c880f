// The walk that pairs two meshes, on a plain face array.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "geom/anchored_walk.h"
#include "tests/geom/face_arrays.h"

namespace kivera_test {

using namespace kivera;

namespace {

using Pairs = std::vector<std::pair<int, int>>;

TEST(AnchoredFaceWalk, GridIsWalkedDepthFirstFromTheAnchor)
{
    // A 2 x 2 grid: f0 (0 1 4 3), f1 (1 2 5 4), f2 (3 4 7 6), f3 (4 5 8 7).
    FaceArray mesh;
    mesh.vertexCount = 9;
    for (const std::vector<int>& face :
         {std::vector<int>{0, 1, 4, 3}, {1, 2, 5, 4}, {3, 4, 7, 6}, {4, 5, 8, 7}})
        mesh.Add(face);
    std::vector<unsigned char> states(4);
    std::vector<int> faces(4), anchors(4), sides(4 * kMaxFacePoints);
    FaceWalkScratch scratch = {states.data(), faces.data(), anchors.data(), sides.data(), 4};
    const MeshIndexPtr index = NewMeshIndex();
    MeshIndexOptions withSides;
    withSides.sides = sides.data();
    ASSERT_TRUE(BuildMeshIndex(*index, mesh.faces, mesh.vertexCount, withSides));
    Pairs visits;
    const auto record = [&](int face, int anchor, const int*, int) {
        visits.push_back({face, anchor});
        return true;
    };
    EXPECT_TRUE(AnchoredFaceWalk(*index, 0, 0, scratch, record));
    EXPECT_EQ(visits, (Pairs{{0, 0}, {2, 4}, {3, 4}, {1, 1}}));
    // The action can end the walk; arrays too small for the object visit nothing.
    visits.clear();
    AnchoredFaceWalk(*index, 0, 0, scratch, [&](int face, int anchor, const int*, int) {
        visits.push_back({face, anchor});
        return visits.size() < 2;
    });
    EXPECT_EQ(visits, (Pairs{{0, 0}, {2, 4}}));
    scratch.capacity = 3;
    EXPECT_FALSE(AnchoredFaceWalk(*index, 0, 0, scratch, record));
    EXPECT_EQ(visits.size(), 2u);
}

}  // namespace

}  // namespace kivera_test
