// UV map copy: the command through MQModifySelect of the real module against
// the stand-in host.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "commands/other/uv_map_copy.h"
#include "tests/commands/other/other_fixtures.h"
#include "tests/support/plugin_session.h"

namespace kivera_test {

using namespace kivera;

namespace {

using UVs = std::vector<std::pair<float, float>>;

// A grid of columns x rows quadrilaterals; vertex (r, c) is r * (columns + 1) + c.
host::Object& NewGrid(host::Document& doc, int columns, int rows)
{
    host::Object& obj = NewObject(doc);
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c <= columns; ++c)
            host::AddVertex(obj, {static_cast<float>(c), static_cast<float>(r), 0.0f});
    const int stride = columns + 1;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const int v = r * stride + c;
            AddFaceChecked(obj, {v, v + 1, v + stride + 1, v + stride});
        }
    return obj;
}

// Every corner gets (face, corner) when `fill` is negative, else (fill, fill).
void SetCoordinates(host::Object& obj, float fill = -1.0f)
{
    for (std::size_t f = 0; f < obj.faces.size(); ++f)
        for (std::size_t k = 0; k < obj.faces[f].uv.size(); ++k)
            obj.faces[f].uv[k] = fill < 0 ? host::UV{float(f), float(k)} : host::UV{fill, fill};
}

UVs CoordinatesOf(const host::Object& obj, int face)
{
    UVs out;
    for (const host::UV& uv : obj.faces[face].uv)
        out.push_back({uv.u, uv.v});
    return out;
}

// Face f's own numbering turned by `turn` corners: what a target face gets
// from source face f.
UVs Turned(int f, int turn, int n = 4)
{
    UVs out;
    for (int k = 0; k < n; ++k)
        out.push_back({float(f), float((k + turn) % n)});
    return out;
}

const UVs kUntouched4 = UVs(4, {9.0f, 9.0f});

void SelectStart(host::Object& obj, int face, int vertex)
{
    host::SelectFace(obj, face);
    host::SelectVertex(obj, vertex);
}

TEST(CopyUVMap, QuadTurnedByThreeCorners)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& source = NewObject(doc, "source");
    host::Object& target = NewObject(doc, "target");
    for (int i = 0; i < 24; ++i) {
        if (i < 14)
            host::AddVertex(source, {float(i), 0, 0});
        host::AddVertex(target, {float(i), 0, 0});
    }
    AddFaceChecked(source, {10, 11, 12, 13});
    AddFaceChecked(target, {23, 20, 21, 22});
    SetCoordinates(source);
    SelectStart(source, 0, 11);   // position 1
    SelectStart(target, 0, 21);   // position 2: r = 3

    EXPECT_EQ(session.Run(kCopyUVMapRow, doc), 1);
    EXPECT_EQ(CoordinatesOf(target, 0), (UVs{{0, 3}, {0, 0}, {0, 1}, {0, 2}}));
    EXPECT_EQ(CoordinatesOf(source, 0), Turned(0, 0));
}

TEST(CopyUVMap, RenumberedMeshReceivesExactlyTheSourceCoordinates)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& source = NewGrid(doc, 3, 3);   // 16 vertices, 9 faces
    SetCoordinates(source);
    // The same mesh with vertices and faces numbered differently and each
    // face starting at another corner (same winding).
    const int vertexMap[16] = {7, 12, 3, 15, 0, 9, 14, 5, 11, 2, 8, 13, 6, 1, 10, 4};
    const int sourceOf[9] = {5, 8, 0, 3, 7, 1, 6, 2, 4};
    host::Object& target = NewObject(doc, "target");
    for (int i = 0; i < 16; ++i)
        host::AddVertex(target, {0, 0, 0});
    for (int t = 0; t < 9; ++t) {
        std::vector<int> points;
        for (int k = 0; k < 4; ++k)
            points.push_back(vertexMap[source.faces[sourceOf[t]].points[(k + t) % 4]]);
        AddFaceChecked(target, points);
    }
    SelectStart(source, 4, 5);   // the centre face
    SelectStart(target, 8, vertexMap[5]);

    EXPECT_EQ(session.Run(kCopyUVMapRow, doc), 1);
    for (int t = 0; t < 9; ++t)
        EXPECT_EQ(CoordinatesOf(target, t), Turned(sourceOf[t], t)) << "target face " << t;
}

