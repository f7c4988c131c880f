// The host program's document files: a save-load-save round trip keeps every
// bit of positions and UVs and gives identical text, and every fault of a
// document file is refused with one line naming the file and the place.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "host/program/document_file.h"
#include "tests/support/test_support.h"

namespace {

using host::DocumentInfo;

std::uint32_t Bits(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Any finite float, from its bits: tiny, huge, subnormal and negative zero.
float RandomFloat(std::mt19937& random)
{
    for (;;) {
        const std::uint32_t bits = random();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value))
            return value;
    }
}

// A document using every part of the format.
host::Document RichDocument()
{
    host::Document doc;
    std::mt19937 random(7);
    host::AddMaterial(doc, "wood");
    doc.materials[0]->texture = "wood.png";
    doc.materials[0]->bump = "bump \"b\".png";
    host::AddEmptyMaterialSlot(doc);
    host::AddEmptyObjectSlot(doc);
    host::Object& obj = *host::GetObject(doc, host::AddObject(doc, "mesh \xE7\x82\xB9"));
    for (int i = 0; i < 200; ++i)
        host::AddVertex(obj, host::Vec3{RandomFloat(random), RandomFloat(random), -0.0f});
    for (int f = 0; f < 40; ++f) {
        const int face = host::AddFace(obj, {f, f + 1, f + 2, f + 3}, f % 3 == 0 ? 0 : -1);
        for (host::UV& uv : obj.faces[static_cast<size_t>(face)].uv)
            uv = host::UV{RandomFloat(random), RandomFloat(random)};
    }
    host::AddFace(obj, {5, 6});
    host::DeleteFace(obj, 3);   // an empty slot in the middle
    host::SelectVertex(obj, 4);
    host::SelectFace(obj, 7);
    host::SelectLine(obj, 8, 2);
    doc.currentObject = 1;
    doc.scene.view[3] = 0.1f;
    doc.scene.view[12] = std::numeric_limits<float>::quiet_NaN();
    return doc;
}

bool Parse(const std::string& text, host::Document& doc, std::string& error)
{
    DocumentInfo info;
    return host::ParseDocumentText(text, "doc.json", doc, info, error);
}

// The error of a document text that must be refused.
std::string ErrorOf(const std::string& text)
{
    host::Document doc;
    std::string error;
    EXPECT_FALSE(Parse(text, doc, error)) << text;
    return error;
}

std::string WithObject(const std::string& object)
{
    return "{\"objects\": [" + object + "]}";
}

TEST(DocumentFile, SaveLoadSaveKeepsEveryBit)
{
    const host::Document doc = RichDocument();
    const std::string first = host::FormatDocumentText(doc, DocumentInfo{"a \"rich\" one"});
    host::Document loaded;
    DocumentInfo info;
    std::string error;
    ASSERT_TRUE(host::ParseDocumentText(first, "doc.json", loaded, info, error)) << error;
    EXPECT_EQ(host::FormatDocumentText(loaded, info), first);
    EXPECT_EQ(info.description, "a \"rich\" one");

    const host::Object& a = *doc.objects[1];
    const host::Object& b = *loaded.objects[1];
    EXPECT_EQ(loaded.objects[0], nullptr);
    EXPECT_EQ(loaded.materials[1], nullptr);
    EXPECT_EQ(b.name, a.name);
    ASSERT_EQ(b.vertices.size(), a.vertices.size());
    for (size_t v = 0; v < a.vertices.size(); ++v) {
        EXPECT_EQ(Bits(b.vertices[v].x), Bits(a.vertices[v].x)) << v;
        EXPECT_EQ(Bits(b.vertices[v].y), Bits(a.vertices[v].y)) << v;
        EXPECT_EQ(Bits(b.vertices[v].z), Bits(a.vertices[v].z)) << v;   // -0 stays -0
    }
    ASSERT_EQ(b.faces.size(), a.faces.size());
    for (size_t f = 0; f < a.faces.size(); ++f) {
        EXPECT_EQ(b.faces[f].points, a.faces[f].points) << f;
        EXPECT_EQ(b.faces[f].material, a.faces[f].material) << f;
        for (size_t k = 0; k < a.faces[f].uv.size(); ++k) {
            EXPECT_EQ(Bits(b.faces[f].uv[k].u), Bits(a.faces[f].uv[k].u));
            EXPECT_EQ(Bits(b.faces[f].uv[k].v), Bits(a.faces[f].uv[k].v));
        }
    }
    EXPECT_TRUE(b.faces[3].points.empty());
    EXPECT_EQ(b.refCount, a.refCount);
    EXPECT_EQ(b.vertexSelected, a.vertexSelected);
    EXPECT_TRUE(b.faces[7].selected);
    EXPECT_TRUE(b.faces[8].lineSelected[2]);
    EXPECT_EQ(loaded.currentObject, 1);
    EXPECT_EQ(loaded.materials[0]->bump, "bump \"b\".png");
    EXPECT_TRUE(std::isnan(loaded.scene.view[12]));
    EXPECT_EQ(Bits(loaded.scene.view[3]), Bits(0.1f));
}

