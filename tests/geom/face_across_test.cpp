// The face across a selected line, which groove and bevel share, and the
// small face helpers it is built from, on plain face arrays.
#include <gtest/gtest.h>

#include <vector>

#include "geom/face_across.h"
#include "geom/mesh_index.h"
#include "tests/geom/face_arrays.h"

namespace kivera_test {

using namespace kivera;

namespace {

TEST(PointAt, WrapsPositionsBothWays)
{
    const MeshFace face = MakeFace({10, 11, 12});
    EXPECT_EQ(PointAt(face, 2), 12);
    EXPECT_EQ(PointAt(face, -1), 12);
    EXPECT_EQ(PointAt(face, 3 + 1), 11);
    EXPECT_EQ(PointAt(face, -4), 12);
    EXPECT_EQ(PointAt(MakeFace({}), 5), -1);
    const int points[] = {4, 7, 4};
    EXPECT_EQ(FindPointPosition(points, 3, 4), 0);   // the first of two
    EXPECT_EQ(FindPointPosition(points, 3, 5), -1);
    EXPECT_FALSE(AllVertexIndices(points, 3, 7));
    EXPECT_TRUE(AllVertexIndices(points, 3, 8));
}

// The edge a-b = 1-2 of F = [p, a, b, e] = [0, 1, 2, 3], vertices 0 to 6,
// with F as face 0 and the second face as face 1.
TEST(FindFaceAcrossLine, GivesTheCornersBesideTheLineOrRefusesIt)
{
    struct Case {
        const char* name;
        std::vector<std::vector<int>> faces;
        int line;
        bool found;
        LineAcross expected;   // when found
    };
    const std::vector<int> f = {0, 1, 2, 3};
    const Case cases[] = {
        {"quads wound the other way", {f, {4, 2, 1, 5}}, 1, true, {1, 2, 0, 3, 4, 5, 1}},
        {"its last line, the other face starting at a", {{2, 3, 0, 1}, {1, 5, 4, 2}}, 3, true,
         {1, 2, 0, 3, 4, 5, 1}},
        {"triangles", {{0, 1, 2}, {4, 2, 1}}, 1, true, {1, 2, 0, 0, 4, 4, 1}},
        {"border line", {f, {4, 2, 1, 5}}, 0, false, {}},
        {"line past the face's points", {f, {4, 2, 1, 5}}, 4, false, {}},
        {"second face holds a twice, no b", {f, {1, 6, 1, 5}}, 1, false, {}},
        {"second face holds b twice, no a", {f, {2, 6, 2, 5}}, 1, false, {}},
        {"second face turned the same way", {f, {6, 1, 2, 4}}, 1, false, {}},
        {"line is the second face's diagonal", {f, {1, 5, 2, 4}}, 1, false, {}},
        {"second face of two points", {f, {2, 1}}, 1, false, {}},
        {"second face of five points", {f, {4, 2, 1, 5, 6}}, 1, false, {}},
        {"first face of two points", {{1, 2}, {4, 2, 1, 5}}, 0, false, {}},
        {"first face of five points", {{6, 0, 1, 2, 3}, {4, 2, 1, 5}}, 2, false, {}},
        {"a third face on the line", {f, {4, 2, 1, 5}, {6, 2, 1}}, 1, false, {}},
        {"second face names no vertex", {f, {4, 2, 1, 99}}, 1, false, {}},
        {"first face names no vertex", {{-7, 1, 2, 3}, {4, 2, 1, 5}}, 1, false, {}},
    };
    const MeshIndexPtr index = NewMeshIndex();
    ASSERT_TRUE(index);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FaceArray mesh;
        mesh.vertexCount = 7;
        for (const std::vector<int>& points : c.faces)
            mesh.Add(points);
        ASSERT_TRUE(BuildMeshIndex(*index, mesh.faces, mesh.vertexCount));
        LineAcross across = {-9, -9, -9, -9, -9, -9, -9};
        ASSERT_EQ(FindFaceAcrossLine(*index, 0, c.line, across), c.found);
        if (!c.found)
            continue;
        const LineAcross& e = c.expected;
        EXPECT_EQ(std::vector<int>({across.a, across.b, across.p, across.e, across.q, across.r,
                                    across.otherFace}),
                  std::vector<int>({e.a, e.b, e.p, e.e, e.q, e.r, e.otherFace}));
    }
}

}  // namespace

}  // namespace kivera_test
