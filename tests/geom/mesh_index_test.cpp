// The index as a command edits the object under it: after every recorded
// edit it must answer exactly as an index built afresh from the faces, which
// the differential tests hold to the plain scan of every face.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "geom/mesh_index.h"
#include "geom/mesh_queries.h"
#include "geom/side_table.h"
#include "tests/geom/face_arrays.h"

namespace kivera_test {

using namespace kivera;

namespace {

using Ints = std::vector<int>;

// A number in 0 .. count - 1.
int Pick(std::mt19937& dice, int count)
{
    return static_cast<int>(dice() % static_cast<unsigned>(count));
}

class MeshIndexTest : public testing::Test {
protected:
    void AddVertices(int count) { mesh.vertexCount += count; }

    // A face naming vertices the object lacks.
    void AddStrayFace(const Ints& points) { mesh.Add(points); }

    // Edits of the faces, recorded in `index` as a command records them.
    void AddVertex()
    {
        ASSERT_TRUE(ReserveMeshEdits(index, 1, 0));
        EXPECT_TRUE(MeshIndexAddVertex(index, mesh.vertexCount++));
    }
    void AddFace(const Ints& points)
    {
        ASSERT_TRUE(ReserveMeshEdits(index, 0, 1));
        const int face = mesh.Add(points);
        EXPECT_TRUE(MeshIndexAddFace(index, face, static_cast<int>(points.size()), points.data()));
    }
    void DeleteFace(int face)
    {
        if (mesh.Delete(face)) {
            EXPECT_TRUE(MeshIndexDeleteFace(index, face));
        }
    }

    bool Build(MeshIndex& which, const MeshIndexOptions& options = {})
    {
        return BuildMeshIndex(which, mesh.faces, mesh.vertexCount, options);
    }

    // Every answer of `index` about vertices -3 .. count + 2 equals that of
    // an index built from the faces now.
    void ExpectSameAsFreshBuild()
    {
        const MeshIndexPtr freshIndex = NewMeshIndex();
        MeshIndex& fresh = *freshIndex;
        ASSERT_TRUE(Build(fresh));
        const int count = mesh.vertexCount;
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
        const int faceCount = static_cast<int>(mesh.faces.size());
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
        std::vector<int> built(mesh.faces.size() * kMaxFacePoints);
        std::vector<int> asked(built.size());
        MeshIndexOptions options;
        options.sides = built.data();
        ASSERT_TRUE(Build(*NewMeshIndex(), options));
        FindSideNeighbours(fresh, asked.data(), faceCount);
        EXPECT_EQ(built, asked);
        EXPECT_TRUE(MeshIndexFollowsObject(index));
    }

