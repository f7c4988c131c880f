// The exported host functions, called through their C signatures as the
// plug-in calls them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/library/document.h"
#include "tests/host/host_exports.h"

namespace {

using host::Object;

// Object 0: a quad and a triangle sharing vertices 1 and 2; object 1 is an
// empty slot; object 2 holds one loose vertex.
struct Fixture {
    host::Document doc;
    void* handle = &doc;
    Object* obj = nullptr;

    Fixture()
    {
        obj = host::GetObject(doc, host::AddObject(doc, "mesh"));
        for (int i = 0; i < 5; ++i)
            host::AddVertex(*obj, {float(i), 0.0f, 0.0f});
        host::AddFace(*obj, {0, 1, 2, 3});
        host::AddFace(*obj, {1, 4, 2});
        host::AddEmptyObjectSlot(doc);
        host::AddVertex(*host::GetObject(doc, host::AddObject(doc, "loose")), {});
    }
};

TEST(Exports, FacesThroughAddAndDelete)
{
    Fixture f;
    void* obj = MQDoc_GetObject(f.handle, 0);
    ASSERT_EQ(obj, f.obj);
    EXPECT_EQ(MQObj_GetVertexRefCount(obj, 1), 2);

    const host::Vec3 p = {7.0f, 8.0f, 9.0f};
    const int v = MQObj_AddVertex(obj, &p);
    EXPECT_EQ(v, 5);
    EXPECT_EQ(MQObj_GetVertexRefCount(obj, v), 0);
    const int points[3] = {4, 3, v};
    EXPECT_EQ(MQObj_AddFace(obj, 3, points), 2);
    EXPECT_EQ(MQObj_GetVertexRefCount(obj, v), 1);
    EXPECT_EQ(MQObj_GetVertexRefCount(obj, 4), 2);

    EXPECT_NE(MQObj_DeleteFace(obj, 1, 1), 0);
    EXPECT_EQ(MQObj_GetFaceCount(obj), 3);
    EXPECT_EQ(MQObj_GetFacePointCount(obj, 1), 0);
    EXPECT_EQ(MQObj_GetFacePointCount(obj, 2), 3);
    EXPECT_EQ(MQObj_GetVertexRefCount(obj, 1), 1);
    EXPECT_EQ(MQObj_GetVertexRefCount(obj, 4), 1);
    // Vertices stay even when no face uses them any more.
    EXPECT_EQ(MQObj_GetVertexCount(obj), 6);
    EXPECT_EQ(MQObj_DeleteFace(obj, 1, 1), 0);

    const int outside[3] = {0, 1, 6};
    EXPECT_EQ(MQObj_AddFace(obj, 3, outside), -1);
    EXPECT_EQ(MQObj_AddFace(obj, 0, points), -1);
    EXPECT_EQ(MQObj_AddFace(obj, -3, points), -1);
    EXPECT_EQ(MQObj_AddFace(obj, 3, nullptr), -1);
    EXPECT_EQ(MQObj_GetFaceCount(obj), 3);
}

TEST(Exports, FacePointsAndUVsCopyExactlyThePointCount)
{
    Fixture f;
    int points[8];
    std::fill(points, points + 8, -7);
    MQObj_GetFacePointArray(f.obj, 1, points);
    EXPECT_EQ(points[0], 1);
    EXPECT_EQ(points[2], 2);
    EXPECT_EQ(points[3], -7);

    const host::UV uv[3] = {{0.1f, 0.2f}, {0.3f, 0.4f}, {0.5f, 0.6f}};
    MQObj_SetFaceCoordinateArray(f.obj, 1, uv);
    host::UV back[4] = {{-1, -1}, {-1, -1}, {-1, -1}, {-1, -1}};
    MQObj_GetFaceCoordinateArray(f.obj, 1, back);
    EXPECT_EQ(back[2].v, 0.6f);
    EXPECT_EQ(back[3].u, -1.0f);

    // A face of more than four points is held and reported as it is.
    const int six[6] = {0, 1, 2, 3, 4, 0};
    const int big = MQObj_AddFace(f.obj, 6, six);
    EXPECT_EQ(MQObj_GetFacePointCount(f.obj, big), 6);
    std::fill(points, points + 8, -7);
    MQObj_GetFacePointArray(f.obj, big, points);
    EXPECT_EQ(points[5], 0);
    EXPECT_EQ(points[6], -7);

    // An empty slot writes nothing.
    MQObj_DeleteFace(f.obj, 0, 1);
    std::fill(points, points + 8, -7);
    MQObj_GetFacePointArray(f.obj, 0, points);
    MQObj_GetFaceCoordinateArray(f.obj, 0, back);
    EXPECT_EQ(points[0], -7);
    EXPECT_EQ(back[0].u, 0.1f);
}

TEST(Exports, BadIndicesAndNullHandlesGiveNothing)
{
    Fixture f;
    void* doc = f.handle;
    void* obj = f.obj;
    int points[4] = {-7, -7, -7, -7};
    host::Vec3 p = {5.0f, 5.0f, 5.0f};
    host::UV uv[4] = {};
    char name[8] = "xxxxxxx";

    for (int bad : {-1, 3, 1 << 30}) {
        EXPECT_EQ(MQDoc_GetObject(doc, bad), nullptr);
        EXPECT_EQ(MQDoc_GetMaterial(doc, bad), nullptr);
        EXPECT_EQ(MQDoc_IsSelectVertex(doc, bad, 0), 0);
        EXPECT_EQ(MQDoc_AddSelectVertex(doc, bad, 0), 0);
        EXPECT_EQ(MQDoc_AddSelectFace(doc, bad, 0), 0);
    }
    EXPECT_EQ(MQDoc_GetObject(doc, 1), nullptr) << "empty slot";
    EXPECT_EQ(MQDoc_AddSelectVertex(doc, 1, 0), 0);
    for (int bad : {-1, 5, 1 << 30}) {
        EXPECT_EQ(MQDoc_IsSelectVertex(doc, 0, bad), 0);
        EXPECT_EQ(MQDoc_AddSelectVertex(doc, 0, bad), 0);
        EXPECT_EQ(MQDoc_IsSelectFace(doc, 0, bad - 3), 0);
        EXPECT_EQ(MQDoc_AddSelectFace(doc, 0, bad - 3), 0);
        EXPECT_EQ(MQDoc_AddSelectLine(doc, 0, bad - 3, 0), 0);
        EXPECT_EQ(MQDoc_AddSelectLine(doc, 0, 1, bad - 2), 0) << "line " << bad - 2;
        EXPECT_EQ(MQDoc_IsSelectLine(doc, 0, 1, bad - 2), 0);
        EXPECT_EQ(MQObj_GetVertexRefCount(obj, bad), 0);
        EXPECT_EQ(MQObj_GetFacePointCount(obj, bad - 3), 0);
        MQObj_GetVertex(obj, bad, &p);
        MQObj_SetVertex(obj, bad, &p);
        MQObj_GetFacePointArray(obj, bad - 3, points);
        MQObj_GetFaceCoordinateArray(obj, bad - 3, uv);
        MQObj_SetFaceCoordinateArray(obj, bad - 3, uv);
        EXPECT_EQ(MQObj_DeleteFace(obj, bad - 3, 1), 0);
    }
    EXPECT_EQ(p.x, 5.0f);
    EXPECT_EQ(points[0], -7);
    EXPECT_EQ(MQDoc_GetScene(doc, 1), nullptr);
    EXPECT_EQ(MQDoc_GetScene(doc, -1), nullptr);

    // Null handles and null buffers.
    EXPECT_EQ(MQDoc_GetObjectCount(nullptr), 0);
    EXPECT_EQ(MQDoc_GetMaterialCount(nullptr), 0);
    EXPECT_EQ(MQDoc_GetObject(nullptr, 0), nullptr);
    EXPECT_EQ(MQDoc_GetMaterial(nullptr, 0), nullptr);
    EXPECT_EQ(MQDoc_GetScene(nullptr, 0), nullptr);
    EXPECT_EQ(MQDoc_ClearSelect(nullptr, 7), 0);
    EXPECT_EQ(MQDoc_IsSelectVertex(nullptr, 0, 0), 0);
    EXPECT_EQ(MQDoc_IsSelectLine(nullptr, 0, 0, 0), 0);
    EXPECT_EQ(MQDoc_IsSelectFace(nullptr, 0, 0), 0);
    EXPECT_EQ(MQObj_GetVertexCount(nullptr), 0);
    EXPECT_EQ(MQObj_GetFaceCount(nullptr), 0);
    EXPECT_EQ(MQObj_GetFacePointCount(nullptr, 0), 0);
    EXPECT_EQ(MQObj_GetVertexRefCount(nullptr, 0), 0);
    EXPECT_EQ(MQObj_AddVertex(nullptr, &p), -1);
    EXPECT_EQ(MQObj_AddVertex(obj, nullptr), -1);
    EXPECT_EQ(MQObj_AddFace(nullptr, 3, points), -1);
    EXPECT_EQ(MQObj_DeleteFace(nullptr, 0, 1), 0);
    MQObj_GetVertex(nullptr, 0, &p);
    MQObj_GetVertex(obj, 0, nullptr);
    MQObj_SetVertex(obj, 0, nullptr);
    MQObj_GetVertexArray(nullptr, &p);
    MQObj_GetVertexArray(obj, nullptr);
    MQObj_GetFacePointArray(obj, 0, nullptr);
    MQObj_SetFaceCoordinateArray(obj, 0, nullptr);
    MQScene_GetViewMatrix(nullptr, nullptr);
    MQMat_GetTextureName(nullptr, name, sizeof name);
    EXPECT_STREQ(name, "");
    MQMat_SetTextureName(nullptr, "a.png");
    EXPECT_EQ(MQ_GetSystemPath(nullptr, 5), 0);
    EXPECT_EQ(f.obj->vertices.size(), 5u);
    EXPECT_EQ(f.obj->vertices[0].x, 0.0f);
}

TEST(Exports, VertexPositionsReadAndWritten)
{
    Fixture f;
    const host::Vec3 p = {1.5f, -2.0f, 3.25f};
    MQObj_SetVertex(f.obj, 3, &p);
    host::Vec3 back = {};
    MQObj_GetVertex(f.obj, 3, &back);
    EXPECT_EQ(back.y, -2.0f);
    EXPECT_EQ(back.z, 3.25f);
    host::Vec3 all[6];
    all[5] = {-9.0f, -9.0f, -9.0f};
    MQObj_GetVertexArray(f.obj, all);
    EXPECT_EQ(all[4].x, 4.0f);
    EXPECT_EQ(all[3].z, 3.25f);
    EXPECT_EQ(all[5].x, -9.0f);
}

TEST(Exports, SelectionFlagsPerObject)
{
    Fixture f;
    void* doc = f.handle;
    EXPECT_EQ(MQDoc_IsSelectVertex(doc, 0, 2), 0);
    EXPECT_EQ(MQDoc_AddSelectVertex(doc, 0, 2), 1);
    EXPECT_EQ(MQDoc_AddSelectVertex(doc, 0, 2), 1);
    EXPECT_EQ(MQDoc_IsSelectVertex(doc, 0, 2), 1);
    EXPECT_EQ(MQDoc_IsSelectVertex(doc, 2, 0), 0);

    EXPECT_EQ(MQDoc_AddSelectLine(doc, 0, 1, 2), 1);   // joins 2 and 1
    EXPECT_EQ(MQDoc_IsSelectLine(doc, 0, 1, 2), 1);
    EXPECT_EQ(MQDoc_IsSelectLine(doc, 0, 1, 0), 0);
    EXPECT_EQ(MQDoc_IsSelectLine(doc, 0, 0, 1), 0) << "the same edge in another face";
    EXPECT_EQ(MQDoc_DeleteSelectLine(doc, 0, 1, 2), 1);
    EXPECT_EQ(MQDoc_IsSelectLine(doc, 0, 1, 2), 0);

    EXPECT_EQ(MQDoc_AddSelectFace(doc, 0, 0), 1);
    EXPECT_EQ(MQDoc_IsSelectFace(doc, 0, 0), 1);
    EXPECT_EQ(MQDoc_IsSelectFace(doc, 0, 1), 0);

    // A deleted face takes its selection with it and cannot be selected.
    MQDoc_AddSelectLine(doc, 0, 0, 3);
    MQObj_DeleteFace(f.obj, 0, 1);
    EXPECT_EQ(MQDoc_IsSelectFace(doc, 0, 0), 0);
    EXPECT_EQ(MQDoc_IsSelectLine(doc, 0, 0, 3), 0);
    EXPECT_EQ(MQDoc_AddSelectFace(doc, 0, 0), 0);
    EXPECT_EQ(MQDoc_AddSelectLine(doc, 0, 0, 0), 0);
}

TEST(Exports, ClearSelectClearsOnlyTheFlaggedKindsInAllObjects)
{
    for (unsigned int flags = 0; flags < 8; ++flags) {
        Fixture f;
        void* doc = f.handle;
        MQDoc_AddSelectVertex(doc, 0, 1);
        MQDoc_AddSelectVertex(doc, 2, 0);
        MQDoc_AddSelectLine(doc, 0, 1, 1);
        MQDoc_AddSelectFace(doc, 0, 1);
        EXPECT_EQ(MQDoc_ClearSelect(doc, flags), 1);
        const int vertices = (flags & 1) ? 0 : 1;
        EXPECT_EQ(MQDoc_IsSelectVertex(doc, 0, 1), vertices) << "flags " << flags;
        EXPECT_EQ(MQDoc_IsSelectVertex(doc, 2, 0), vertices) << "flags " << flags;
        EXPECT_EQ(MQDoc_IsSelectLine(doc, 0, 1, 1), (flags & 2) ? 0 : 1) << "flags " << flags;
        EXPECT_EQ(MQDoc_IsSelectFace(doc, 0, 1), (flags & 4) ? 0 : 1) << "flags " << flags;
    }
}

TEST(Exports, MapNamesAreCutToTheBufferAndEverySetIsALoad)
{
    host::Document doc;
    host::AddMaterial(doc, "m");
    host::AddEmptyMaterialSlot(doc);
    void* mat = MQDoc_GetMaterial(&doc, 0);
    ASSERT_NE(mat, nullptr);
    EXPECT_EQ(MQDoc_GetMaterial(&doc, 1), nullptr);
    EXPECT_EQ(MQDoc_GetMaterialCount(&doc), 2);

    char buffer[16];
    std::memset(buffer, 'X', sizeof buffer);
    MQMat_GetTextureName(mat, buffer, 255);
    EXPECT_STREQ(buffer, "") << "no map: an empty string";

    MQMat_SetTextureName(mat, "wood.png");
    MQMat_SetTextureName(mat, "wood.png");
    MQMat_SetAlphaName(mat, "mask.png");
    MQMat_SetBumpName(mat, "");
    const host::Material& m = *doc.materials[0];
    EXPECT_EQ(m.texture, "wood.png");
    EXPECT_EQ(m.textureLoads, 2);
    EXPECT_EQ(m.alphaLoads, 1);
    EXPECT_EQ(m.bumpLoads, 0) << "no file to read";

    std::memset(buffer, 'X', sizeof buffer);
    MQMat_GetTextureName(mat, buffer, 5);
    EXPECT_STREQ(buffer, "wood");
    EXPECT_EQ(buffer[5], 'X');
    std::memset(buffer, 'X', sizeof buffer);
    MQMat_GetAlphaName(mat, buffer, 1);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], 'X');
    MQMat_GetBumpName(mat, buffer, 0);
    MQMat_GetBumpName(mat, buffer, -4);
    EXPECT_EQ(buffer[1], 'X');
    MQMat_GetAlphaName(mat, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "mask.png");
}

