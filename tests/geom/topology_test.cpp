// The topology helpers against small meshes held by the stand-in host. What
// they answer here (orders, caps, which faces count) is what every topology
// command sees, so the expectations are exact lists.
#include "geom/topology.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "frame/host_api.h"
#include "host/library/document.h"
#include "tests/support/test_support.h"

namespace {

class TopologyTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(BindHost(kivera_test::HostLibraryPath()), 1); }

    TopologyTest() : object(*doc.objects[static_cast<size_t>(host::AddObject(doc, "mesh"))]) {}

    ObjectHandle Handle() { return reinterpret_cast<ObjectHandle>(&object); }

    // An index of the object as it is now.
    MeshIndex& Indexed()
    {
        EXPECT_TRUE(BuildMeshIndex(index, Handle()));
        return index;
    }

    // Adds `count` vertices at distinct positions along x.
    void AddVertices(int count)
    {
        for (int i = 0; i < count; ++i)
            host::AddVertex(object, {static_cast<float>(object.vertices.size()), 0.0f, 0.0f});
    }

    int AddFace(const std::vector<int>& points)
    {
        const int face = host::AddFace(object, points);
        EXPECT_GE(face, 0);
        return face;
    }

    // A face naming vertices the object does not have, as a broken host
    // document might hold it.
    void AddFaceUnchecked(const std::vector<int>& points)
    {
        host::Face face;
        face.points = points;
        face.uv.assign(points.size(), host::UV{0.0f, 0.0f});
        face.lineSelected.assign(points.size(), 0);
        object.faces.push_back(face);
    }

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

    host::Document doc;
    host::Object& object;
    MeshIndex index;
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
    const Point3 n = FaceNormal(Handle(), 0);
    EXPECT_TRUE(IsEqual(n, {0, 0, 0}));
}

TEST_F(TopologyTest, TwoPointFacesAreLines)
{
    AddVertices(3);
    AddFace({0, 1});
    AddFace({1, 2});
    EXPECT_EQ(Neighbours(1), (Ints{0, 2}));   // each other end once
    EXPECT_EQ(Neighbours(0), (Ints{1}));
    EXPECT_EQ(FacesWithEdge(0, 1), (Ints{0}));
    EXPECT_TRUE(IsEqual(FaceNormal(Handle(), 0), {0, 0, 0}));
}

TEST_F(TopologyTest, EmptySlotsAndFacesOfFivePointsAreAbsent)
{
    AddVertices(6);
    AddFace({0, 1, 2, 3, 4});   // face 0: five points
    AddFace({0, 5, 1});         // face 1: deleted below
    AddFace({0, 1, 5});         // face 2
    ASSERT_TRUE(host::DeleteFace(object, 1));
    EXPECT_EQ(FacesWithEdge(0, 1), (Ints{2}));
    EXPECT_EQ(FacesWithEdge(2, 3), Ints{});
    EXPECT_EQ(Neighbours(0), (Ints{5, 1}));
    EXPECT_EQ(Neighbours(3), Ints{});
    EXPECT_TRUE(IsEqual(FaceNormal(Handle(), 0), {0, 0, 0}));
    EXPECT_TRUE(IsEqual(FaceNormal(Handle(), 1), {0, 0, 0}));
    EXPECT_TRUE(IsEqual(FaceNormal(Handle(), 99), {0, 0, 0}));
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

    std::vector<int> labels(object.vertices.size(), 0), stack(object.vertices.size(), -1);
    EXPECT_EQ(FloodFillConnected(Indexed(), 100, 3, labels.data(), stack.data()), 1);
    EXPECT_EQ(labels, std::vector<int>(object.vertices.size(), 3));
}

TEST_F(TopologyTest, FloodLabelsOnlyThePieceOfTheStart)
{
    AddVertices(8);
    AddFace({0, 1, 2, 3});   // piece one: 0..3 and 4 over a line
    AddFace({3, 4});
    AddFace({5, 6, 7});      // piece two
    std::vector<int> labels(8, 0), stack(8, 0);
    EXPECT_EQ(FloodFillConnected(Indexed(), 2, 9, labels.data(), stack.data()), 1);
    EXPECT_EQ(labels, (Ints{9, 9, 9, 9, 9, 0, 0, 0}));
    // The second piece with another label; the first keeps its own.
    EXPECT_EQ(FloodFillConnected(Indexed(), 7, 4, labels.data(), stack.data()), 1);
    EXPECT_EQ(labels, (Ints{9, 9, 9, 9, 9, 4, 4, 4}));
    // Starting on a labelled vertex changes nothing.
    EXPECT_EQ(FloodFillConnected(Indexed(), 5, 6, labels.data(), stack.data()), 0);
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
    EXPECT_EQ(FloodFillConnected(Indexed(), 5, 2, labels.data(), stack.data()), 1);
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
    EXPECT_EQ(FloodFillConnected(Indexed(), 0, 0, labels.data(), stack.data()), 0);
    EXPECT_EQ(FloodFillConnected(Indexed(), -1, 1, labels.data(), stack.data()), 0);
    EXPECT_EQ(FloodFillConnected(Indexed(), 3, 1, labels.data(), stack.data()), 0);
    EXPECT_EQ(labels, (Ints{0, 0, 0}));
}

