// The index as a command edits the object under it: after every recorded
// edit it must answer exactly as an index built afresh from the host, which
// the differential tests hold to the plain scan of every face.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "frame/host_api.h"
#include "geom/topology.h"
#include "host/library/document.h"
#include "tests/support/test_support.h"

namespace {

using Ints = std::vector<int>;

// A number in 0 .. count - 1.
int Pick(std::mt19937& dice, int count)
{
    return static_cast<int>(dice() % static_cast<unsigned>(count));
}

class MeshIndexTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(BindHost(kivera_test::HostLibraryPath()), 1); }

    MeshIndexTest() : object(*doc.objects[static_cast<size_t>(host::AddObject(doc, "mesh"))]) {}

    ObjectHandle Handle() { return reinterpret_cast<ObjectHandle>(&object); }

    void AddVertices(int count)
    {
        for (int i = 0; i < count; ++i)
            host::AddVertex(object, {static_cast<float>(i), 0.0f, 0.0f});
    }

    // A face naming vertices the object lacks, past the host's checks.
    void AddStrayFace(const Ints& points)
    {
        host::Face face;
        face.points = points;
        face.uv.assign(points.size(), host::UV{0.0f, 0.0f});
        face.lineSelected.assign(points.size(), 0);
        object.faces.push_back(face);
    }

    // Edits through the host, recorded in `index` as a command records them.
    void AddVertex()
    {
        ASSERT_TRUE(ReserveMeshEdits(index, 1, 0));
        const int v = host::AddVertex(object, {1.0f, 2.0f, 3.0f});
        EXPECT_TRUE(MeshIndexAddVertex(index, v));
    }
    void AddFace(const Ints& points)
    {
        ASSERT_TRUE(ReserveMeshEdits(index, 0, 1));
        const int face = host::AddFace(object, points);
        EXPECT_TRUE(MeshIndexAddFace(index, face, static_cast<int>(points.size()), points.data()));
    }
    void DeleteFace(int face)
    {
        if (host::DeleteFace(object, face)) {
            EXPECT_TRUE(MeshIndexDeleteFace(index, face));
        }
    }

    // Every answer of `index` about vertices -3 .. count + 2 equals that of
    // an index built from the host now.
    void ExpectSameAsFreshBuild()
    {
        MeshIndex fresh;
        ASSERT_TRUE(BuildMeshIndex(fresh, Handle()));
        const int count = static_cast<int>(object.vertices.size());
        std::vector<int> mine, theirs;
        for (int a = -3; a < count + 3; ++a) {
            EXPECT_EQ(CollectNeighbourVertices(index, a, mine),
                      CollectNeighbourVertices(fresh, a, theirs));
            EXPECT_EQ(mine, theirs) << "neighbours of " << a;
            int polygons[8], freshPolygons[8];
            const int found = FindPolygonsWithVertex(index, a, polygons, 8);
            ASSERT_EQ(found, FindPolygonsWithVertex(fresh, a, freshPolygons, 8)) << a;
            EXPECT_EQ(Ints(polygons, polygons + found), Ints(freshPolygons, freshPolygons + found));
            for (int b = -3; b < count + 3; ++b) {
                int faces[kMaxEdgeFaces], freshFaces[kMaxEdgeFaces];
                const int n = FindFacesWithEdge(index, a, b, faces);
                ASSERT_EQ(n, FindFacesWithEdge(fresh, a, b, freshFaces)) << a << ", " << b;
                EXPECT_EQ(Ints(faces, faces + n), Ints(freshFaces, freshFaces + n));
            }
        }
        // A face's sides asked together answer as each side asked alone.
        const int faceCount = static_cast<int>(object.faces.size());
        for (int face = 0; face < faceCount; ++face) {
            int points[kMaxFacePoints];
            const int n = IndexedFacePoints(index, face, points);
            int lists[kMaxFacePoints][kMaxEdgeFaces], counts[kMaxFacePoints];
            FindFacesAlongSides(index, points, n, lists, counts);
            for (int k = 0; k < n; ++k) {
                int faces[kMaxEdgeFaces];
                const int found = FindFacesWithEdge(index, points[k], points[(k + 1) % n], faces);
                ASSERT_EQ(counts[k], found) << "face " << face << " side " << k;
                EXPECT_EQ(Ints(lists[k], lists[k] + found), Ints(faces, faces + found));
            }
        }
        ExpectSideTableAgrees(index);
        ExpectSideTableAgrees(fresh);
        // A build that fills the table as it goes gives the same table.
        std::vector<int> built(object.faces.size() * kMaxFacePoints);
        std::vector<int> asked(built.size());
        MeshIndex withSides;
        ASSERT_TRUE(BuildMeshIndexWithSides(withSides, Handle(), built.data()));
        FindSideNeighbours(fresh, asked.data(), faceCount);
        EXPECT_EQ(built, asked);
        EXPECT_TRUE(MeshIndexFollowsObject(index));
    }

    // Where the side table of `which` answers, it says what FindFacesWithEdge
    // says for the side's two ends.
    void ExpectSideTableAgrees(const MeshIndex& which)
    {
        const int faceCount = static_cast<int>(object.faces.size());
        std::vector<int> sides(static_cast<size_t>(faceCount) * kMaxFacePoints);
        FindSideNeighbours(which, sides.data(), faceCount);
        for (int face = 0; face < faceCount; ++face) {
            int points[kMaxFacePoints];
            const int n = IndexedFacePoints(which, face, points);
            for (int k = 0; k < n; ++k) {
                const int across = sides[static_cast<size_t>(face) * kMaxFacePoints + k];
                if (across == kAskForSide)
                    continue;
                int faces[kMaxEdgeFaces];
                const int found = FindFacesWithEdge(which, points[k], points[(k + 1) % n], faces);
                Ints expected = {face};
                if (across != kNoSideNeighbour)
                    expected = {std::min(face, across), std::max(face, across)};
                EXPECT_EQ(Ints(faces, faces + found), expected) << "face " << face << " side " << k;
            }
        }
    }

    host::Document doc;
    host::Object& object;
    MeshIndex index;
};