TEST(Exports, SystemPathFitsIn128BytesOrIsRefused)
{
    const std::string saved = host::SystemPath();
    char buffer[128];

    host::SetSystemPath("/tmp/kivera");
    EXPECT_NE(MQ_GetSystemPath(buffer, 5), 0);
    EXPECT_STREQ(buffer, "/tmp/kivera");
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(MQ_GetSystemPath(buffer, 4), 0);
    EXPECT_EQ(buffer[0], '\0');

    host::SetSystemPath(std::string(127, 'a'));
    EXPECT_NE(MQ_GetSystemPath(buffer, 5), 0);
    EXPECT_EQ(std::strlen(buffer), 127u);

    host::SetSystemPath(std::string(128, 'a'));
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(MQ_GetSystemPath(buffer, 5), 0);
    EXPECT_EQ(buffer[0], '\0');

    host::SetSystemPath(saved);
}

TEST(Exports, SceneAndWindow)
{
    host::Document doc;
    doc.scene.view[3] = 2.5f;
    void* scene = MQDoc_GetScene(&doc, 0);
    ASSERT_EQ(scene, &doc.scene);
    float matrix[17];
    matrix[16] = -1.0f;
    MQScene_GetViewMatrix(scene, matrix);
    EXPECT_EQ(matrix[0], 1.0f);
    EXPECT_EQ(matrix[3], 2.5f);
    EXPECT_EQ(matrix[16], -1.0f);
    EXPECT_NE(MQ_GetWindowHandle(), nullptr);
    EXPECT_EQ(MQ_GetWindowHandle(), host::MainWindow());
    EXPECT_EQ(MQDoc_GetCurrentObjectIndex(&doc), 0);
}