TEST(DocumentFile, NonFiniteCoordinatesAreWrittenAsStrings)
{
    host::Document doc;
    host::Object& obj = *host::GetObject(doc, host::AddObject(doc, "o"));
    const float inf = std::numeric_limits<float>::infinity();
    host::AddVertex(obj, host::Vec3{std::nanf(""), inf, -inf});
    const std::string text = host::FormatDocumentText(doc, DocumentInfo{});
    EXPECT_NE(text.find("[\"nan\", \"inf\", \"-inf\"]"), std::string::npos) << text;
    host::Document loaded;
    std::string error;
    ASSERT_TRUE(Parse(text, loaded, error)) << error;
    EXPECT_TRUE(std::isnan(loaded.objects[0]->vertices[0].x));
    EXPECT_EQ(loaded.objects[0]->vertices[0].z, -inf);
}

TEST(DocumentFile, NamesThatAreNotUtf8StillGiveValidJson)
{
    host::Document doc;
    host::AddObject(doc, "\x93_\x82\xF0");   // code page 932 bytes
    host::Document loaded;
    std::string error;
    EXPECT_TRUE(Parse(host::FormatDocumentText(doc, DocumentInfo{}), loaded, error)) << error;
}

TEST(DocumentFile, MalformedJsonNamesLineAndColumn)
{
    EXPECT_EQ(ErrorOf("{\n  \"objects\": [\n    tru\n  ]\n}"),
              "doc.json:3:8: malformed JSON: syntax error while parsing value - invalid literal");
    EXPECT_EQ(ErrorOf("{\"objects\": [{\"vertices\": [[1e99, 0, 0]]}]}").rfind("doc.json:1:", 0), 0u);
    EXPECT_NE(ErrorOf("").find("doc.json:1:1: malformed JSON"), std::string::npos);
    EXPECT_NE(ErrorOf("{\"objects\": []").find("malformed JSON"), std::string::npos);
}

TEST(DocumentFile, WrongTypesNameThePlace)
{
    EXPECT_EQ(ErrorOf("[]"), "doc.json: a document is a JSON object, found an array");
    EXPECT_EQ(ErrorOf("{\"objects\": {}}"), "doc.json: objects: expected an array, found an object");
    EXPECT_EQ(ErrorOf(WithObject("{\"vertices\": [[0, \"x\", 0]]}")),
              "doc.json: object 0, vertex 0, coordinate 1: expected a number (or \"nan\", "
              "\"inf\", \"-inf\"), found the string \"x\"");
    EXPECT_EQ(ErrorOf(WithObject("{\"vertices\": [[0, 0]]}")),
              "doc.json: object 0, vertex 0: expected an array of 3 numbers, found an array of 2");
    EXPECT_EQ(ErrorOf(WithObject("{\"vertices\": [[0,0,0]], \"faces\": [{\"points\": [0.5]}]}")),
              "doc.json: object 0, face 0, point 0: expected an integer, found a number with a "
              "fraction");
    EXPECT_EQ(ErrorOf(WithObject("{\"name\": 3}")),
              "doc.json: object 0, name: expected a string, found an integer");
    EXPECT_EQ(ErrorOf(WithObject("{\"faces\": [{\"points\": [], \"selected\": 1}]}")),
              "doc.json: object 0, face 0, points: a face needs at least one point (write null "
              "for an empty face slot)");
    EXPECT_EQ(ErrorOf(WithObject("{\"vertices\": [[0,0,0]], \"faces\": [{\"points\": [0], "
                                 "\"selected\": 1}]}")),
              "doc.json: object 0, face 0, selected: expected true or false, found an integer");
    EXPECT_EQ(ErrorOf(WithObject("{\"vertex\": []}")),
              "doc.json: object 0: unknown key \"vertex\" (known: \"name\", \"vertices\", "
              "\"faces\", \"selectedVertices\")");
    EXPECT_EQ(ErrorOf("{\"materials\": []}"),
              "doc.json: a document needs \"objects\" (an array, may be empty)");
    EXPECT_EQ(ErrorOf("{\"version\": 2, \"objects\": []}"),
              "doc.json: version: version 2 is not known; this program reads version 1");
    EXPECT_EQ(ErrorOf("{\"view\": [1, 0], \"objects\": []}"),
              "doc.json: view: expected an array of 16 numbers, found an array of 2");
}

