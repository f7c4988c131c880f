// Documents and readers shared by the tests of bulge, UV map copy, face
// angle and texture reload.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "frame/command_ids.h"
#include "hostaccess/host_api.h"
#include "host/library/document.h"
#include "tests/support/test_support.h"

namespace kivera_test {

using namespace kivera;

// Command table rows.
constexpr int kBulgeRow = RowOf(CommandId::Bulge);
constexpr int kCopyUVMapRow = RowOf(CommandId::CopyUV);
constexpr int kReloadTexturesRow = RowOf(CommandId::ReloadTextures);
constexpr int kMeasureFaceAngleRow = RowOf(CommandId::MeasureAngle);

inline host::Object& NewObject(host::Document& doc, const char* name = "obj")
{
    const int index = host::AddObject(doc, name);
    return *doc.objects[index];
}

inline int AddFaceChecked(host::Object& obj, const std::vector<int>& points)
{
    const int face = host::AddFace(obj, points);
    EXPECT_GE(face, 0);
    return face;
}

// A face whose points the stand-in host would refuse (an index outside the
// vertex list), pushed past its checks as a faulty host might hand it over.
inline int AddRawFace(host::Object& obj, const std::vector<int>& points)
{
    host::Face face;
    face.points = points;
    face.uv.assign(points.size(), host::UV{0.0f, 0.0f});
    face.lineSelected.assign(points.size(), 0);
    obj.faces.push_back(face);
    return static_cast<int>(obj.faces.size()) - 1;
}

// Binds this test program's own copy of the plug-in's host table to the
// stand-in host, so that inner functions can be called on host handles.
inline void BindInProcessHost()
{
    ASSERT_EQ(BindHost(kivera_test::HostLibraryPath()), 1);
}

inline ObjectHandle HandleOf(host::Object& obj) { return reinterpret_cast<ObjectHandle>(&obj); }

}  // namespace kivera_test
