// Reading an object's faces through the host: what the visitor sees and the
// index holds, and face normals from corners read through the host.
#include "hostaccess/mesh_reader.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "hostaccess/face_normal.h"
#include "host/library/document.h"
#include "tests/support/test_support.h"

namespace kivera_test {

using namespace kivera;

namespace {

using Ints = std::vector<int>;

class MeshReaderTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(BindHost(kivera_test::HostLibraryPath()), 1); }

    MeshReaderTest() : object(*doc.objects[static_cast<size_t>(host::AddObject(doc, "mesh"))]) {}

    ObjectHandle Handle() { return reinterpret_cast<ObjectHandle>(&object); }

    // A face naming vertices the object lacks, past the host's checks.
    void AddStrayFace(const Ints& points)
    {
        host::Face face;
        face.points = points;
        face.uv.assign(points.size(), host::UV{0.0f, 0.0f});
        face.lineSelected.assign(points.size(), 0);
        object.faces.push_back(face);
    }

    host::Document doc;
    host::Object& object;
};

TEST_F(MeshReaderTest, TheVisitorSeesEveryFaceInOrderAsTheIndexHoldsIt)
{
    for (int i = 0; i < 6; ++i)
        host::AddVertex(object, {static_cast<float>(i), 0.0f, 0.0f});
    host::AddFace(object, {0, 1, 2, 3});
    host::AddFace(object, {0, 1, 2, 3, 4});   // more than four points: no usable points
    host::AddFace(object, {4, 5});
    host::DeleteFace(object, 2);
    AddStrayFace({5, 9, 1});
    std::vector<Ints> seen;
    auto visit = [&seen](int face, const MeshFace& points) {
        EXPECT_EQ(face, static_cast<int>(seen.size()));
        for (int k = points.count; k < kMaxFacePoints; ++k)
            EXPECT_EQ(points.points[k], -1);
        seen.emplace_back(points.points, points.points + points.count);
    };
    const MeshIndexPtr index = NewMeshIndex();
    ASSERT_TRUE(ReadMeshIndex(*index, Handle(), {}, visit));
    EXPECT_EQ(seen, (std::vector<Ints>{{0, 1, 2, 3}, {}, {}, {5, 9, 1}}));
    for (int face = 0; face < 4; ++face) {
        int points[kMaxFacePoints];
        const int n = IndexedFacePoints(*index, face, points);
        EXPECT_EQ(Ints(points, points + n), seen[static_cast<size_t>(face)]);
    }
}

TEST_F(MeshReaderTest, FaceNormalsOfTheFacesTheCommandsUse)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Point3 positions[] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                {1, 1, 1}, {2, 2, 0}, {nan, 0, 0}};
    for (const Point3& p : positions)
        host::AddVertex(object, {p.x, p.y, p.z});
    const struct {
        Ints points;
        Point3 normal;
    } cases[] = {
        {{0, 1, 3}, {0, 0, -1}},                                        // triangle
        {{0, 1, 2, 3}, {0, 0, -1}},                                     // square
        {{0, 1, 4, 3}, {0x1.4cdbe6p-2f, 0x1.4cdbe6p-2f, -0x1.c6b19ep-1f}},   // bent: b-d split
        {{0, 2, 5}, {0, 0, 0}},                                         // collinear
        {{0, 6, 2}, {0, 0, 0}},                                         // a NaN corner
        {{0, 0, 1}, {0, 0, 0}},                                         // a repeated point
        {{0, 1}, {0, 0, 0}},                                            // a line
        {{0, 1, 2, 3, 4}, {0, 0, 0}},                                   // five points
    };
    for (const auto& c : cases) {
        const int face = host::AddFace(object, c.points);
        EXPECT_TRUE(IsEqual(ReadFaceNormal(Handle(), face), c.normal)) << face;
    }
    AddStrayFace({2, 50, 3});   // a point outside the object
    EXPECT_TRUE(IsEqual(ReadFaceNormal(Handle(), 8), {0, 0, 0}));
    EXPECT_TRUE(IsEqual(ReadFaceNormal(Handle(), 99), {0, 0, 0}));
}

}  // namespace

}  // namespace kivera_test
