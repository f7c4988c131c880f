// Selections and merged documents made from the command line.
#include <gtest/gtest.h>

#include "host/library/change_report.h"
#include "host/program/document_edits.h"

namespace {

using host::SelectionRequest;

// Two quads side by side (vertices 0-5), a deleted face 2, and an empty
// object slot 1 before a second object.
host::Document TwoQuads()
{
    host::Document doc;
    const int o = host::AddObject(doc, "quads");
    host::Object& obj = *host::GetObject(doc, o);
    for (int i = 0; i < 6; ++i)
        host::AddVertex(obj, {static_cast<float>(i % 3), static_cast<float>(i / 3), 0});
    host::AddFace(obj, {0, 1, 4, 3});
    host::AddFace(obj, {1, 2, 5, 4});
    host::DeleteFace(obj, host::AddFace(obj, {0, 1, 2}));
    host::SelectVertex(obj, 5);
    host::SelectLine(obj, 1, 2);
    host::AddEmptyObjectSlot(doc);
    host::AddVertex(*host::GetObject(doc, host::AddObject(doc, "other")), {9, 9, 9});
    host::SelectVertex(*doc.objects[2], 0);
    return doc;
}

TEST(DocumentEdits, SelectRefusesBadInputAndChangesNothing)
{
    struct Case {
        SelectionRequest request;
        const char* error;
    };
    auto with = [](auto set) {
        SelectionRequest r;
        set(r);
        return r;
    };
    const std::vector<Case> cases = {
        {with([](SelectionRequest& r) { r.vertices = "0,6"; }), "6 is out of range: the indices are 0 to 5"},
        {with([](SelectionRequest& r) { r.vertices = "3-1"; }), "\"3-1\" is not an index or a rising range"},
        {with([](SelectionRequest& r) { r.vertices = "1,,2"; }), "\"\" is not an index"},
        {with([](SelectionRequest& r) { r.vertices = "-1"; }), "\"-1\" is not an index"},
        {with([](SelectionRequest& r) { r.vertices = "0x1"; }), "\"0x1\" is not an index"},
        {with([](SelectionRequest& r) { r.faces = "2"; }), "--faces \"2\": face 2 is an empty slot"},
        {with([](SelectionRequest& r) { r.faces = "0-3"; }), "3 is out of range"},
        {with([](SelectionRequest& r) { r.lines = "1:4"; }), "face 1 has lines 0 to 3, not 4"},
        {with([](SelectionRequest& r) { r.lines = "1"; }), "\"1\" is not a line (write FACE:K"},
        {with([](SelectionRequest& r) { r.lines = "7:0"; }), "face 7 is out of range"},
        {with([](SelectionRequest& r) { r.object = 1; r.vertices = "0"; }), "--object 1: that object slot is empty"},
        {with([](SelectionRequest& r) { r.object = 3; r.vertices = "0"; }), "--object 3: out of range: the document has objects 0 to 2"},
        {with([](SelectionRequest& r) { r.clear = true; r.current = 1; }), "--current 1: that object slot is empty"},
    };
    for (const Case& c : cases) {
        host::Document doc = TwoQuads();
        const host::Document before = host::CopyDocument(doc);
        std::string error;
        EXPECT_FALSE(host::ApplySelection(doc, c.request, error)) << c.error;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
        EXPECT_TRUE(host::IsEmpty(host::CompareDocuments(before, doc))) << c.error;
    }
}

TEST(DocumentEdits, SelectReplacesEachKindGivenOrAdds)
{
    host::Document doc = TwoQuads();
    SelectionRequest request;
    request.vertices = "0, 2-3";
    request.faces = "1";
    std::string error;
    ASSERT_TRUE(host::ApplySelection(doc, request, error)) << error;
    const host::Object& obj = *doc.objects[0];
    EXPECT_EQ(std::vector<unsigned char>(obj.vertexSelected.begin(), obj.vertexSelected.end()),
              (std::vector<unsigned char>{1, 0, 1, 1, 0, 0}));   // vertex 5 replaced
    EXPECT_TRUE(obj.faces[1].selected);
    EXPECT_TRUE(obj.faces[1].lineSelected[2]);   // lines not given: kept

    request = SelectionRequest();
    request.lines = "0:1-2";
    request.vertices = "5";
    request.add = true;
    request.current = 2;
    ASSERT_TRUE(host::ApplySelection(doc, request, error)) << error;
    EXPECT_TRUE(obj.vertexSelected[0] && obj.vertexSelected[5]);
    EXPECT_TRUE(obj.faces[0].lineSelected[1] && obj.faces[0].lineSelected[2]);
    EXPECT_TRUE(obj.faces[1].lineSelected[2]);
    EXPECT_EQ(doc.currentObject, 2);

    request = SelectionRequest();
    request.clear = true;
    ASSERT_TRUE(host::ApplySelection(doc, request, error));
    EXPECT_FALSE(obj.vertexSelected[0] || obj.faces[1].selected || obj.faces[1].lineSelected[2] ||
                 doc.objects[2]->vertexSelected[0]);
}

TEST(DocumentEdits, MergeKeepsOrderAndMergesMaterialsByName)
{
    host::Document merged = TwoQuads();
    host::AddMaterial(merged, "wood");
    host::Document part;
    host::AddMaterial(part, "stone");
    host::AddEmptyMaterialSlot(part);
    host::GetMaterial(part, host::AddMaterial(part, "wood"))->texture = "other.png";
    host::Object& obj = *host::GetObject(part, host::AddObject(part, "piece"));
    for (int i = 0; i < 3; ++i)
        host::AddVertex(obj, {0, 0, static_cast<float>(i)});
    host::AddFace(obj, {0, 1, 2}, 2);
    host::AddFace(obj, {2, 1, 0}, 0);
    host::AddFace(obj, {0, 2}, -1);
    std::string notes;
    host::AppendDocument(merged, std::move(part), "part.json", notes);

    ASSERT_EQ(merged.objects.size(), 4u);
    EXPECT_EQ(merged.objects[1], nullptr);
    EXPECT_EQ(merged.objects[3]->name, "piece");
    ASSERT_EQ(merged.materials.size(), 2u);
    EXPECT_EQ(merged.materials[1]->name, "stone");
    EXPECT_EQ(merged.objects[3]->faces[0].material, 0);   // wood: the first one's
    EXPECT_EQ(merged.objects[3]->faces[1].material, 1);
    EXPECT_EQ(merged.objects[3]->faces[2].material, -1);
    EXPECT_EQ(merged.materials[0]->texture, "");
    EXPECT_EQ(notes, "part.json: material \"wood\" differs from the one of that name before it; "
                     "that one is kept\n");
}

}  // namespace
