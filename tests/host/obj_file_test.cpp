// Wavefront OBJ export and import: positions, faces, UVs, lines and
// material maps come back; faults of a file are refused with the place.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>

#include "host/program/document_file.h"
#include "host/program/obj_file.h"
#include "tests/support/test_support.h"

namespace {

std::uint32_t Bits(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

bool Import(const std::string& path, host::Document& doc, std::string& error)
{
    std::string notes;
    return hostapp::ImportObj(path, doc, notes, error);
}

std::string ImportError(const kivera_test::TempFolder& folder, const std::string& text)
{
    kivera_test::WriteFile(folder.File("bad.obj"), text);
    host::Document doc;
    std::string error;
    EXPECT_FALSE(Import(folder.File("bad.obj"), doc, error)) << text;
    return error;
}

TEST(ObjFile, RoundTripKeepsPositionsFacesAndUVs)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<float> coordinate(-1000.0f, 1000.0f);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    host::Document doc;
    host::AddMaterial(doc, "skin tone");   // the blank cannot stay in an MTL name
    doc.materials[0]->texture = "skin.png";
    doc.materials[0]->alpha = "skin-alpha.png";
    doc.materials[0]->bump = "skin-bump.png";
    for (int o = 0; o < 2; ++o) {
        host::Object& obj = *host::GetObject(doc, host::AddObject(doc, "part " + std::to_string(o)));
        for (int v = 0; v < 300; ++v)
            host::AddVertex(obj, host::Vec3{coordinate(random), coordinate(random), unit(random)});
        for (int f = 0; f + 3 < 300; f += 2) {
            const std::vector<int> points =
                f % 6 == 0 ? std::vector<int>{f, f + 1, f + 2} : std::vector<int>{f, f + 1, f + 3, f + 2};
            const int face = host::AddFace(obj, points, f % 4 == 0 ? 0 : -1);
            for (host::UV& uv : obj.faces[static_cast<size_t>(face)].uv)
                uv = host::UV{unit(random), unit(random)};
        }
    }
    kivera_test::TempFolder folder;
    const std::string path = folder.File("mesh.obj");
    std::string error;
    ASSERT_TRUE(hostapp::ExportObj(path, doc, error)) << error;
    ASSERT_TRUE(kivera_test::FileExists(folder.File("mesh.mtl")));

    host::Document back;
    ASSERT_TRUE(Import(path, back, error)) << error;
    ASSERT_EQ(back.objects.size(), 2u);
    ASSERT_EQ(back.materials.size(), 1u);
    EXPECT_EQ(back.materials[0]->name, "skin_tone");
    EXPECT_EQ(back.materials[0]->texture, "skin.png");
    EXPECT_EQ(back.materials[0]->alpha, "skin-alpha.png");
    EXPECT_EQ(back.materials[0]->bump, "skin-bump.png");
    for (size_t o = 0; o < 2; ++o) {
        const host::Object& a = *doc.objects[o];
        const host::Object& b = *back.objects[o];
        EXPECT_EQ(b.name, a.name);
        ASSERT_EQ(b.vertices.size(), a.vertices.size());
        for (size_t v = 0; v < a.vertices.size(); ++v) {
            EXPECT_EQ(Bits(b.vertices[v].x), Bits(a.vertices[v].x)) << o << " " << v;
            EXPECT_EQ(Bits(b.vertices[v].y), Bits(a.vertices[v].y)) << o << " " << v;
            EXPECT_EQ(Bits(b.vertices[v].z), Bits(a.vertices[v].z)) << o << " " << v;
        }
        ASSERT_EQ(b.faces.size(), a.faces.size());
        for (size_t f = 0; f < a.faces.size(); ++f) {
            EXPECT_EQ(b.faces[f].points, a.faces[f].points) << f;
            EXPECT_EQ(b.faces[f].material, a.faces[f].material) << f;
            for (size_t k = 0; k < a.faces[f].uv.size(); ++k) {
                EXPECT_EQ(Bits(b.faces[f].uv[k].u), Bits(a.faces[f].uv[k].u)) << f;
                EXPECT_EQ(Bits(b.faces[f].uv[k].v), Bits(a.faces[f].uv[k].v)) << f;
            }
        }
    }
}

TEST(ObjFile, LinesAndPointsFollowThePolygons)
{
    host::Document doc;
    host::Object& obj = *host::GetObject(doc, host::AddObject(doc, "wire"));
    for (int v = 0; v < 5; ++v)
        host::AddVertex(obj, host::Vec3{static_cast<float>(v), 0.0f, 0.0f});
    host::AddFace(obj, {0, 1});
    host::AddFace(obj, {1, 2, 3});
    host::AddFace(obj, {4});
    host::AddFace(obj, {3, 4});
    host::DeleteFace(obj, 0);
    host::SelectVertex(obj, 1);
    kivera_test::TempFolder folder;
    std::string error;
    ASSERT_TRUE(hostapp::ExportObj(folder.File("wire.obj"), doc, error)) << error;
    EXPECT_FALSE(kivera_test::FileExists(folder.File("wire.mtl")));
    host::Document back;
    ASSERT_TRUE(Import(folder.File("wire.obj"), back, error)) << error;
    const host::Object& b = *back.objects[0];
    ASSERT_EQ(b.faces.size(), 3u);   // the empty slot is gone
    EXPECT_EQ(b.faces[0].points, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(b.faces[1].points, (std::vector<int>{3, 4}));
    EXPECT_EQ(b.faces[2].points, (std::vector<int>{4}));
    EXPECT_EQ(b.vertexSelected, (std::vector<unsigned char>(5, 0)));   // OBJ has no selection
}

TEST(ObjFile, ObjectsTakeTheVerticesTheirFacesUse)
{
    kivera_test::TempFolder folder;
    kivera_test::WriteFile(folder.File("two.obj"),
                           "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 9 9 9\nv 5 0 0\nv 6 0 0\nv 5 1 0\n"
                           "o a\nf 1 2 3\no b\nf 5/1 6/2 -1/3\nvt 0.5 0.25\nvt 1 0\nvt 0 1\n");
    host::Document doc;
    std::string notes, error;
    ASSERT_TRUE(hostapp::ImportObj(folder.File("two.obj"), doc, notes, error)) << error;
    ASSERT_EQ(doc.objects.size(), 2u);
    EXPECT_EQ(doc.objects[1]->name, "b");
    EXPECT_EQ(doc.objects[1]->vertices.size(), 3u);
    EXPECT_EQ(doc.objects[1]->faces[0].points, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(doc.objects[1]->vertices[0].x, 5.0f);
    EXPECT_EQ(doc.objects[1]->faces[0].uv[0].u, 0.5f);
    EXPECT_NE(notes.find("1 vertices that no face uses were left out"), std::string::npos) << notes;
}

TEST(ObjFile, FaultsNameTheFileAndPlace)
{
    kivera_test::TempFolder folder;
    EXPECT_EQ(ImportError(folder, "v 0 0 0\nv 1 0 0\nv 0 1 0\no tri\nf 1 2 7\n"),
              folder.File("bad.obj") + ": object 0 \"tri\", face 0, point 2: vertex 7 does not "
                                       "exist (the file has 3 vertices)");
    EXPECT_EQ(ImportError(folder, "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nf 1/1 2/1 3/4\n"),
              folder.File("bad.obj") + ": object 0, face 0, point 2: texture coordinate 4 does "
                                       "not exist (the file has 1)");
    const std::string zero = ImportError(folder, "v 0 0 0\nf 0 1 1\n");
    EXPECT_NE(zero.find("line 2"), std::string::npos) << zero;

    host::Document doc;
    std::string error;
    EXPECT_FALSE(Import(folder.File("missing.obj"), doc, error));
    EXPECT_EQ(error, folder.File("missing.obj") + ": cannot read: No such file or directory");
}

TEST(ObjFile, TheFileNameChoosesTheFormat)
{
    EXPECT_TRUE(hostapp::IsObjFileName("a/b/MESH.OBJ"));
    EXPECT_FALSE(hostapp::IsObjFileName("mesh.json"));
    EXPECT_FALSE(hostapp::IsObjFileName("obj"));
}

}  // namespace
