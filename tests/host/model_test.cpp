// The document model's C++ interface: counters kept current through edits.
#include <gtest/gtest.h>

#include "host/library/document.h"

namespace {

using host::Object;

// A strip of two quads sharing the edge 1-4:  0 1 2 / 3 4 5.
Object& Strip(host::Document& doc)
{
    Object& obj = *host::GetObject(doc, host::AddObject(doc, "strip"));
    for (int i = 0; i < 6; ++i)
        host::AddVertex(obj, {float(i % 3), float(i / 3), 0.0f});
    host::AddFace(obj, {0, 1, 4, 3});
    host::AddFace(obj, {1, 2, 5, 4});
    return obj;
}

TEST(Model, NewDocumentIsEmptyWithIdentityView)
{
    host::Document doc;
    EXPECT_TRUE(doc.objects.empty());
    EXPECT_TRUE(doc.materials.empty());
    EXPECT_EQ(doc.currentObject, 0);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(doc.scene.view[i], i % 5 == 0 ? 1.0f : 0.0f);
        EXPECT_EQ(doc.scene.projection[i], i % 5 == 0 ? 1.0f : 0.0f);
    }
}

TEST(Model, ReferenceCountsFollowAddAndDelete)
{
    host::Document doc;
    Object& obj = Strip(doc);
    EXPECT_EQ(obj.refCount, (std::vector<int>{1, 2, 1, 1, 2, 1}));

    // A face naming one vertex twice counts both corners.
    const int twice = host::AddFace(obj, {1, 1, 2});
    EXPECT_EQ(twice, 2);
    EXPECT_EQ(obj.refCount[1], 4);

    EXPECT_TRUE(host::DeleteFace(obj, 0));
    EXPECT_EQ(obj.refCount, (std::vector<int>{0, 3, 2, 0, 1, 1}));
    EXPECT_FALSE(host::DeleteFace(obj, 0)) << "an empty slot has nothing to delete";
    EXPECT_EQ(obj.refCount[1], 3);
}

TEST(Model, DeletedFaceKeepsItsSlotAndLosesItsSelection)
{
    host::Document doc;
    Object& obj = Strip(doc);
    host::SelectFace(obj, 0);
    host::SelectLine(obj, 0, 2);
    ASSERT_TRUE(host::DeleteFace(obj, 0));
    ASSERT_EQ(obj.faces.size(), 2u);
    EXPECT_TRUE(obj.faces[0].points.empty());
    EXPECT_FALSE(obj.faces[0].selected);
    EXPECT_TRUE(obj.faces[0].lineSelected.empty());
    EXPECT_EQ(obj.faces[1].points, (std::vector<int>{1, 2, 5, 4}));
    // New faces go at the end; the empty slot is not reused.
    EXPECT_EQ(host::AddFace(obj, {0, 1, 4}), 2);
    // An empty slot cannot be selected.
    host::SelectFace(obj, 0);
    EXPECT_FALSE(obj.faces[0].selected);
}

TEST(Model, AddFaceRefusesBadPointsAndAllowsManyPoints)
{
    host::Document doc;
    Object& obj = Strip(doc);
    EXPECT_EQ(host::AddFace(obj, {}), -1);
    EXPECT_EQ(host::AddFace(obj, {0, 1, 6}), -1);
    EXPECT_EQ(host::AddFace(obj, {0, -1, 2}), -1);
    EXPECT_EQ(obj.faces.size(), 2u);
    EXPECT_EQ(obj.refCount, (std::vector<int>{1, 2, 1, 1, 2, 1}));

    const int hexagon = host::AddFace(obj, {0, 1, 2, 5, 4, 3}, 7);
    ASSERT_EQ(hexagon, 2);
    EXPECT_EQ(obj.faces[2].uv.size(), 6u);
    EXPECT_EQ(obj.faces[2].lineSelected.size(), 6u);
    EXPECT_EQ(obj.faces[2].material, 7);
}

