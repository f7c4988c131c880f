// Bulge through the command against the plain scan over every triangle:
// random documents must get the same heights bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "tests/commands/other/other_fixtures.h"
#include "tests/geom/profile_random.h"
#include "tests/reference/bulge_reference.h"
#include "tests/support/plugin_session.h"

namespace kivera_test {

using namespace kivera;

namespace {

// The document after the command as the plain scan says it must be: every
// used, selected vertex of every object but the current one raised by the
// positive profile height at its x, y.
void ApplyReferenceBulge(host::Document& doc)
{
    const host::Object& profile = *doc.objects[doc.currentObject];
    Profile p;
    for (const host::Vec3& v : profile.vertices)
        p.snapshot.push_back({v.x, v.y, v.z});
    const int vertexCount = static_cast<int>(p.snapshot.size());
    for (const host::Face& face : profile.faces) {
        FaceCorners record = {{-1, -1, -1, -1}};
        const int n = static_cast<int>(face.points.size());
        bool inRange = n == 3 || n == 4;
        for (int k = 0; inRange && k < n; ++k)
            inRange = face.points[k] >= 0 && face.points[k] < vertexCount;
        for (int k = 0; inRange && k < n; ++k)
            record.corners[k] = face.points[k];
        p.table.push_back(record);
    }
    for (std::size_t j = 0; j < doc.objects.size(); ++j) {
        host::Object* obj = doc.objects[j].get();
        if (!obj || int(j) == doc.currentObject)
            continue;
        for (std::size_t v = 0; v < obj->vertices.size(); ++v) {
            if (obj->refCount[v] == 0 || !obj->vertexSelected[v])
                continue;
            host::Vec3& q = obj->vertices[v];
            const float best =
                reference::BulgeProfileHeight(p.snapshot.data(), p.table.data(),
                                              static_cast<int>(p.table.size()), q.x, q.y);
            if (best > 0.0f)
                q.z = static_cast<float>(double(q.z) + double(best));
        }
    }
}

// A random document: the profile among several objects and empty slots,
// faces of every point count and corners naming no vertex, targets whose
// vertices sit on the profile's corners and edges and in between.
void BuildRandomDocument(std::mt19937& random, host::Document& doc)
{
    const int objectCount = 2 + static_cast<int>(random() % 4);
    for (int j = 0; j < objectCount; ++j) {
        if (random() % 5 == 0) {
            host::AddEmptyObjectSlot(doc);
            continue;
        }
        host::Object& obj = NewObject(doc, "obj");
        const int vertexCount = 3 + static_cast<int>(random() % 40);
        for (int v = 0; v < vertexCount; ++v) {
            const bool exotic = random() % 10 == 0;
            float x, y;
            do {
                x = RandomCoordinate(random, 1.0f);
                y = RandomCoordinate(random, 1.0f);
            } while (!exotic && (!std::isfinite(x) || !std::isfinite(y)));
            host::AddVertex(obj, {x, y, RandomHeight(random)});
        }
        const int faceCount = static_cast<int>(random() % 40);
        for (int f = 0; f < faceCount; ++f) {
            const int n = 1 + static_cast<int>(random() % 5);
            std::vector<int> points;
            for (int k = 0; k < n; ++k)
                points.push_back(static_cast<int>(random() % vertexCount));
            if (random() % 15 == 0)
                points[random() % n] = vertexCount + 3;
            if (random() % 15 == 0) {
                AddRawFace(obj, points);
                continue;
            }
            const int face = host::AddFace(obj, points);
            if (face >= 0 && random() % 10 == 0)
                host::DeleteFace(obj, face);
        }
        for (int v = 0; v < vertexCount; ++v)
            if (random() % 4 != 0)
                host::SelectVertex(obj, v);
    }
    // The profile: a random object slot, sometimes an empty one.
    doc.currentObject = static_cast<int>(random() % doc.objects.size());
}

TEST(BulgeGrid, CommandOnRandomDocumentsMatchesThePlainScan)
{
    kivera_test::PluginSession session;
    std::mt19937 random(424242);
    int raised = 0;
    for (int round = 0; round < 200; ++round) {
        // The same document twice: one for the command, one for the scan.
        std::mt19937 again = random, onceMore = random;
        host::Document doc, expected, before;
        BuildRandomDocument(random, doc);
        BuildRandomDocument(again, expected);
        BuildRandomDocument(onceMore, before);
        const bool hasProfile = doc.objects[doc.currentObject] != nullptr;
        if (hasProfile)
            ApplyReferenceBulge(expected);

        ASSERT_EQ(session.Run(kBulgeRow, doc), hasProfile ? 1 : 0);
        for (std::size_t j = 0; j < doc.objects.size(); ++j) {
            if (!doc.objects[j])
                continue;
            const auto& got = doc.objects[j]->vertices;
            const auto& want = expected.objects[j]->vertices;
            ASSERT_EQ(got.size(), want.size());
            for (std::size_t v = 0; v < got.size(); ++v) {
                ASSERT_EQ(Bits(got[v].x), Bits(want[v].x));
                ASSERT_EQ(Bits(got[v].y), Bits(want[v].y));
                ASSERT_EQ(Bits(got[v].z), Bits(want[v].z))
                    << "round " << round << ", object " << j << ", vertex " << v;
                if (Bits(want[v].z) != Bits(before.objects[j]->vertices[v].z))
                    ++raised;
            }
        }
    }
    EXPECT_GT(raised, 100);
}

}  // namespace

}  // namespace kivera_test
