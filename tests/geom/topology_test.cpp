// The index's queries against small meshes given as plain face arrays. What
// they answer here (orders, caps, which faces count) is what every topology
// command sees, so the expectations are exact lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "geom/flood_fill.h"
#include "geom/mesh_index.h"
#include "geom/mesh_queries.h"
#include "tests/geom/face_arrays.h"
#include "tests/reference/flood_fill_reference.h"

namespace kivera_test {

using namespace kivera;

namespace {

class TopologyTest : public testing::Test {
protected:
    // An index of the faces as they are now.
    MeshIndex& Indexed()
    {
        EXPECT_TRUE(BuildMeshIndex(*index, mesh.faces, mesh.vertexCount));
        return *index;
    }

    void AddVertices(int count) { mesh.vertexCount += count; }

    int AddFace(const std::vector<int>& points) { return mesh.Add(points); }

    std::vector<int> FacesWithEdge(int a, int b)
    {
        int list[kMaxEdgeFaces + 1];
        list[kMaxEdgeFaces] = -12345;   // must survive: the list holds 16
        const int count = FindFacesWithEdge(Indexed(), a, b, list);
        EXPECT_EQ(list[kMaxEdgeFaces], -12345);
        return std::vector<int>(list, list + count);
    }

    std::vector<int> Neighbours(int v)
    {
        std::vector<int> list = {77, 78, 79};   // whatever it held is dropped
        const int count = CollectNeighbourVertices(Indexed(), v, list);
        EXPECT_EQ(count, static_cast<int>(list.size()));
        return list;
    }

    int Fill(int start, int label, std::vector<int>& labels, std::vector<int>& stack)
    {
        return FloodFillConnected(Indexed(), mesh.vertexCount, start, label, labels.data(),
                                  stack.data());
    }