TEST(DocumentFile, IndicesOutOfRangeAreRefused)
{
    const std::string triangle = "\"vertices\": [[0,0,0], [1,0,0], [0,1,0]]";
    EXPECT_EQ(ErrorOf(WithObject("{" + triangle + ", \"faces\": [null, {\"points\": [0, 1, 3]}]}")),
              "doc.json: object 0, face 1, point 2: 3 is out of range: the object has vertices "
              "0 to 2");
    EXPECT_EQ(ErrorOf(WithObject("{\"faces\": [{\"points\": [0]}]}")),
              "doc.json: object 0, face 0, point 0: 0 is out of range: the object has no vertices");
    EXPECT_EQ(ErrorOf(WithObject("{" + triangle + ", \"selectedVertices\": [-1]}")),
              "doc.json: object 0, selected vertex 0: -1 is out of range: the object has "
              "vertices 0 to 2");
    EXPECT_EQ(ErrorOf(WithObject("{" + triangle +
                                 ", \"faces\": [{\"points\": [0, 1, 2], \"selectedLines\": [3]}]}")),
              "doc.json: object 0, face 0, selected line 0: 3 is out of range: the face has "
              "lines 0 to 2");
    EXPECT_EQ(ErrorOf(WithObject("{" + triangle + ", \"faces\": [{\"points\": [0, 1, 2], "
                                 "\"material\": 0}]}")),
              "doc.json: object 0, face 0, material: 0 is out of range: the document has no "
              "materials (-1 means none)");
    EXPECT_EQ(ErrorOf(WithObject("{" + triangle + ", \"faces\": [{\"points\": [0, 1, 2], "
                                 "\"uv\": [[0, 0]]}]}")),
              "doc.json: object 0, face 0, uv: expected one UV per point (3), found 1");
    EXPECT_EQ(ErrorOf("{\"currentObject\": 1, \"objects\": [null]}"),
              "doc.json: currentObject: 1 is out of range: the document has objects 0 to 0");
    EXPECT_EQ(ErrorOf(WithObject("{\"faces\": [{\"points\": [4294967296]}]}")),
              "doc.json: object 0, face 0, point 0: the integer 4294967296 is out of range");
}

TEST(DocumentFile, EmptyDocumentAndDefaults)
{
    host::Document doc;
    std::string error;
    ASSERT_TRUE(Parse("{\"currentObject\": 0, \"objects\": []}", doc, error)) << error;
    EXPECT_TRUE(doc.objects.empty());
    host::Document face;
    ASSERT_TRUE(Parse(WithObject("{\"vertices\": [[0,0,0],[1,0,0]], \"faces\": [{\"points\": [0, 1]}]}"),
                      face, error))
        << error;
    EXPECT_EQ(face.objects[0]->faces[0].material, -1);
    EXPECT_EQ(face.objects[0]->refCount, (std::vector<int>{1, 1}));
}

TEST(DocumentFile, MissingFileAndUnwritableTarget)
{
    kivera_test::TempFolder folder;
    host::Document doc;
    DocumentInfo info;
    std::string notes, error;
    EXPECT_FALSE(host::LoadDocument(folder.File("none.json"), doc, info, notes, error));
    EXPECT_EQ(error, folder.File("none.json") + ": cannot read: No such file or directory");

    // A target inside a file cannot be made; an existing file stays as it was.
    const std::string existing = folder.File("keep.json");
    kivera_test::WriteFile(existing, "old");
    EXPECT_FALSE(host::SaveDocument(existing + "/new.json", doc, info, error));
    EXPECT_EQ(error, existing + "/new.json: cannot write: Not a directory");
    EXPECT_FALSE(host::SaveDocument(folder.path(), doc, info, error));
    EXPECT_EQ(kivera_test::ReadFile(existing), "old");
    EXPECT_TRUE(host::SaveDocument(existing, doc, info, error)) << error;
    EXPECT_NE(kivera_test::ReadFile(existing), "old");
}

}  // namespace
