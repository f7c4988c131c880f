// The change report compares a document before and after a command.
#include <gtest/gtest.h>

#include "host/library/change_report.h"

namespace {

host::Document Quads()
{
    host::Document doc;
    host::Object& obj = *host::GetObject(doc, host::AddObject(doc, "quads"));
    for (int v = 0; v < 6; ++v)
        host::AddVertex(obj, host::Vec3{static_cast<float>(v % 3), static_cast<float>(v / 3), 0.0f});
    host::AddFace(obj, {0, 1, 4, 3});
    host::AddFace(obj, {1, 2, 5, 4});
    host::AddMaterial(doc, "m");
    doc.materials[0]->texture = "t.png";
    return doc;
}

TEST(ChangeReport, CopyIsDeepAndUnchangedCopyReportsNothing)
{
    host::Document doc = Quads();
    const host::Document copy = host::CopyDocument(doc);
    doc.objects[0]->vertices[0].x = 7.0f;
    EXPECT_EQ(copy.objects[0]->vertices[0].x, 0.0f);
    const host::ChangeReport report = host::CompareDocuments(copy, host::CopyDocument(copy));
    EXPECT_TRUE(host::IsEmpty(report));
    EXPECT_EQ(host::FormatChangeReport(report, "  "), "  no change\n");
}

TEST(ChangeReport, EveryKindOfChangeIsListed)
{
    const host::Document before = Quads();
    host::Document after = host::CopyDocument(before);
    host::Object& obj = *after.objects[0];
    obj.vertices[2].y = -0.0f;   // moved by its bits alone
    obj.vertices[4].z = 1.0f;
    host::AddVertex(obj, host::Vec3{3, 0, 0});
    host::AddFace(obj, {2, 6});
    host::DeleteFace(obj, 0);
    host::SelectVertex(obj, 6);
    host::SelectLine(obj, 1, 3);
    host::SelectFace(obj, 1);
    obj.faces[1].uv[0].u = 0.5f;
    after.materials[0]->textureLoads += 1;   // set again to the same name
    const host::ChangeReport report = host::CompareDocuments(before, after);
    ASSERT_EQ(report.objects.size(), 1u);
    const host::ObjectChanges& c = report.objects[0];
    EXPECT_EQ(c.verticesMoved, (host::IndexList{2, 4}));
    EXPECT_EQ(c.verticesAdded, (host::IndexList{6}));
    EXPECT_EQ(c.facesAdded, (host::IndexList{2}));
    EXPECT_EQ(c.facesDeleted, (host::IndexList{0}));
    EXPECT_EQ(c.verticesSelected, (host::IndexList{6}));
    EXPECT_EQ(c.facesSelected, (host::IndexList{1}));
    ASSERT_EQ(c.linesSelected.size(), 1u);
    EXPECT_EQ(c.linesSelected[0].face, 1);
    EXPECT_EQ(c.linesSelected[0].line, 3);
    EXPECT_EQ(c.uvsRewritten, (host::IndexList{1}));
    ASSERT_EQ(report.materials.size(), 1u);
    EXPECT_EQ(report.materials[0].mapsSet[0].first, "texture");
    EXPECT_EQ(host::FormatChangeReport(report, ""),
              "object 0 \"quads\":\n"
              "  vertices moved: 2 (2, 4)\n"
              "  vertices added: 1 (6)\n"
              "  faces added: 1 (2)\n"
              "  faces deleted: 1 (0)\n"
              "  vertices selected: 1 (6)\n"
              "  lines selected: 1 (face 1 line 3)\n"
              "  faces selected: 1 (1)\n"
              "  faces with UVs rewritten: 1 (1)\n"
              "material 0 \"m\":\n"
              "  texture map set: \"t.png\"\n");

    // The other way round the selection is lost, with the deleted face's.
    host::Document selected = host::CopyDocument(before);
    host::SelectLine(*selected.objects[0], 0, 1);
    host::SelectVertex(*selected.objects[0], 5);
    host::Document cleared = host::CopyDocument(selected);
    host::DeleteFace(*cleared.objects[0], 0);
    host::SelectVertex(*cleared.objects[0], 5, false);
    const host::ObjectChanges lost = host::CompareDocuments(selected, cleared).objects[0];
    EXPECT_EQ(lost.verticesDeselected, (host::IndexList{5}));
    ASSERT_EQ(lost.linesDeselected.size(), 1u);
    EXPECT_EQ(lost.linesDeselected[0].face, 0);
}

TEST(ChangeReport, IndexRunsAreShortened)
{
    EXPECT_EQ(host::FormatIndexRuns({0, 1, 2, 3, 5, 9, 10}), "0-3, 5, 9-10");
    EXPECT_EQ(host::FormatIndexRuns({}), "");
    EXPECT_EQ(host::FormatIndexRuns({1, 3, 5, 7}, 2), "1, 3, ...");
}

}  // namespace