TEST_F(MeshIndexTest, TheSideTableNamesTheOneFaceAcrossAndLeavesTheRestToAsk)
{
    AddVertices(10);
    host::AddFace(object, {0, 1, 4, 3});   // f0
    host::AddFace(object, {1, 2, 5, 4});   // f1: across side 1-4 from f0
    host::AddFace(object, {4, 1, 6});      // f2: a third face on side 1-4
    host::AddFace(object, {3, 4, 7});      // f3: across side 4-3 from f0
    host::AddFace(object, {0, 4, 8});      // f4: side 0-4 is f0's diagonal
    host::AddFace(object, {2, 9, 5});      // f5: across side 5-2 from f1
    ASSERT_TRUE(BuildMeshIndex(index, Handle()));
    std::vector<int> sides(6 * kMaxFacePoints);
    FindSideNeighbours(index, sides.data(), 6);
    const auto side = [&sides](int face, int k) { return sides[static_cast<size_t>(face * kMaxFacePoints + k)]; };
    EXPECT_EQ(side(0, 0), kNoSideNeighbour);
    EXPECT_EQ(side(0, 1), kAskForSide);   // f0, f1 and f2 hold 1 and 4
    EXPECT_EQ(side(0, 2), 3);
    EXPECT_EQ(side(3, 0), 0);
    EXPECT_EQ(side(4, 0), 0);             // f0 holds 0 and 4 too, not as a side
    EXPECT_EQ(side(1, 1), 5);
    EXPECT_EQ(side(5, 2), 1);
    EXPECT_EQ(side(5, 0), kNoSideNeighbour);
    ExpectSameAsFreshBuild();
    // After an edit the table still agrees, vertex by vertex.
    DeleteFace(2);
    FindSideNeighbours(index, sides.data(), 6);
    EXPECT_EQ(side(0, 1), 1);
    EXPECT_EQ(side(1, 3), 0);
    ExpectSameAsFreshBuild();
}