TEST(CopyUVMap, TargetsOfOtherSizesAndSeveralTargets)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& larger = NewGrid(doc, 4, 1);
    host::AddEmptyObjectSlot(doc);
    host::Object& source = NewGrid(doc, 3, 1);   // A (0 1 5 4), B (1 2 6 5), C (2 3 7 6)
    host::Object& smaller = NewGrid(doc, 2, 1);
    host::Object& unprepared = NewGrid(doc, 3, 1);
    host::Object& offStart = NewGrid(doc, 3, 1);
    host::Object& reversed = NewGrid(doc, 3, 1);
    doc.currentObject = 2;
    for (host::Object* obj : {&larger, &smaller, &unprepared, &offStart, &reversed})
        SetCoordinates(*obj, 9.0f);
    SetCoordinates(source);
    SelectStart(source, 0, 0);
    SelectStart(larger, 0, 0);
    SelectStart(smaller, 0, 0);
    SelectStart(offStart, 0, 3);   // 3 is not a point of face 0
    // Face 2 (2 3 7 6) from 7 mirrors face 0 (0 1 5 4) from 0.
    SelectStart(reversed, 2, 7);

    EXPECT_EQ(session.Run(kCopyUVMapRow, doc), 1);

    for (int f = 0; f < 3; ++f) {
        EXPECT_EQ(CoordinatesOf(larger, f), Turned(f, 0));
        EXPECT_EQ(CoordinatesOf(unprepared, f), kUntouched4);
        EXPECT_EQ(CoordinatesOf(offStart, f), kUntouched4);
        EXPECT_EQ(CoordinatesOf(reversed, 2 - f), Turned(f, 2));
    }
    EXPECT_EQ(CoordinatesOf(larger, 3), kUntouched4);   // the walk stopped after N faces
    EXPECT_EQ(CoordinatesOf(smaller, 0), Turned(0, 0));
    EXPECT_EQ(CoordinatesOf(smaller, 1), Turned(1, 0));
}

TEST(CopyUVMap, UnusableSourceReturnsZeroAndChangesNothing)
{
    kivera_test::PluginSession session;
    // Face 0 is 0 1 5 4; vertex 2 is not on it. -1: nothing selected.
    const std::pair<int, int> starts[] = {{-1, 0}, {0, -1}, {0, 2}};
    for (const auto& start : starts) {
        host::Document doc;
        host::Object& source = NewGrid(doc, 2, 1);
        SetCoordinates(source);
        host::Object& target = NewGrid(doc, 2, 1);
        SetCoordinates(target, 9.0f);
        SelectStart(target, 0, 0);
        host::SelectFace(source, start.first, start.first >= 0);
        host::SelectVertex(source, start.second, start.second >= 0);
        EXPECT_EQ(session.Run(kCopyUVMapRow, doc), 0);
        EXPECT_EQ(CoordinatesOf(target, 0), kUntouched4);
    }
    host::Document noObject;
    host::AddEmptyObjectSlot(noObject);
    EXPECT_EQ(session.Run(kCopyUVMapRow, noObject), 0);
    // A usable source alone is a run that found nothing to do.
    host::Document alone;
    SelectStart(NewGrid(alone, 1, 1), 0, 0);
    EXPECT_EQ(session.Run(kCopyUVMapRow, alone), 1);
}

TEST(CopyUVMap, FacesOfAnotherPointCountAreNotWrittenAndTheWalkGoesOn)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& source = NewGrid(doc, 3, 1);   // A (0 1 5 4), B (1 2 6 5), C (2 3 7 6)
    SetCoordinates(source);
    host::Object& target = NewObject(doc, "target");
    for (int i = 0; i < 7; ++i)
        host::AddVertex(target, {float(i), 0, 0});
    AddFaceChecked(target, {0, 1, 5, 4});   // pairs with A
    AddFaceChecked(target, {1, 2, 5});      // a triangle where B is a quad
    AddFaceChecked(target, {2, 3, 6, 5});   // reached through it, pairs with C
    // A pentagon on an edge of the first quad is never walked.
    AddFaceChecked(target, {0, 4, 6, 3, 2});
    SetCoordinates(target, 9.0f);
    SelectStart(source, 0, 0);
    SelectStart(target, 0, 0);
    // A target whose selected face is a pentagon has no start.
    host::Object& pentagon = NewObject(doc, "pentagon");
    for (int i = 0; i < 5; ++i)
        host::AddVertex(pentagon, {float(i), float(i * i), 0});
    AddFaceChecked(pentagon, {0, 1, 2, 3, 4});
    SetCoordinates(pentagon, 9.0f);
    SelectStart(pentagon, 0, 0);

    EXPECT_EQ(session.Run(kCopyUVMapRow, doc), 1);

    EXPECT_EQ(CoordinatesOf(target, 0), Turned(0, 0));
    EXPECT_EQ(CoordinatesOf(target, 1), UVs(3, {9.0f, 9.0f}));
    EXPECT_EQ(CoordinatesOf(target, 2), Turned(2, 0));
    EXPECT_EQ(CoordinatesOf(target, 3), UVs(5, {9.0f, 9.0f}));
    EXPECT_EQ(CoordinatesOf(pentagon, 0), UVs(5, {9.0f, 9.0f}));
}

}  // namespace

}  // namespace kivera_test
