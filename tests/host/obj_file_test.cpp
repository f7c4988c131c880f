// Wavefront OBJ export and import: positions, faces, UVs, lines and
// material maps come back; faults of a file are refused with the place.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>

#include "geom/point3.h"
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
    return host::ImportObj(path, doc, notes, error);
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
    ASSERT_TRUE(host::ExportObj(path, doc, error)) << error;
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
    ASSERT_TRUE(host::ExportObj(folder.File("wire.obj"), doc, error)) << error;
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
    ASSERT_TRUE(host::ImportObj(folder.File("two.obj"), doc, notes, error)) << error;
    ASSERT_EQ(doc.objects.size(), 2u);
    EXPECT_EQ(doc.objects[1]->name, "b");
    EXPECT_EQ(doc.objects[1]->vertices.size(), 3u);
    EXPECT_EQ(doc.objects[1]->faces[0].points, (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(doc.objects[1]->vertices[0].x, 5.0f);
    EXPECT_EQ(doc.objects[1]->faces[0].uv[2].u, 0.5f);
    EXPECT_NE(notes.find("1 vertices that no face uses are not in the document"), std::string::npos) << notes;
}

TEST(ObjFile, StrictReadingRefusesWithLineAndColumn)
{
    const std::string tri = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    const struct {
        std::string text, error;
    } cases[] = {
        {"v nan 0 0\n", "1:3: \"nan\" is not a number"},
        {"v 0 0 0\nv 1,5 2 3\n", "2:3: \"1,5\" is not a number"},
        {"v 1 2\n", "1:6: \"v\" takes 3, 4 or 6 numbers, found 2"},
        {"v 1 2 3 4 5\n", "1:11: \"v\" takes 3, 4 or 6 numbers, found 5"},
        {"v 1e39 0 0\n", "1:3: 1e39 is too large for a float"},
        {"v 3.1+e2 0 0\n", "1:3: \"3.1+e2\" is not a number"},
        {"v 0 0x10 0\n", "1:5: \"0x10\" is not a number"},
        {"v 0 0 -inf\n", "1:7: \"-inf\" is not a number"},
        {tri + "vt 0.5\n", "4:7: \"vt\" takes 2 or 3 numbers, found 1"},
        {tri + "vn 0 0 1x\n", "4:8: \"1x\" is not a number"},
        {tri + "f 1 2 7\n", "4:7: vertex 7 does not exist (the file has 3 vertices)"},
        {tri + "vt 0 0\nf 1/1 2/1 3/4\n", "5:13: texture coordinate 4 does not exist (the file has 1 texture coordinate)"},
        {tri + "f 1//1 2 3\n", "4:6: normal 1 does not exist (the file has 0 normals)"},
        {tri + "f 0 1 2\n", "4:3: index 0: OBJ counts from 1"},
        {tri + "f 1 2 -4\n", "4:7: -4 counts back beyond the first (3 read so far)"},
        {tri + "f 1 2 3.0\n", "4:7: \"3.0\" is not an index"},
        {tri + "f 1 2\n", "4:6: \"f\" needs at least 3 points"},
        {tri + "f 1/1/1/1 2 3\n", "4:8: a corner has at most three parts (v/vt/vn)"},
        {tri + "l 1//1 2\n", "4:6: \"l\" corners have no normal"},
        {"\xFF\xFEv\x00 \x00", "1:1: the file starts with a UTF-16 or UTF-32 byte order mark; save it as UTF-8 text"},
        {std::string("v 0 0 0\n\0", 9), "2:1: a NUL byte: not a text file"},
        {"# caf\xE9\nv 0 0 0\n", "1:6: byte 0xE9 is not UTF-8 text"},
        {"", "1:1: the file holds no vertex and no face"},
        {"# only a comment\ng empty\n", "1:1: the file holds no vertex and no face"},
    };
    kivera_test::TempFolder folder;
    for (const auto& c : cases)
        EXPECT_EQ(ImportError(folder, c.text), folder.File("bad.obj") + ":" + c.error) << c.text;

    // The MTL file is read as strictly, and a UTF-8 byte order mark is text.
    kivera_test::WriteFile(folder.File("m.mtl"), "newmtl a\nKd 1 0.5\n");
    EXPECT_EQ(ImportError(folder, "\xEF\xBB\xBFmtllib m.mtl\n" + tri + "f 1 2 3\n"),
              folder.File("m.mtl") + ":2:6: \"Kd\" takes 3 numbers, found 2");
    kivera_test::WriteFile(folder.File("m.mtl"), "newmtl a\nNs 1e99\n");
    EXPECT_EQ(ImportError(folder, "mtllib m.mtl\n" + tri + "f 1 2 3\n"),
              folder.File("m.mtl") + ":2:4: 1e99 is too large for a float");

    host::Document doc;
    std::string error;
    EXPECT_FALSE(Import(folder.File("missing.obj"), doc, error));
    EXPECT_EQ(error, folder.File("missing.obj") + ": cannot read: No such file or directory");
}

TEST(ObjFile, TheFileNameChoosesTheFormat)
{
    EXPECT_TRUE(host::IsObjFileName("a/b/MESH.OBJ"));
    EXPECT_FALSE(host::IsObjFileName("mesh.json"));
    EXPECT_FALSE(host::IsObjFileName("obj"));
    EXPECT_FALSE(host::IsObjFileName("a/.obj"));
    EXPECT_TRUE(host::IsDocumentFileName("mesh.Json"));
    EXPECT_FALSE(host::IsDocumentFileName("mesh.ply"));
    EXPECT_FALSE(host::IsSvgFileName("mesh.png"));
    std::string error;
    EXPECT_FALSE(host::CheckFileName("x.png", true, error));
    EXPECT_EQ(error, "x.png: a picture's name ends in .svg; this program reads and writes no other format");
}

// Each face as the positions of its points: vertex indices may change on a
// round trip (a copy of a shared vertex moved away becomes a vertex of its own).
std::vector<std::vector<float>> FacePositions(const host::Object& obj)
{
    std::vector<std::vector<float>> faces;
    for (const host::Face& face : obj.faces) {
        if (face.points.empty())
            continue;
        std::vector<float> positions;
        for (int point : face.points) {
            const host::Vec3& v = obj.vertices[static_cast<size_t>(point)];
            positions.insert(positions.end(), {v.x, v.y, v.z});
        }
        for (const host::UV& uv : face.uv)
            positions.insert(positions.end(), {uv.u, uv.v});
        positions.push_back(static_cast<float>(face.material));
        faces.push_back(positions);
    }
    return faces;
}

void ExpectSameDocuments(const host::Document& a, const host::Document& b)
{
    ASSERT_EQ(a.objects.size(), b.objects.size());
    for (size_t o = 0; o < a.objects.size(); ++o) {
        EXPECT_EQ(a.objects[o]->name, b.objects[o]->name);
        // Added faces come after their object's last line of the file.
        std::vector<std::vector<float>> facesA = FacePositions(*a.objects[o]);
        std::vector<std::vector<float>> facesB = FacePositions(*b.objects[o]);
        std::sort(facesA.begin(), facesA.end());
        std::sort(facesB.begin(), facesB.end());
        EXPECT_EQ(facesA, facesB) << o;
    }
    ASSERT_EQ(a.materials.size(), b.materials.size());
    for (size_t m = 0; m < a.materials.size(); ++m) {
        EXPECT_EQ(a.materials[m]->texture, b.materials[m]->texture);
        EXPECT_EQ(a.materials[m]->bump, b.materials[m]->bump);
    }
}

size_t Count(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST(ObjFile, WritingBackKeepsWhatTheDocumentDoesNotHold)
{
    kivera_test::TempFolder folder;
    const std::string path = folder.File("two.obj");
    const std::string mtl = "newmtl red\nKa 0.1 0.1 0.1\nKd 1 0 0\nmap_Kd -s 2 2 1 red.png\n\n"
                            "newmtl blue\nKd 0 0 1\nNs 10\n";
    const std::string obj =
        "\xEF\xBB\xBF# two groups sharing an edge\r\nmtllib two.mtl\r\n"
        "v 0 0 0 1 0 0\r\nv 1 0 0 0 1 0\r\nv 1 1 0 0 0 1\r\nv 0 1 0 1 1 1\r\nv 2 0 0 1 1 0\r\n"
        "vt 0 0\r\nvt 1 0\r\nvt 1 1\r\nvn 0 0 1\r\n"
        "g left\r\nusemtl red\r\ns 1\r\nf 1/1/1 2/2/1 3/3/1\r\nf 1/1/1 3/3/1 4/3/1\r\n"
        "g right\r\nusemtl blue\r\ns off\r\nf 2//1 5//1 3//1\r\nf -4 -1 -3\r\nl 4 5\r\n";
    kivera_test::WriteFile(folder.File("two.mtl"), mtl);
    kivera_test::WriteFile(path, obj);
    host::Document doc;
    std::shared_ptr<const host::ObjSource> source;
    std::string notes, error;
    ASSERT_TRUE(host::ImportObj(path, doc, &source, notes, error)) << error;
    ASSERT_EQ(doc.objects.size(), 2u);
    ASSERT_EQ(doc.objects[1]->vertices.size(), 4u);   // file vertices 2, 3, 4, 5

    // Unchanged: the same bytes; to another file: the same statements and
    // an MTL file of its own.
    ASSERT_TRUE(host::ExportObj(path, doc, source.get(), notes, error)) << error;
    EXPECT_EQ(kivera_test::ReadFile(path), obj);
    ASSERT_TRUE(host::ExportObj(folder.File("copy.obj"), doc, source.get(), notes, error)) << error;
    std::string expected = obj;
    expected.replace(expected.find("two.mtl"), 7, "copy.mtl");
    EXPECT_EQ(kivera_test::ReadFile(folder.File("copy.obj")), expected);
    EXPECT_EQ(kivera_test::ReadFile(folder.File("copy.mtl")), mtl);
    EXPECT_EQ(notes, path + ": nothing the file holds changed; left as it was\n");
    notes.clear();

    // Move the right group's copy of a shared vertex, delete a face, add
    // one of another material, rename two maps.
    doc.objects[1]->vertices[0] = host::Vec3{1.0f, 0.0f, 5.0f};
    host::DeleteFace(*doc.objects[0], 1);
    host::AddFace(*doc.objects[0], {1, 2, 3}, 1);
    doc.materials[0]->texture = "new.png";
    doc.materials[1]->bump = "bump.png";
    ASSERT_TRUE(host::ExportObj(path, doc, source.get(), notes, error)) << error;
    EXPECT_EQ(notes, path + ": 1 face that the commands added or changed has no normals (the "
                            "others keep theirs)\n");
    const std::string written = kivera_test::ReadFile(path);
    for (const char* kept : {"# two groups sharing an edge\r\n", "v 1 0 0 0 1 0\r\n", "vn 0 0 1\r\n",
                             "f 1/1/1 2/2/1 3/3/1\r\n", "s off\r\nf 6//1 5//1 3//1\r\n",
                             "v 1 0 5 0 1 0\r\nvt", "f 6 5 3\r\nl 4 5\r\n",
                             "usemtl blue\r\nf 4 3 2\r\nusemtl red\r\ng right"})
        EXPECT_NE(written.find(kept), std::string::npos) << kept << "\n" << written;
    EXPECT_EQ(kivera_test::ReadFile(folder.File("two.mtl")),
              "newmtl red\nKa 0.1 0.1 0.1\nKd 1 0 0\nmap_Kd -s 2 2 1 new.png\n\n"
              "newmtl blue\nKd 0 0 1\nNs 10\nmap_bump bump.png\n");
    host::Document back;
    ASSERT_TRUE(Import(path, back, error)) << error;
    ExpectSameDocuments(back, doc);

    // What the patch cannot follow: in place refused, another file written
    // anew with a note.
    doc.objects[1].reset();
    notes.clear();
    EXPECT_FALSE(host::ExportObj(path, doc, source.get(), notes, error));
    EXPECT_EQ(error, path + ": not written: the commands removed object 1, so the file would be "
                            "written anew and lose its 1 normal, 2 smoothing-group statements, "
                            "5 vertex colours, 1 comment line and 4 material statements other "
                            "than maps (Ka, Kd, Ks, Ns, ...); write to another file with --out");
    EXPECT_EQ(kivera_test::ReadFile(path), written);
    ASSERT_TRUE(host::ExportObj(folder.File("other.obj"), doc, source.get(), notes, error)) << error;
    EXPECT_NE(notes.find("other.obj: written anew (the commands removed object 1): it lacks"), std::string::npos)
        << notes;
}

// OBJ polygons run counter-clockwise seen from the side their normal points
// to, the host's clockwise: read, every polygon's host normal is the file's
// "vn"; written anew, the file's corner order comes back.
TEST(ObjFile, PolygonsArriveWithTheHostsWinding)
{
    const struct {
        const char* text;
        kivera::Point3 normal;
        const char* written;   // the face as written anew
    } cases[] = {
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\nf 1//1 2//1 3//1\n", {0, 0, 1}, "f 1 2 3\n"},
        {"v 0 0 0\nv 0 1 0\nv 1 1 0\nv 1 0 0\nvn 0 0 -1\nf 1//1 2//1 3//1 4//1\n", {0, 0, -1},
         "f 1 2 3 4\n"},
        {"v 0 0 0\nv 0 0 1\nv 0 1 1\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn -1 0 0\n"
         "f 1/1/1 2/2/1 3/3/1 4/4/1\n", {-1, 0, 0}, "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nf 1/1 2/2 3/3 4/4\n"},
    };
    kivera_test::TempFolder folder;
    for (const auto& c : cases) {
        kivera_test::WriteFile(folder.File("in.obj"), c.text);
        host::Document doc;
        std::string error;
        ASSERT_TRUE(Import(folder.File("in.obj"), doc, error)) << error;
        const host::Object& obj = *doc.objects[0];
        const host::Face& face = obj.faces[0];
        std::vector<kivera::Point3> corners;
        for (int p : face.points) {
            const host::Vec3& v = obj.vertices[static_cast<size_t>(p)];
            corners.push_back(kivera::Point3{v.x, v.y, v.z});
        }
        const kivera::Point3 n = kivera::FaceNormal(corners.data(), static_cast<int>(corners.size()));
        EXPECT_GT(n.x * c.normal.x + n.y * c.normal.y + n.z * c.normal.z, 0.99f) << c.text;
        // The UV of a point follows it: vt k belongs to file vertex k.
        for (size_t k = 0; k < face.uv.size() && std::string(c.text).find("vt") != std::string::npos; ++k)
            EXPECT_EQ(face.uv[k].u, face.points[k] == 1 || face.points[k] == 2 ? 1.0f : 0.0f) << k;
        ASSERT_TRUE(host::ExportObj(folder.File("out.obj"), doc, error)) << error;
        const std::string written = kivera_test::ReadFile(folder.File("out.obj"));
        EXPECT_NE(written.find(c.written), std::string::npos) << written;
    }
}

// An 8-bit file read as Latin-1 has UTF-8 names in the document and keeps
// its bytes when patched; what no document holds ("vp") is named; a JSON
// saved as UTF-16 gets the byte-order-mark message an OBJ gets.
TEST(ObjFile, Latin1FilesAndStatementsNoDocumentHolds)
{
    kivera_test::TempFolder folder;
    const std::string path = folder.File("dk.obj");
    const std::string text = "mtllib dk.mtl\ng d\xE6k\nusemtl tr\xE6\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvp 0.5\nf 1 2 3\n";
    kivera_test::WriteFile(path, text);
    kivera_test::WriteFile(folder.File("dk.mtl"), "newmtl tr\xE6\nmap_Kd tr\xE6.png\n");
    host::Document doc;
    std::shared_ptr<const host::ObjSource> source;
    std::string notes, error;
    EXPECT_FALSE(host::ImportObj(path, doc, &source, notes, error));
    EXPECT_NE(error.find(":2:4: byte 0xE6 is not UTF-8 text"), std::string::npos) << error;
    ASSERT_TRUE(host::ImportObj(path, doc, &source, notes, error, true)) << error;
    EXPECT_EQ(doc.objects[0]->name, "d\u00E6k");
    EXPECT_EQ(doc.materials[0]->name, "tr\u00E6");
    EXPECT_EQ(doc.materials[0]->texture, "tr\u00E6.png");
    EXPECT_EQ(host::ObjContentsBeyondTheDocument(*source), "1 other statement (vp)");
    doc.objects[0]->vertices[1].y = 2;
    doc.materials[0]->texture = "n\u00E6w.png";
    ASSERT_TRUE(host::ExportObj(path, doc, source.get(), notes, error)) << error;
    std::string expected = text;
    expected.replace(expected.find("v 1 0 0"), 7, "v 1 2 0");
    EXPECT_EQ(kivera_test::ReadFile(path), expected);
    EXPECT_EQ(kivera_test::ReadFile(folder.File("dk.mtl")), "newmtl tr\xE6\nmap_Kd n\xE6w.png\n");

    host::Document json;
    host::DocumentInfo info;
    EXPECT_FALSE(host::ParseDocumentText(std::string("\xFF\xFE{\0}\0", 6), "w.json", json, info, error));
    EXPECT_EQ(error, "w.json:1:1: the file starts with a UTF-16 or UTF-32 byte order mark; save it as UTF-8 text");
}

// Debian's assimp-testmodels: every OBJ file the reader takes comes back
// the same when written to another file, statements and all.
TEST(ObjFile, RealFilesComeBackTheSame)
{
    const std::string models = "/usr/share/assimp/models/OBJ";
    if (!std::filesystem::is_directory(models))
        GTEST_SKIP() << models << " is missing (Debian package assimp-testmodels)";
    kivera_test::TempFolder folder;
    int read = 0;
    for (const auto& entry : std::filesystem::directory_iterator(models)) {
        if (entry.path().extension() != ".obj")
            continue;
        host::Document doc;
        std::shared_ptr<const host::ObjSource> source;
        std::string notes, error;
        if (!host::ImportObj(entry.path().string(), doc, &source, notes, error))
            continue;   // UTF-16 and Latin-1 files, and a number that is not one
        ++read;
        const std::string copy = folder.File("copy.obj");
        ASSERT_TRUE(host::ExportObj(copy, doc, source.get(), notes, error)) << error;
        host::Document back;
        ASSERT_TRUE(Import(copy, back, error)) << entry.path() << ": " << error;
        ExpectSameDocuments(back, doc);
        const std::string original = kivera_test::ReadFile(entry.path().string());
        const std::string written = kivera_test::ReadFile(copy);
        for (const char* statement : {"\nvn ", "\ns ", "\ng ", "\nusemtl ", "\nf "})
            EXPECT_EQ(Count(written, statement), Count(original, statement)) << entry.path() << statement;

        // Edited: every object's first vertex moved, its first face deleted
        // and its last one added again with another material.
        for (auto& obj : doc.objects) {
            if (obj->faces.empty())
                continue;
            obj->vertices[0].x += 1.0f;
            const host::Face last = obj->faces[obj->faces.size() - 1];
            if (!host::DeleteFace(*obj, 0))
                continue;
            const int added = host::AddFace(*obj, std::vector<int>(last.points.begin(), last.points.end()),
                                            static_cast<int>(doc.materials.size()) - 1);
            obj->faces[static_cast<size_t>(added)].uv = last.uv;
        }
        ASSERT_TRUE(host::ExportObj(copy, doc, source.get(), notes, error)) << error;
        host::Document edited;
        ASSERT_TRUE(Import(copy, edited, error)) << entry.path() << ": " << error;
        ExpectSameDocuments(edited, doc);
    }
    EXPECT_GE(read, 15);
}

}  // namespace