TEST_F(TopologyTest, IndicesOutsideTheObjectLeadNowhere)
{
    AddVertices(4);
    AddFace({0, 1, 2});
    AddFaceUnchecked({2, 50, 3});    // 50 and -7 name no vertex
    AddFaceUnchecked({3, -7, 0});
    // The neighbour list reports what the faces say...
    EXPECT_EQ(Neighbours(2), (Ints{1, 0, 3, 50}));
    EXPECT_EQ(FacesWithEdge(2, 50), (Ints{1}));
    // ...but the fill stays within the labels it was given (sized exactly:
    // any write past them is caught by the address sanitizer).
    std::vector<int> labels(4, 0), stack(4, 0);
    EXPECT_EQ(FloodFillConnected(Indexed(), 1, 5, labels.data(), stack.data()), 1);
    EXPECT_EQ(labels, (Ints{5, 5, 5, 5}));
    EXPECT_TRUE(IsEqual(FaceNormal(Handle(), 1), {0, 0, 0}));
}

// Seeds for FloodFillFromSeeds: the listed vertices, and a record of what
// was asked.
struct SeedList {
    Ints seeds;
    Ints asked;
};

static bool IsListedSeed(void* context, int v)
{
    SeedList& list = *static_cast<SeedList*>(context);
    list.asked.push_back(v);
    return std::find(list.seeds.begin(), list.seeds.end(), v) != list.seeds.end();
}

TEST_F(TopologyTest, FillFromSeedsLabelsWhatFillsFromEachSeedWould)
{
    // Three pieces: 0..4 (a quad and a line), 5..7, and 8 alone; a face
    // that repeats a point and a face naming points outside the object.
    AddVertices(9);
    AddFace({0, 1, 2, 3});
    AddFace({3, 4});
    AddFace({5, 6, 6, 7});
    AddFaceUnchecked({7, 40, -3});
    // Face-only index, as the command builds it.
    static const unsigned char kNone = 0;
    ASSERT_TRUE(BuildMeshIndex(index, Handle(), nullptr, nullptr, &kNone, 0));

    // Two seeds in the first piece, one on a prelabelled vertex (a wall:
    // it starts nothing and cuts 4 off), one on the lone vertex.
    std::vector<int> labels(9, 0), scratch(9, -1);
    labels[3] = 7;
    SeedList list = {{1, 2, 3, 8}, {}};
    FloodFillFromSeeds(index, IsListedSeed, &list, 5, labels.data(), scratch.data());
    EXPECT_EQ(labels, (Ints{5, 5, 5, 7, 0, 0, 0, 0, 5}));
    EXPECT_EQ(list.asked, (Ints{0, 1, 2, 3, 4, 5, 6, 7, 8}));

    // The same as fills one after the other would give, seed by seed.
    std::vector<int> byFills(9, 0), stack(9, 0);
    byFills[3] = 7;
    BuildMeshIndex(index, Handle());
    for (int seed : {1, 2, 3, 8})
        FloodFillConnected(index, seed, 5, byFills.data(), stack.data());
    EXPECT_EQ(labels, byFills);

    // A seed in the piece with the repeated point reaches through it; the
    // points outside the object lead nowhere and are never written.
    list = {{6}, {}};
    FloodFillFromSeeds(index, IsListedSeed, &list, 2, labels.data(), scratch.data());
    EXPECT_EQ(labels, (Ints{5, 5, 5, 7, 0, 2, 2, 2, 5}));

    // Label 0 labels nothing, but every vertex is still asked.
    list = {{4}, {}};
    FloodFillFromSeeds(index, IsListedSeed, &list, 0, labels.data(), scratch.data());
    EXPECT_EQ(labels, (Ints{5, 5, 5, 7, 0, 2, 2, 2, 5}));
    EXPECT_EQ(list.asked.size(), 9u);
}

TEST_F(TopologyTest, FaceNormalOfTrianglesAndQuads)
{
    host::AddVertex(object, {0, 0, 0});
    host::AddVertex(object, {1, 0, 0});
    host::AddVertex(object, {1, 1, 0});
    host::AddVertex(object, {0, 1, 0});
    host::AddVertex(object, {1, 1, 1});
    host::AddVertex(object, {2, 2, 0});
    AddFace({0, 1, 3});      // triangle
    AddFace({0, 1, 2, 3});   // square
    AddFace({0, 1, 4, 3});   // bent: the b-d split is flatter
    AddFace({0, 2, 5});      // collinear
    EXPECT_TRUE(IsEqual(FaceNormal(Handle(), 0), {0, 0, -1}));
    EXPECT_TRUE(IsEqual(FaceNormal(Handle(), 1), {0, 0, -1}));
    const Point3 bent = FaceNormal(Handle(), 2);
    EXPECT_TRUE(IsEqual(bent, {0x1.4cdbe6p-2f, 0x1.4cdbe6p-2f, -0x1.c6b19ep-1f}));
    EXPECT_TRUE(IsEqual(FaceNormal(Handle(), 3), {0, 0, 0}));
}

TEST_F(TopologyTest, FaceNormalOfANaNCornerIsZero)
{
    host::AddVertex(object, {0, 0, 0});
    host::AddVertex(object, {std::numeric_limits<float>::quiet_NaN(), 0, 0});
    host::AddVertex(object, {0, 1, 0});
    AddFace({0, 1, 2});
    EXPECT_TRUE(IsEqual(FaceNormal(Handle(), 0), {0, 0, 0}));
}

}  // namespace