TEST(Model, SelectionIgnoresBadIndices)
{
    host::Document doc;
    Object& obj = Strip(doc);
    host::SelectVertex(obj, -1);
    host::SelectVertex(obj, 6);
    host::SelectLine(obj, 0, 4);
    host::SelectLine(obj, 2, 0);
    host::SelectFace(obj, 2);
    host::SelectVertex(obj, 5);
    host::SelectLine(obj, 1, 3);
    EXPECT_EQ(obj.vertexSelected, (std::vector<unsigned char>{0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(obj.faces[0].lineSelected, (std::vector<unsigned char>{0, 0, 0, 0}));
    EXPECT_EQ(obj.faces[1].lineSelected, (std::vector<unsigned char>{0, 0, 0, 1}));
    host::SelectVertex(obj, 5, false);
    EXPECT_EQ(obj.vertexSelected[5], 0);
}

TEST(Model, GetObjectAndMaterialGiveNullForEmptyOrBadSlots)
{
    host::Document doc;
    EXPECT_EQ(host::AddObject(doc, "a"), 0);
    EXPECT_EQ(host::AddEmptyObjectSlot(doc), 1);
    EXPECT_EQ(host::AddMaterial(doc, "m"), 0);
    EXPECT_EQ(host::AddEmptyMaterialSlot(doc), 1);
    EXPECT_NE(host::GetObject(doc, 0), nullptr);
    EXPECT_EQ(host::GetObject(doc, 1), nullptr);
    EXPECT_EQ(host::GetObject(doc, 2), nullptr);
    EXPECT_EQ(host::GetObject(doc, -1), nullptr);
    const host::Document& constDoc = doc;
    EXPECT_EQ(host::GetObject(constDoc, 1), nullptr);
    EXPECT_NE(host::GetMaterial(doc, 0), nullptr);
    EXPECT_EQ(host::GetMaterial(doc, 1), nullptr);
    EXPECT_EQ(host::GetMaterial(doc, -1), nullptr);
}

TEST(Model, InvertFaceKeepsUVsAndLinesWithTheirPoints)
{
    host::Document doc;
    Object& obj = Strip(doc);
    for (int i = 0; i < 4; ++i)
        obj.faces[0].uv[i] = {float(i), 0.0f};
    host::SelectLine(obj, 0, 0);   // joins 0 and 1
    ASSERT_TRUE(host::InvertFace(obj, 0));
    EXPECT_EQ(obj.faces[0].points, (std::vector<int>{3, 4, 1, 0}));
    EXPECT_EQ(obj.faces[0].uv[0].u, 3.0f);
    EXPECT_EQ(obj.faces[0].uv[3].u, 0.0f);
    // The line joining 1 and 0 is now line 2.
    EXPECT_EQ(obj.faces[0].lineSelected, (std::vector<unsigned char>{0, 0, 1, 0}));
    host::DeleteFace(obj, 1);
    EXPECT_FALSE(host::InvertFace(obj, 1));
    EXPECT_FALSE(host::InvertFace(obj, 9));
}

TEST(Model, CompactObjectDropsEmptyFacesAndUnusedVertices)
{
    host::Document doc;
    Object& obj = Strip(doc);
    host::SelectVertex(obj, 5);
    host::DeleteFace(obj, 0);   // vertices 0 and 3 fall out of use
    host::CompactObject(obj);
    ASSERT_EQ(obj.faces.size(), 1u);
    EXPECT_EQ(obj.faces[0].points, (std::vector<int>{0, 1, 3, 2}));
    ASSERT_EQ(obj.vertices.size(), 4u);
    EXPECT_EQ(obj.vertices[0].x, 1.0f);
    EXPECT_EQ(obj.refCount, (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(obj.vertexSelected, (std::vector<unsigned char>{0, 0, 0, 1}));
}

TEST(Model, DeleteVertexOnlyWhenUnused)
{
    host::Document doc;
    Object& obj = Strip(doc);
    const int loose = host::AddVertex(obj, {9.0f, 9.0f, 9.0f});
    host::AddVertex(obj, {8.0f, 8.0f, 8.0f});
    host::AddFace(obj, {loose + 1, 0, 1});
    EXPECT_FALSE(host::DeleteVertex(obj, 0));
    EXPECT_FALSE(host::DeleteVertex(obj, 99));
    ASSERT_TRUE(host::DeleteVertex(obj, loose));
    EXPECT_EQ(obj.vertices.size(), 7u);
    EXPECT_EQ(obj.faces[2].points, (std::vector<int>{loose, 0, 1}));
    EXPECT_EQ(obj.refCount[loose], 1);
}

TEST(Model, MergeAppendsACopyEvenOfItself)
{
    host::Document doc;
    Object& obj = Strip(doc);
    host::SelectFace(obj, 1);
    host::MergeObject(obj, obj);
    ASSERT_EQ(obj.vertices.size(), 12u);
    ASSERT_EQ(obj.faces.size(), 4u);
    EXPECT_EQ(obj.faces[3].points, (std::vector<int>{7, 8, 11, 10}));
    EXPECT_TRUE(obj.faces[3].selected);
    EXPECT_EQ(obj.refCount[7], 2);
}

TEST(Model, CompactDocumentRenumbersMaterials)
{
    host::Document doc;
    host::AddEmptyObjectSlot(doc);
    Object& obj = Strip(doc);
    host::AddEmptyMaterialSlot(doc);
    host::AddMaterial(doc, "kept");
    obj.faces[0].material = 1;
    obj.faces[1].material = 0;   // named the empty slot
    doc.currentObject = 1;
    host::CompactDocument(doc);
    ASSERT_EQ(doc.objects.size(), 1u);
    EXPECT_EQ(doc.objects[0]->name, "strip");
    ASSERT_EQ(doc.materials.size(), 1u);
    EXPECT_EQ(obj.faces[0].material, 0);
    EXPECT_EQ(obj.faces[1].material, -1);
    EXPECT_EQ(doc.currentObject, 0);
}

}  // namespace