// Meshes where no face repeats a vertex or names one the object lacks: the
// builds that fill the side table while placing the faces.
TEST_F(MeshIndexTest, PlainMeshesGetTheSameSideTableFromTheBuild)
{
    std::mt19937 dice(11);
    const auto pick = [&dice](int count) { return Pick(dice, count); };
    AddVertices(9);
    for (int round = 0; round < 60; ++round) {
        // One to four distinct points, so that sides are shared by one, two
        // or more faces, and some faces hold two points diagonally.
        Ints points;
        const size_t n = static_cast<size_t>(1 + pick(4));
        while (points.size() < n) {
            const int p = pick(9);
            if (std::find(points.begin(), points.end(), p) == points.end())
                points.push_back(p);
        }
        host::AddFace(object, points);
        if (round % 7 == 6)
            host::DeleteFace(object, pick(static_cast<int>(object.faces.size())));
        ASSERT_TRUE(BuildMeshIndex(index, Handle()));
        ExpectSameAsFreshBuild();
    }
}

TEST_F(MeshIndexTest, AVertexWithMoreFacesThanAByteCountsHasItsSidesAsked)
{
    // A fan of 300 triangles around vertex 0, each sharing a side with the next.
    AddVertices(302);
    for (int i = 1; i <= 300; ++i)
        host::AddFace(object, {0, i, i + 1});
    host::AddFace(object, {5, 4, 301});   // across the fan's rim from face 3
    MeshIndex built;
    std::vector<int> sides(301 * kMaxFacePoints);
    ASSERT_TRUE(BuildMeshIndexWithSides(built, Handle(), sides.data()));
    EXPECT_EQ(sides[0 * kMaxFacePoints + 0], kAskForSide);   // side 0-1, at the crowded vertex
    EXPECT_EQ(sides[3 * kMaxFacePoints + 1], 300);           // side 4-5, away from it
    EXPECT_EQ(sides[300 * kMaxFacePoints + 0], 3);
    EXPECT_EQ(sides[300 * kMaxFacePoints + 1], kNoSideNeighbour);
    ASSERT_TRUE(BuildMeshIndex(index, Handle()));
    ExpectSideTableAgrees(index);
}

TEST_F(MeshIndexTest, RandomEditsAnswerAsAFreshBuild)
{
    std::mt19937 dice(7);
    const auto pick = [&dice](int count) { return Pick(dice, count); };
    AddVertices(8);
    for (int i = 0; i < 10; ++i)
        host::AddFace(object, {pick(8), pick(8), pick(8), pick(8)});
    AddStrayFace({2, 9, 3});   // 9 is the number the second added vertex takes
    AddStrayFace({-1, 4});
    ASSERT_TRUE(BuildMeshIndex(index, Handle()));
    ExpectSameAsFreshBuild();
    for (int step = 0; step < 40; ++step) {
        const int vertices = static_cast<int>(object.vertices.size());
        switch (pick(3)) {
        case 0:
            AddVertex();
            break;
        case 1: {
            // Lines, triangles and quads, some repeating a vertex.
            Ints points(static_cast<size_t>(2 + pick(3)));
            for (int& p : points)
                p = pick(vertices);
            AddFace(points);
            break;
        }
        default:
            DeleteFace(pick(static_cast<int>(object.faces.size())));
        }
        ExpectSameAsFreshBuild();
    }
}