    FaceArray mesh;
    MeshIndexPtr index = NewMeshIndex();
};

using Ints = std::vector<int>;

TEST(AppendUniqueTest, AppendsOnlyKeysNotAmongTheCountedEntries)
{
    int list[4] = {5, 6, 9, 9};
    EXPECT_EQ(AppendUnique(list, 2, 6), 2);
    EXPECT_EQ(AppendUnique(list, 2, 9), 3);   // the 9 at [2] lies beyond the count
    EXPECT_EQ(list[2], 9);
    EXPECT_EQ(AppendUnique(list, 3, 1), 4);
    EXPECT_EQ(list[3], 1);
    EXPECT_EQ(AppendUnique(list, 0, 5), 1);
}

TEST_F(TopologyTest, QuadAloneSidesAndDiagonalsBothCount)
{
    AddVertices(4);
    AddFace({0, 1, 2, 3});
    EXPECT_EQ(Neighbours(0), (Ints{3, 1}));
    EXPECT_EQ(Neighbours(2), (Ints{1, 3}));
    EXPECT_EQ(FacesWithEdge(0, 1), (Ints{0}));
    EXPECT_EQ(FacesWithEdge(0, 2), (Ints{0}));   // the diagonal qualifies too
    EXPECT_EQ(FacesWithEdge(3, 0), (Ints{0}));
}

TEST_F(TopologyTest, TwoTrianglesNeighboursInDiscoveryOrder)
{
    AddVertices(4);
    AddFace({0, 1, 2});
    AddFace({2, 1, 3});
    EXPECT_EQ(Neighbours(1), (Ints{0, 2, 3}));
    EXPECT_EQ(Neighbours(3), (Ints{1, 2}));
    EXPECT_EQ(FacesWithEdge(1, 2), (Ints{0, 1}));
    EXPECT_EQ(FacesWithEdge(2, 1), (Ints{0, 1}));
    EXPECT_EQ(FacesWithEdge(0, 3), Ints{});
    EXPECT_EQ(Neighbours(4), Ints{});   // no such vertex: no neighbours
}

TEST_F(TopologyTest, SameVertexTwiceCountsEveryPosition)
{
    AddVertices(4);
    AddFace({0, 1, 2});
    AddFace({2, 3, 1});
    // a == b: a face that holds the vertex once scores 2 hits.
    EXPECT_EQ(FacesWithEdge(1, 1), (Ints{0, 1}));
    EXPECT_EQ(FacesWithEdge(0, 0), (Ints{0}));
    EXPECT_EQ(FacesWithEdge(3, 3), (Ints{1}));
}

TEST_F(TopologyTest, RepeatedVertexInOneFace)
{
    AddVertices(3);
    AddFace({0, 0, 1});   // [a, a, b]
    // Three hits for (a, b), four for (a, a): neither is exactly 2.
    EXPECT_EQ(FacesWithEdge(0, 1), Ints{});
    EXPECT_EQ(FacesWithEdge(0, 0), Ints{});
    EXPECT_EQ(FacesWithEdge(1, 1), (Ints{0}));
    // The side from point 0 to point 1 joins a to itself: a is listed as
    // its own neighbour, after b.
    EXPECT_EQ(Neighbours(0), (Ints{1, 0}));
    EXPECT_EQ(Neighbours(1), (Ints{0}));
}

TEST_F(TopologyTest, TwoPointFacesAreLines)
{
    AddVertices(3);
    AddFace({0, 1});
    AddFace({1, 2});
    EXPECT_EQ(Neighbours(1), (Ints{0, 2}));   // each other end once
    EXPECT_EQ(Neighbours(0), (Ints{1}));
    EXPECT_EQ(FacesWithEdge(0, 1), (Ints{0}));
}

TEST_F(TopologyTest, EmptySlotsAndFacesOfFivePointsAreAbsent)
{
    AddVertices(6);
    AddFace({0, 1, 2, 3, 4});   // face 0: five points
    AddFace({0, 5, 1});         // face 1: deleted below
    AddFace({0, 1, 5});         // face 2
    mesh.Delete(1);
    EXPECT_EQ(FacesWithEdge(0, 1), (Ints{2}));
    EXPECT_EQ(FacesWithEdge(2, 3), Ints{});
    EXPECT_EQ(Neighbours(0), (Ints{5, 1}));
    EXPECT_EQ(Neighbours(3), Ints{});
}

TEST_F(TopologyTest, TwentyFacesOnOnePairReportTheFirstSixteen)
{
    AddVertices(2 + 20);
    Ints expected;
    for (int i = 0; i < 20; ++i) {
        AddFace({2 + i, 2 + (i + 1) % 20});   // a line that misses the pair
        const int face = AddFace({0, 2 + i, 1});
        if (i < kMaxEdgeFaces)
            expected.push_back(face);
    }
    EXPECT_EQ(FacesWithEdge(0, 1), expected);
    EXPECT_EQ(FacesWithEdge(1, 0), expected);
}

TEST_F(TopologyTest, FanOfTwoHundredNeighboursIsNeverCut)
{
    AddVertices(1 + 201);
    for (int i = 1; i <= 200; ++i)
        AddFace({0, i, i + 1});
    // Face i meets i + 1 (before 0 by wrap) and then i.
    Ints expected = {2, 1};
    for (int i = 3; i <= 201; ++i)
        expected.push_back(i);
    EXPECT_EQ(Neighbours(0), expected);

    std::vector<int> labels(202, 0), stack(202, -1);
    EXPECT_EQ(Fill(100, 3, labels, stack), 1);
    EXPECT_EQ(labels, std::vector<int>(202, 3));
}

TEST_F(TopologyTest, FloodLabelsOnlyThePieceOfTheStart)
{
    AddVertices(8);
    AddFace({0, 1, 2, 3});   // piece one: 0..3 and 4 over a line
    AddFace({3, 4});
    AddFace({5, 6, 7});      // piece two
    std::vector<int> labels(8, 0), stack(8, 0);
    EXPECT_EQ(Fill(2, 9, labels, stack), 1);
    EXPECT_EQ(labels, (Ints{9, 9, 9, 9, 9, 0, 0, 0}));
    // The second piece with another label; the first keeps its own.
    EXPECT_EQ(Fill(7, 4, labels, stack), 1);
    EXPECT_EQ(labels, (Ints{9, 9, 9, 9, 9, 4, 4, 4}));
    // Starting on a labelled vertex changes nothing.
    EXPECT_EQ(Fill(5, 6, labels, stack), 0);
    EXPECT_EQ(labels, (Ints{9, 9, 9, 9, 9, 4, 4, 4}));
}

TEST_F(TopologyTest, PrelabelledRingIsAWall)
{
    // A 3 x 3 grid of quads: vertices r * 4 + c for rows and columns 0..3.
    AddVertices(16);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            AddFace({r * 4 + c, r * 4 + c + 1, r * 4 + c + 5, r * 4 + c + 4});
    // Around the inner vertex 5: its side neighbours 1, 4, 6, 9 form the
    // ring; the diagonal corners are no neighbours, so the ring is closed.
    std::vector<int> labels(16, 0), stack(16, 0);
    for (int v : {1, 4, 6, 9})
        labels[static_cast<size_t>(v)] = 7;
    EXPECT_EQ(Fill(5, 2, labels, stack), 1);
    std::vector<int> expected(16, 0);
    expected[5] = 2;
    for (int v : {1, 4, 6, 9})
        expected[static_cast<size_t>(v)] = 7;
    EXPECT_EQ(labels, expected);
}

TEST_F(TopologyTest, FloodRefusesBadStartsAndLabelZero)
{
    AddVertices(3);
    AddFace({0, 1, 2});
    std::vector<int> labels(3, 0), stack(3, 0);
    EXPECT_EQ(Fill(0, 0, labels, stack), 0);
    EXPECT_EQ(Fill(-1, 1, labels, stack), 0);
    EXPECT_EQ(Fill(3, 1, labels, stack), 0);
    EXPECT_EQ(labels, (Ints{0, 0, 0}));
}

TEST_F(TopologyTest, IndicesOutsideTheObjectLeadNowhere)
{
    AddVertices(4);
    AddFace({0, 1, 2});
    AddFace({2, 50, 3});    // 50 and -7 name no vertex
    AddFace({3, -7, 0});
    // The neighbour list reports what the faces say...
    EXPECT_EQ(Neighbours(2), (Ints{1, 0, 3, 50}));
    EXPECT_EQ(FacesWithEdge(2, 50), (Ints{1}));
    // ...but the fill stays within the labels it was given (sized exactly:
    // any write past them is caught by the address sanitizer).
    std::vector<int> labels(4, 0), stack(4, 0);
    EXPECT_EQ(Fill(1, 5, labels, stack), 1);
    EXPECT_EQ(labels, (Ints{5, 5, 5, 5}));
}

TEST_F(TopologyTest, FillFromSeedsLabelsWhatFillsFromEachSeedWould)
{
    // Three pieces: 0..4 (a quad and a line), 5..7, and 8 alone; a face
    // that repeats a point and a face naming points outside the object.
    AddVertices(9);
    AddFace({0, 1, 2, 3});
    AddFace({3, 4});
    AddFace({5, 6, 6, 7});
    AddFace({7, 40, -3});
    // Face-only index, as the command builds it.
    static const unsigned char kNone = 0;
    MeshIndexOptions facesOnly;
    facesOnly.listed = &kNone;
    ASSERT_TRUE(BuildMeshIndex(*index, mesh.faces, mesh.vertexCount, facesOnly));

    // Two seeds in the first piece, one on a prelabelled vertex (a wall:
    // it starts nothing and cuts 4 off), one on the lone vertex.
    std::vector<int> labels(9, 0), scratch(9, -1);
    labels[3] = 7;
    Ints seeds = {1, 2, 3, 8};
    Ints asked;
    const auto isListedSeed = [&](int v) {
        asked.push_back(v);
        return std::find(seeds.begin(), seeds.end(), v) != seeds.end();
    };
    FloodFillFromSeeds(*index, isListedSeed, 5, labels.data(), scratch.data());
    EXPECT_EQ(labels, (Ints{5, 5, 5, 7, 0, 0, 0, 0, 5}));
    EXPECT_EQ(asked, (Ints{0, 1, 2, 3, 4, 5, 6, 7, 8}));

    // The same as fills one after the other would give, seed by seed.
    std::vector<int> byFills(9, 0), stack(9, 0);
    byFills[3] = 7;
    for (int seed : {1, 2, 3, 8})
        Fill(seed, 5, byFills, stack);
    EXPECT_EQ(labels, byFills);

    // A seed in the piece with the repeated point reaches through it; the
    // points outside the object lead nowhere and are never written.
    seeds = {6};
    FloodFillFromSeeds(*index, isListedSeed, 2, labels.data(), scratch.data());
    EXPECT_EQ(labels, (Ints{5, 5, 5, 7, 0, 2, 2, 2, 5}));

    // Label 0 labels nothing, but every vertex is still asked.
    seeds = {4};
    asked.clear();
    FloodFillFromSeeds(*index, isListedSeed, 0, labels.data(), scratch.data());
    EXPECT_EQ(labels, (Ints{5, 5, 5, 7, 0, 2, 2, 2, 5}));
    EXPECT_EQ(asked.size(), 9u);
}

}  // namespace

}  // namespace kivera_test
