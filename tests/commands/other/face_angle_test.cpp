// Measure face angle through MQModifySelect of the real module against the
// stand-in host; the message box arrives as "caption: text" on stderr.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/commands/other/other_fixtures.h"
#include "tests/support/plugin_session.h"

namespace kivera_test {


namespace {

using Points = std::vector<host::Vec3>;

// A face on new vertices; `faceSelected` and the selected line indices.
int AddFace(host::Object& obj, const Points& corners, bool faceSelected,
            std::vector<int> lines = {})
{
    std::vector<int> points;
    for (const host::Vec3& c : corners)
        points.push_back(host::AddVertex(obj, c));
    const int face = AddFaceChecked(obj, points);
    host::SelectFace(obj, face, faceSelected);
    for (int k : lines)
        host::SelectLine(obj, face, k);
    return face;
}

// Triangles in the XY plane facing -Z or +Z, and in the XZ plane facing +Y or -Y.
const Points kXYDown = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
const Points kXYUp = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}};
const Points kXZUp = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}};
const Points kXZDown = {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}};

std::string Report(const char* first, const char* second)
{
    return std::string("Face Angle: Angle = ") + first + "   or   " + second + "\n";
}

std::string Measure(host::Document& doc)
{
    kivera_test::PluginSession session;
    const kivera_test::RunOutput out =
        kivera_test::RunCapturingMessages(session, kMeasureFaceAngleRow, doc);
    EXPECT_EQ(out.result, 1);
    return out.messages;
}

TEST(MeasureFaceAngle, SelectionsAndTheirReports)
{
    struct Case {
        const char* name;
        void (*build)(host::Document&);
        std::string expected;
    };
    const Case cases[] = {
        {"faces at right angles",
         [](host::Document& d) {
             host::Object& o = NewObject(d);
             AddFace(o, kXYDown, true);
             AddFace(o, kXZUp, true);
         },
         Report("90.00", "90.00")},
        {"same orientation",
         [](host::Document& d) {
             host::Object& o = NewObject(d);
             AddFace(o, kXYDown, true);
             AddFace(o, kXYDown, true);
         },
         Report("0.00", "180.00")},
        {"back to back, across an empty object slot",
         [](host::Document& d) {
             AddFace(NewObject(d), kXYDown, true);
             host::AddEmptyObjectSlot(d);
             AddFace(NewObject(d), kXYUp, true);
         },
         Report("180.00", "0.00")},
        {"one face with normal (0, -1, 0)",
         [](host::Document& d) { AddFace(NewObject(d), kXZDown, true); },
         Report("180.00", "0.00")},
        {"one line (0,0,0)-(1,1,0)",
         [](host::Document& d) { AddFace(NewObject(d), {{0, 0, 0}, {1, 1, 0}}, false, {0}); },
         Report("45.00", "135.00")},
        {"closing line of a triangle runs from its last point to point 0",
         [](host::Document& d) {
             AddFace(NewObject(d), {{1, 1, 0}, {5, 5, 5}, {0, 0, 0}}, false, {2});
         },
         Report("45.00", "135.00")},
        {"face and a line in it",
         [](host::Document& d) { AddFace(NewObject(d), kXYDown, true, {0}); },
         Report("90.00", "90.00")},
        {"zero-length line",
         [](host::Document& d) { AddFace(NewObject(d), {{2, 3, 4}, {2, 3, 4}}, false, {0}); },
         Report("0.00", "0.00")},
        {"first two lines in object order; the diagonal comes third",
         [](host::Document& d) {
             AddFace(NewObject(d), {{0, 0, 0}, {1, 0, 0}}, false, {0});
             host::AddEmptyObjectSlot(d);
             host::Object& o = NewObject(d);
             AddFace(o, {{0, 0, 0}, {0, 2, 0}}, false, {0});
             AddFace(o, {{0, 0, 0}, {1, 1, 0}}, false, {0});
         },
         Report("90.00", "90.00")},
        {"a selected line face and a selected pentagon are no faces; pentagon lines are skipped",
         [](host::Document& d) {
             host::Object& o = NewObject(d);
             AddFace(o, {{0, 0, 0}, {1, 0, 0}}, true);
             AddFace(o, {{0, 0, 0}, {2, 0, 0}, {3, 2, 0}, {1, 3, 0}, {-1, 2, 0}}, true,
                     {0, 1, 2, 3, 4});
             AddFace(o, kXZDown, true);
         },
         Report("180.00", "0.00")},
        {"line to a point outside the object has no direction",
         [](host::Document& d) {
             host::Object& o = NewObject(d);
             host::AddVertex(o, {1, 1, 0});
             o.faces[AddRawFace(o, {0, 99})].lineSelected[0] = 1;
         },
         Report("0.00", "0.00")},
        {"nothing selected",
         [](host::Document& d) { AddFace(NewObject(d), kXYDown, false); },
         ""},
    };
    for (const Case& c : cases) {
        host::Document doc;
        c.build(doc);
        EXPECT_EQ(Measure(doc), c.expected) << c.name;
    }
}

TEST(MeasureFaceAngle, ThreeFacesMeasureTheFirstTwoAndAskForNoLine)
{
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddFace(obj, kXYDown, true);
    AddFace(obj, kXYDown, true);
    AddFace(obj, kXZUp, true, {0});

    host::StartTrace();
    EXPECT_EQ(Measure(doc), Report("0.00", "180.00"));
    for (const host::Call& call : host::StopTrace())
        EXPECT_NE(call.name, "MQDoc_IsSelectLine");
}

}  // namespace

}  // namespace kivera_test