TEST_F(MeshIndexTest, AVertexAddedLaterFindsTheStrayFacesNamingIt)
{
    AddVertices(3);
    host::AddFace(object, {0, 1, 2});
    AddStrayFace({1, 4, 2});   // 4 names no vertex yet
    ASSERT_TRUE(BuildMeshIndex(index, Handle()));
    int faces[kMaxEdgeFaces];
    ASSERT_EQ(FindFacesWithEdge(index, 1, 4, faces), 1);
    EXPECT_EQ(faces[0], 1);
    AddVertex();   // 3
    AddVertex();   // 4: the stray face's point is a vertex now
    AddFace({4, 0});
    ExpectSameAsFreshBuild();
    std::vector<int> neighbours;
    CollectNeighbourVertices(index, 4, neighbours);
    EXPECT_EQ(neighbours, (Ints{1, 2, 0}));
    ASSERT_EQ(FindFacesWithEdge(index, 4, 2, faces), 1);
    EXPECT_EQ(faces[0], 1);
    DeleteFace(1);
    ExpectSameAsFreshBuild();
}

TEST_F(MeshIndexTest, AHubWithManyNeighboursListsEachOnceInOrder)
{
    // Vertex 0 in forty triangles, two of them naming points outside the
    // object and one naming 0 twice: the long list switches from searching
    // to stamps partway and must keep the order of discovery.
    AddVertices(42);
    for (int i = 1; i <= 40; ++i)
        host::AddFace(object, {0, i, i + 1});
    AddStrayFace({0, 50, 3});
    AddStrayFace({-4, 0, 50});
    host::AddFace(object, {0, 0, 7});
    ASSERT_TRUE(BuildMeshIndex(index, Handle()));
    std::vector<int> neighbours;
    CollectNeighbourVertices(index, 0, neighbours);
    Ints expected = {2, 1};   // face 0: the point before 0 (by wrap), then after
    for (int i = 3; i <= 41; ++i)
        expected.push_back(i);
    for (int w : {50, -4, 0})
        expected.push_back(w);
    EXPECT_EQ(neighbours, expected);
    AddVertex();   // 42
    AddFace({42, 0, 1});
    ExpectSameAsFreshBuild();
    CollectNeighbourVertices(index, 0, neighbours);
    expected.push_back(42);
    EXPECT_EQ(neighbours, expected);
}

TEST_F(MeshIndexTest, SplitLikeEditsAnswerAsAFreshBuild)
{
    // A strip of two quads; the shared side 1-4 is split the way the edge
    // splitter does it, then the faces on it are deleted.
    AddVertices(6);
    host::AddFace(object, {0, 1, 4, 3});
    host::AddFace(object, {1, 2, 5, 4});
    ASSERT_TRUE(BuildMeshIndex(index, Handle()));
    AddVertex();   // 6, the midpoint
    AddFace({1, 6});
    AddFace({4, 6});
    ExpectSameAsFreshBuild();
    DeleteFace(0);
    DeleteFace(1);
    ExpectSameAsFreshBuild();
    int faces[kMaxEdgeFaces];
    ASSERT_EQ(FindFacesWithEdge(index, 1, 6, faces), 1);
    EXPECT_EQ(faces[0], 2);
}

TEST_F(MeshIndexTest, EditsNumberedOtherThanNextLoseTheObject)
{
    AddVertices(3);
    host::AddFace(object, {0, 1, 2});
    ASSERT_TRUE(BuildMeshIndex(index, Handle()));
    EXPECT_TRUE(MeshIndexAddVertex(index, -1));   // refused: nothing to record
    EXPECT_TRUE(MeshIndexAddFace(index, -1, 2, nullptr));
    EXPECT_TRUE(MeshIndexFollowsObject(index));
    const int points[2] = {0, 1};
    EXPECT_FALSE(MeshIndexAddFace(index, 5, 2, points));
    EXPECT_FALSE(MeshIndexFollowsObject(index));
    ASSERT_TRUE(BuildMeshIndex(index, Handle()));   // a build starts afresh
    EXPECT_TRUE(MeshIndexFollowsObject(index));
    EXPECT_FALSE(MeshIndexAddVertex(index, 7));
    EXPECT_FALSE(MeshIndexFollowsObject(index));
}

