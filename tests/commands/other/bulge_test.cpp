// Bulge: the command through MQModifySelect of the real module against the
// stand-in host.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "tests/commands/other/other_fixtures.h"
#include "tests/support/plugin_session.h"

namespace kivera_test {


namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
using Triangle = std::vector<host::Vec3>;
const Triangle kFlatAtOne = {{0, 0, 1}, {2, 0, 1}, {0, 2, 1}};

// Object 0 is the profile (current), object 1 the object to raise.
struct BulgeScene {
    host::Document doc;
    host::Object* profile;
    host::Object* target;
    explicit BulgeScene(const std::vector<Triangle>& triangles)
    {
        profile = &NewObject(doc, "profile");
        target = &NewObject(doc, "target");
        for (const Triangle& t : triangles) {
            const int first = static_cast<int>(profile->vertices.size());
            for (const host::Vec3& c : t)
                host::AddVertex(*profile, c);
            AddFaceChecked(*profile, {first, first + 1, first + 2});
        }
    }
    // A target vertex used by a line to a far vertex, so that a face uses it.
    int Add(float x, float y, float z, bool selected = true)
    {
        const int v = host::AddVertex(*target, {x, y, z});
        AddFaceChecked(*target, {v, host::AddVertex(*target, {100.0f, 100.0f, 0.0f})});
        host::SelectVertex(*target, v, selected);
        return v;
    }
    float Z(int v) const { return target->vertices[v].z; }
};

TEST(Bulge, TheFourProfilesRaiseByTheirHeights)
{
    kivera_test::PluginSession session;
    struct Case {
        Triangle profile;
        float x, y, z, expectedZ;
    };
    const Case cases[] = {
        {kFlatAtOne, 0.5f, 0.5f, 0.0f, 1.0f},
        {{{0, 0, 0}, {2, 0, 2}, {0, 2, 0}}, 0.5f, 0.5f, 3.0f, 3.5f},   // z = x
        {{{0, 0, 0}, {0, 2, 2}, {2, 0, 0}}, 0.5f, 0.5f, 0.0f, 0.5f},   // T1T2 vertical
        {{{0, 0, 0.8f}, {2, 0, 0}, {0, 2, 0}}, 0.0f, 0.0f, 1.0f, 1.8f},   // above T1
    };
    for (const Case& c : cases) {
        BulgeScene scene({c.profile});
        const int v = scene.Add(c.x, c.y, c.z);
        EXPECT_EQ(session.Run(kBulgeRow, scene.doc), 1);
        EXPECT_FLOAT_EQ(scene.Z(v), c.expectedZ);
        EXPECT_EQ(scene.target->vertices[v].x, c.x);
        EXPECT_EQ(scene.target->vertices[v].y, c.y);
    }
}

TEST(Bulge, OnlySelectedUsedVerticesOfOtherObjectsMove)
{
    kivera_test::PluginSession session;
    BulgeScene scene({kFlatAtOne});
    host::SelectVertex(*scene.profile, 0);
    const int moved = scene.Add(0.5f, 0.5f, 0.0f);
    const int unselected = scene.Add(0.6f, 0.6f, 0.0f, false);
    const int outside = scene.Add(3.0f, 3.0f, 0.0f);
    const int loose = host::AddVertex(*scene.target, {0.4f, 0.4f, 0.0f});
    host::SelectVertex(*scene.target, loose);
    // Another target behind an empty slot is raised as well.
    host::AddEmptyObjectSlot(scene.doc);
    host::Object& last = NewObject(scene.doc, "last");
    host::AddVertex(last, {0.5f, 0.5f, 0.0f});
    AddFaceChecked(last, {0, host::AddVertex(last, {9.0f, 9.0f, 0.0f})});
    host::SelectVertex(last, 0);

    EXPECT_EQ(session.Run(kBulgeRow, scene.doc), 1);

    EXPECT_EQ(scene.Z(moved), 1.0f);
    EXPECT_EQ(scene.Z(unselected), 0.0f);
    EXPECT_EQ(scene.Z(outside), 0.0f);
    EXPECT_EQ(scene.Z(loose), 0.0f);
    EXPECT_EQ(last.vertices[0].z, 1.0f);
    EXPECT_EQ(scene.profile->vertices[0].z, 1.0f);
}

TEST(Bulge, PointsOnAnEdgeOrOnAQuadsDiagonalStay)
{
    kivera_test::PluginSession session;
    BulgeScene scene({});
    for (const host::Vec3& p : {host::Vec3{0, 0, 1}, host::Vec3{2, 0, 1}, host::Vec3{2, 2, 1},
                                host::Vec3{0, 2, 1}})
        host::AddVertex(*scene.profile, p);
    AddFaceChecked(*scene.profile, {0, 1, 2, 3});
    const int onDiagonal = scene.Add(1.0f, 1.0f, 0.0f);
    const int onEdge = scene.Add(1.0f, 0.0f, 0.0f);
    const int firstHalf = scene.Add(1.5f, 0.5f, 0.0f);
    const int secondHalf = scene.Add(0.5f, 1.5f, 0.0f);

    EXPECT_EQ(session.Run(kBulgeRow, scene.doc), 1);

    EXPECT_EQ(scene.Z(onDiagonal), 0.0f);
    EXPECT_EQ(scene.Z(onEdge), 0.0f);
    EXPECT_EQ(scene.Z(firstHalf), 1.0f);
    EXPECT_EQ(scene.Z(secondHalf), 1.0f);
}

TEST(Bulge, GreatestPositiveHeightWins)
{
    kivera_test::PluginSession session;
    const Triangle high = {{-1, -1, 2}, {3, -1, 2}, {-1, 3, 2}};
    for (const auto& profile : {std::vector<Triangle>{high, kFlatAtOne},
                                std::vector<Triangle>{kFlatAtOne, high}}) {
        BulgeScene scene(profile);
        const int v = scene.Add(0.5f, 0.5f, 0.25f);
        EXPECT_EQ(session.Run(kBulgeRow, scene.doc), 1);
        EXPECT_EQ(scene.Z(v), 2.25f);
    }
    // At or below zero moves nothing: all corners, or the height there.
    BulgeScene scene({{{0, 0, 0}, {2, 0, -1}, {0, 2, 0}},
                      {{10, 0, -2}, {12, 0, -2}, {10, 2, 1}}});   // z = -2 + 1.5 y
    const int flat = scene.Add(0.5f, 0.5f, 0.0f);
    const int low = scene.Add(10.5f, 0.5f, 0.0f);
    const int high2 = scene.Add(10.2f, 1.6f, 0.0f);
    EXPECT_EQ(session.Run(kBulgeRow, scene.doc), 1);
    EXPECT_EQ(scene.Z(flat), 0.0f);
    EXPECT_EQ(scene.Z(low), 0.0f);
    EXPECT_NEAR(scene.Z(high2), 0.4f, 1e-5f);
}

TEST(Bulge, WithoutACurrentObjectReturnsZeroAndChangesNothing)
{
    kivera_test::PluginSession session;
    for (int current : {2, 7}) {
        BulgeScene scene({kFlatAtOne});
        const int v = scene.Add(0.5f, 0.5f, 0.0f);
        host::AddEmptyObjectSlot(scene.doc);
        scene.doc.currentObject = current;
        EXPECT_EQ(session.Run(kBulgeRow, scene.doc), 0);
        EXPECT_EQ(scene.Z(v), 0.0f);
    }
}

TEST(Bulge, FacesThatGiveNoTriangleAndNaNsAreIgnored)
{
    kivera_test::PluginSession session;
    // A NaN corner, then a pentagon, a line and a point high above everything.
    BulgeScene scene({{{-1, -1, kNaN}, {3, -1, 5}, {-1, 3, 5}}});
    const int p = static_cast<int>(scene.profile->vertices.size());
    for (const host::Vec3& c : {host::Vec3{-5, -5, 9}, host::Vec3{5, -5, 9}, host::Vec3{6, 3, 9},
                                host::Vec3{0, 6, 9}, host::Vec3{-6, 3, 9}})
        host::AddVertex(*scene.profile, c);
    AddFaceChecked(*scene.profile, {p, p + 1, p + 2, p + 3, p + 4});
    AddFaceChecked(*scene.profile, {p, p + 2});
    AddFaceChecked(*scene.profile, {p + 3});
    // Corners naming no vertex of the profile.
    AddRawFace(*scene.profile, {p, p + 1, 999});
    AddRawFace(*scene.profile, {-1, p, p + 1, p + 2});
    const int v = scene.Add(0.5f, 0.5f, 0.0f);
    const int nanVertex = scene.Add(kNaN, 0.5f, 0.0f);

    EXPECT_EQ(session.Run(kBulgeRow, scene.doc), 1);
    EXPECT_EQ(scene.Z(v), 0.0f);
    EXPECT_EQ(scene.Z(nanVertex), 0.0f);
}

}  // namespace

}  // namespace kivera_test