TEST(Exports, OnlyDetachedObjectsJoinADocumentOrAreFreed)
{
    Fixture f;
    void* made = MQ_CreateObject();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(MQDoc_AddObject(f.handle, made), 3);
    EXPECT_EQ(MQDoc_AddObject(f.handle, made), -1) << "already held by the document";
    MQObj_Delete(made);   // held by the document: left alone
    EXPECT_EQ(MQDoc_GetObject(f.handle, 3), made);

    void* copy = MQObj_Clone(f.obj);
    EXPECT_EQ(MQObj_GetFaceCount(copy), 2);
    EXPECT_EQ(MQObj_GetVertexRefCount(copy, 1), 2);
    char name[8];
    MQObj_GetName(copy, name, sizeof name);
    EXPECT_STREQ(name, "mesh");
    MQObj_Delete(copy);

    EXPECT_EQ(MQDoc_DeleteObject(f.handle, 3), 1);
    EXPECT_EQ(MQDoc_GetObject(f.handle, 3), nullptr);
    EXPECT_EQ(MQDoc_GetObjectCount(f.handle), 4);
    EXPECT_EQ(MQDoc_DeleteObject(f.handle, 3), 0);
}

TEST(Exports, TraceRecordsTheCallsAndTheirIntegerArguments)
{
    Fixture f;
    MQDoc_GetObjectCount(f.handle);   // not recorded
    host::StartTrace();
    EXPECT_TRUE(host::Tracing());
    MQDoc_GetObjectCount(f.handle);
    MQDoc_IsSelectLine(f.handle, 0, 1, 2);
    MQDoc_ClearSelect(f.handle, 6);
    const int points[3] = {0, 1, 2};
    MQObj_AddFace(f.obj, 3, points);
    MQObj_DeleteFace(f.obj, 9, 1);
    char buffer[256];
    MQMat_GetBumpName(nullptr, buffer, 255);
    const std::vector<host::Call> calls = host::StopTrace();
    EXPECT_FALSE(host::Tracing());
    MQDoc_GetObjectCount(f.handle);   // not recorded

    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0].name, "MQDoc_GetObjectCount");
    EXPECT_TRUE(calls[0].args.empty());
    EXPECT_EQ(calls[1].name, "MQDoc_IsSelectLine");
    EXPECT_EQ(calls[1].args, (std::vector<long long>{0, 1, 2}));
    EXPECT_EQ(calls[2].args, (std::vector<long long>{6}));
    EXPECT_EQ(calls[3].name, "MQObj_AddFace");
    EXPECT_EQ(calls[3].args, (std::vector<long long>{3}));
    EXPECT_EQ(calls[4].args, (std::vector<long long>{9, 1}));
    EXPECT_EQ(calls[5].name, "MQMat_GetBumpName");
    EXPECT_EQ(calls[5].args, (std::vector<long long>{255}));

    host::StartTrace();
    EXPECT_TRUE(host::StopTrace().empty()) << "a new trace starts empty";
}

}  // namespace