TEST_F(MeshIndexTest, TheBuildHookSeesEveryFaceInOrderAsTheIndexHoldsIt)
{
    AddVertices(6);
    host::AddFace(object, {0, 1, 2, 3});
    host::AddFace(object, {0, 1, 2, 3, 4});   // more than four points: no usable points
    host::AddFace(object, {4, 5});
    host::DeleteFace(object, 2);
    AddStrayFace({5, 9, 1});
    struct Seen {
        std::vector<Ints> faces;
    } seen;
    const MeshIndexFaceHook hook = [](void* context, int face, const int* points, int count) {
        auto& faces = static_cast<Seen*>(context)->faces;
        EXPECT_EQ(face, static_cast<int>(faces.size()));
        faces.emplace_back(points, points + count);
    };
    ASSERT_TRUE(BuildMeshIndex(index, Handle(), hook, &seen));
    EXPECT_EQ(seen.faces, (std::vector<Ints>{{0, 1, 2, 3}, {}, {}, {5, 9, 1}}));
    for (int face = 0; face < 4; ++face) {
        int points[kMaxFacePoints];
        const int n = IndexedFacePoints(index, face, points);
        EXPECT_EQ(Ints(points, points + n), seen.faces[static_cast<size_t>(face)]);
        EXPECT_EQ(IndexedFacePointCount(index, face), n);
    }
}

TEST_F(MeshIndexTest, AnIndexListingSomeVerticesAnswersForThoseAsAFullOne)
{
    std::mt19937 dice(11);
    const auto pick = [&dice](int count) { return Pick(dice, count); };
    AddVertices(10);
    for (int i = 0; i < 14; ++i)
        host::AddFace(object, {pick(10), pick(10), pick(10), pick(10)});
    AddStrayFace({3, 12, 5});
    const unsigned char listed[10] = {1, 0, 1, 0, 0, 1, 0, 1, 0, 0};
    ASSERT_TRUE(BuildMeshIndex(index, Handle(), nullptr, nullptr, listed, 10));
    // Edits as a groove makes them: new vertices, faces on old and new
    // vertices, faces deleted.
    AddVertex();
    AddFace({0, 10, 5});
    AddFace({2, 7, 10, 1});
    DeleteFace(3);
    DeleteFace(15);
    MeshIndex full;
    ASSERT_TRUE(BuildMeshIndex(full, Handle()));
    const Ints asked = {0, 2, 5, 7, 10, 12, -1};
    for (int a : asked)
        for (int b : asked) {
            int faces[kMaxEdgeFaces], fullFaces[kMaxEdgeFaces];
            const int n = FindFacesWithEdge(index, a, b, faces);
            ASSERT_EQ(n, FindFacesWithEdge(full, a, b, fullFaces)) << a << ", " << b;
            EXPECT_EQ(Ints(faces, faces + n), Ints(fullFaces, fullFaces + n)) << a << ", " << b;
        }
}

TEST_F(MeshIndexTest, AReservedIndexBuildsSmallerObjectsInPlace)
{
    AddVertices(5);
    host::AddFace(object, {0, 1, 2, 3});
    host::AddFace(object, {3, 4, 0});
    ASSERT_TRUE(ReserveMeshIndex(index, 10, 4));
    const int* incident = index.incident.get();
    const MeshIndexFace* faces = index.faces.data();
    const int* firstFace = index.firstFace.data();
    ASSERT_TRUE(BuildMeshIndex(index, Handle()));
    EXPECT_EQ(index.incident.get(), incident);
    EXPECT_EQ(index.faces.data(), faces);
    EXPECT_EQ(index.firstFace.data(), firstFace);
    EXPECT_FALSE(ReserveMeshIndex(index, -1, 0));
}

}  // namespace
