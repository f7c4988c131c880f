// The real plug-in module binds to the stand-in host, and the plug-in's
// forwarding functions meet the host's exports with the same signatures.
#include <gtest/gtest.h>

#include "hostaccess/host_api.h"
#include "host/library/document.h"
#include "tests/support/plugin_session.h"
#include "tests/support/test_support.h"

using namespace kivera;

namespace {

using kivera_test::LoadPlugin;
using kivera_test::HostLibraryPath;

TEST(Binding, PluginBindsToTheHost)
{
    EXPECT_EQ(LoadPlugin().init(HostLibraryPath()), 1);
}

TEST(Binding, HostLackingOneNameIsRefused)
{
    const kivera_test::PluginExports& plugin = LoadPlugin();
    EXPECT_EQ(plugin.init(KIVERA_HOST_NOFREEZE_LIBRARY), 0);
    EXPECT_EQ(plugin.init("/nonexistent/libkiverahost.so"), 0);
    // Bind the full host again for the tests that follow in this process.
    EXPECT_EQ(plugin.init(HostLibraryPath()), 1);
}

TEST(Binding, PluginFindsItsSettingsThroughTheHost)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::StartTrace();
    // Past the last row: the plug-in reads its settings folder, then runs nothing.
    EXPECT_EQ(session.Run(19, doc), 0);
    const std::vector<host::Call> calls = host::StopTrace();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].name, "MQ_GetSystemPath");
    EXPECT_EQ(calls[0].args, (std::vector<long long>{5}));
}

// The plug-in's inner binding, linked into this test: every pointer is
// found, and each forwarder reaches the export it names with its arguments.
TEST(Binding, ForwardersReachTheExports)
{
    ASSERT_EQ(BindHost(HostLibraryPath()), 1);
    for (int i = 0; i < kHostFunctionCount; ++i)
        EXPECT_NE(hostApi.functions[i], nullptr) << HostFunctionName(i);

    host::Document doc;
    host::AddEmptyObjectSlot(doc);
    host::Object& obj = *host::GetObject(doc, host::AddObject(doc, "o"));
    host::AddMaterial(doc, "m");
    doc.currentObject = 1;
    const DocumentHandle d = reinterpret_cast<DocumentHandle>(&doc);

    EXPECT_EQ(DocGetObjectCount(d), 2);
    EXPECT_EQ(DocGetObject(d, 0), nullptr);
    const ObjectHandle o = DocGetObject(d, 1);
    ASSERT_EQ(static_cast<void*>(o), static_cast<void*>(&obj));
    EXPECT_EQ(DocGetCurrentObjectIndex(d), 1);

    const int a = ObjAddVertex(o, Point3{1.0f, 2.0f, 3.0f});
    const int b = ObjAddVertex(o, Point3{4.0f, 5.0f, 6.0f});
    const int c = ObjAddVertex(o, Point3{7.0f, 8.0f, 9.0f});
    ObjSetVertex(o, b, Point3{-1.0f, -2.0f, -3.0f});
    EXPECT_EQ(ObjGetVertex(o, b).z, -3.0f);
    Point3 all[3];
    ObjGetVertexArray(o, all);
    EXPECT_EQ(all[2].y, 8.0f);

    const int points[3] = {a, b, c};
    const int face = ObjAddFace(o, 3, points);
    EXPECT_EQ(face, 0);
    EXPECT_EQ(ObjGetFacePointCount(o, face), 3);
    EXPECT_EQ(ObjGetVertexRefCount(o, c), 1);
    const Point2 uv[3] = {{0.0f, 1.0f}, {0.5f, 0.5f}, {1.0f, 0.0f}};
    ObjSetFaceCoordinateArray(o, face, uv);
    Point2 back[3] = {};
    ObjGetFaceCoordinateArray(o, face, back);
    EXPECT_EQ(back[1].u, 0.5f);

    EXPECT_EQ(DocAddSelectLine(d, 1, face, 2), 1);
    EXPECT_EQ(DocIsSelectLine(d, 1, face, 2), 1);
    EXPECT_EQ(DocAddSelectVertex(d, 1, c), 1);
    EXPECT_EQ(DocAddSelectFace(d, 1, face), 1);
    EXPECT_EQ(DocClearSelect(d, 1), 1);
    EXPECT_EQ(DocIsSelectVertex(d, 1, c), 0);
    EXPECT_EQ(DocIsSelectFace(d, 1, face), 1);

    // A face the commands cannot hold reads as absent.
    const int five[5] = {a, b, c, a, b};
    const int big = ObjAddFace(o, 5, five);
    int slots[kMaxFacePoints] = {-7, -7, -7, -7};
    EXPECT_EQ(UsableFacePointCount(o, big), 0);
    EXPECT_EQ(ReadFacePoints(o, big, slots), 0);
    EXPECT_EQ(slots[0], -7);
    EXPECT_EQ(ReadFacePoints(o, face, slots), 3);
    EXPECT_EQ(slots[2], c);
    EXPECT_NE(ObjDeleteFace(o, face, 1), 0);
    EXPECT_EQ(UsableFacePointCount(o, face), 0);

    EXPECT_EQ(DocGetMaterialCount(d), 1);
    const MaterialHandle m = DocGetMaterial(d, 0);
    MatSetBumpName(m, "bump.png");
    char name[255];
    MatGetBumpName(m, name, sizeof name);
    EXPECT_STREQ(name, "bump.png");

    float view[16];
    SceneGetViewMatrix(DocGetScene(d, 0), view);
    EXPECT_EQ(view[15], 1.0f);
    EXPECT_EQ(SysGetWindowHandle(), host::MainWindow());
}

}  // namespace