    // Where the side table of `which` answers, it says what FindFacesWithEdge
    // says for the side's two ends.
    void ExpectSideTableAgrees(const MeshIndex& which)
    {
        const int faceCount = static_cast<int>(mesh.faces.size());
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

    FaceArray mesh;
    const MeshIndexPtr indexMemory = NewMeshIndex();
    MeshIndex& index = *indexMemory;
};

TEST_F(MeshIndexTest, TheSideTableNamesTheOneFaceAcrossAndLeavesTheRestToAsk)
{
    AddVertices(10);
    mesh.Add({0, 1, 4, 3});   // f0
    mesh.Add({1, 2, 5, 4});   // f1: across side 1-4 from f0
    mesh.Add({4, 1, 6});      // f2: a third face on side 1-4
    mesh.Add({3, 4, 7});      // f3: across side 4-3 from f0
    mesh.Add({0, 4, 8});      // f4: side 0-4 is f0's diagonal
    mesh.Add({2, 9, 5});      // f5: across side 5-2 from f1
    ASSERT_TRUE(Build(index));
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
        mesh.Add(points);
        if (round % 7 == 6)
            mesh.Delete(pick(static_cast<int>(mesh.faces.size())));
        ASSERT_TRUE(Build(index));
        ExpectSameAsFreshBuild();
    }
}

TEST_F(MeshIndexTest, AVertexWithMoreFacesThanAByteCountsHasItsSidesAsked)
{
    // A fan of 300 triangles around vertex 0, each sharing a side with the next.
    AddVertices(302);
    for (int i = 1; i <= 300; ++i)
        mesh.Add({0, i, i + 1});
    mesh.Add({5, 4, 301});   // across the fan's rim from face 3
    std::vector<int> sides(301 * kMaxFacePoints);
    MeshIndexOptions options;
    options.sides = sides.data();
    ASSERT_TRUE(Build(*NewMeshIndex(), options));
    EXPECT_EQ(sides[0 * kMaxFacePoints + 0], kAskForSide);   // side 0-1, at the crowded vertex
    EXPECT_EQ(sides[3 * kMaxFacePoints + 1], 300);           // side 4-5, away from it
    EXPECT_EQ(sides[300 * kMaxFacePoints + 0], 3);
    EXPECT_EQ(sides[300 * kMaxFacePoints + 1], kNoSideNeighbour);
    ASSERT_TRUE(Build(index));
    ExpectSideTableAgrees(index);
}

TEST_F(MeshIndexTest, RandomEditsAnswerAsAFreshBuild)
{
    std::mt19937 dice(7);
    const auto pick = [&dice](int count) { return Pick(dice, count); };
    AddVertices(8);
    for (int i = 0; i < 10; ++i)
        mesh.Add({pick(8), pick(8), pick(8), pick(8)});
    AddStrayFace({2, 9, 3});   // 9 is the number the second added vertex takes
    AddStrayFace({-1, 4});
    ASSERT_TRUE(Build(index));
    ExpectSameAsFreshBuild();
    for (int step = 0; step < 40; ++step) {
        const int vertices = mesh.vertexCount;
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
            DeleteFace(pick(static_cast<int>(mesh.faces.size())));
        }
        ExpectSameAsFreshBuild();
    }
}

TEST_F(MeshIndexTest, AVertexAddedLaterFindsTheStrayFacesNamingIt)
{
    AddVertices(3);
    mesh.Add({0, 1, 2});
    AddStrayFace({1, 4, 2});   // 4 names no vertex yet
    ASSERT_TRUE(Build(index));
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
        mesh.Add({0, i, i + 1});
    AddStrayFace({0, 50, 3});
    AddStrayFace({-4, 0, 50});
    mesh.Add({0, 0, 7});
    ASSERT_TRUE(Build(index));
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
    mesh.Add({0, 1, 4, 3});
    mesh.Add({1, 2, 5, 4});
    ASSERT_TRUE(Build(index));
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
    mesh.Add({0, 1, 2});
    ASSERT_TRUE(Build(index));
    EXPECT_TRUE(MeshIndexAddVertex(index, -1));   // refused: nothing to record
    EXPECT_TRUE(MeshIndexAddFace(index, -1, 2, nullptr));
    EXPECT_TRUE(MeshIndexFollowsObject(index));
    const int points[2] = {0, 1};
    EXPECT_FALSE(MeshIndexAddFace(index, 5, 2, points));
    EXPECT_FALSE(MeshIndexFollowsObject(index));
    ASSERT_TRUE(Build(index));   // a build starts afresh
    EXPECT_TRUE(MeshIndexFollowsObject(index));
    EXPECT_FALSE(MeshIndexAddVertex(index, 7));
    EXPECT_FALSE(MeshIndexFollowsObject(index));
}

TEST_F(MeshIndexTest, TheIndexHoldsEveryFaceAsGiven)
{
    AddVertices(6);
    mesh.Add({0, 1, 2, 3});
    mesh.Add({0, 1, 2, 3, 4});   // more than four points: no usable points
    mesh.Add({4, 5});
    mesh.Delete(2);
    AddStrayFace({5, 9, 1});
    ASSERT_TRUE(Build(index));
    const std::vector<Ints> expected = {{0, 1, 2, 3}, {}, {}, {5, 9, 1}};
    for (int face = 0; face < 4; ++face) {
        int points[kMaxFacePoints];
        const int n = IndexedFacePoints(index, face, points);
        EXPECT_EQ(Ints(points, points + n), expected[static_cast<size_t>(face)]);
        EXPECT_EQ(IndexedFacePointCount(index, face), n);
    }
}

TEST_F(MeshIndexTest, AnIndexListingSomeVerticesAnswersForThoseAsAFullOne)
{
    std::mt19937 dice(11);
    const auto pick = [&dice](int count) { return Pick(dice, count); };
    AddVertices(10);
    for (int i = 0; i < 14; ++i)
        mesh.Add({pick(10), pick(10), pick(10), pick(10)});
    AddStrayFace({3, 12, 5});
    const unsigned char listed[10] = {1, 0, 1, 0, 0, 1, 0, 1, 0, 0};
    MeshIndexOptions some;
    some.listed = listed;
    some.listedCount = 10;
    ASSERT_TRUE(Build(index, some));
    // Edits as a groove makes them: new vertices, faces on old and new
    // vertices, faces deleted.
    AddVertex();
    AddFace({0, 10, 5});
    AddFace({2, 7, 10, 1});
    DeleteFace(3);
    DeleteFace(15);
    const MeshIndexPtr fullIndex = NewMeshIndex();
    MeshIndex& full = *fullIndex;
    ASSERT_TRUE(Build(full));
    const Ints asked = {0, 2, 5, 7, 10, 12, -1};
    for (int a : asked)
        for (int b : asked) {
            int faces[kMaxEdgeFaces], fullFaces[kMaxEdgeFaces];
            const int n = FindFacesWithEdge(index, a, b, faces);
            ASSERT_EQ(n, FindFacesWithEdge(full, a, b, fullFaces)) << a << ", " << b;
            EXPECT_EQ(Ints(faces, faces + n), Ints(fullFaces, fullFaces + n)) << a << ", " << b;
        }
}

}  // namespace

}  // namespace kivera_test
