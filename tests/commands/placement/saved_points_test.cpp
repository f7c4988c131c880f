// Saving selected points to kivera.idx and restoring them, run through the
// real module (rows 10 and 11) with the dialog answered by KIVERA_DIALOG.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "frame/command_ids.h"
#include "commands/commands.h"
#include "hostaccess/host_api.h"
#include "host/library/document.h"
#include "tests/support/plugin_session.h"
#include "tests/support/test_support.h"

namespace kivera_test {

using namespace kivera;

namespace {

constexpr int kSaveRow = RowOf(CommandId::SavePoints);
constexpr int kRestoreRow = RowOf(CommandId::RestorePoints);
const char kAllAxes[] = "1008 1009 1010 1";
const char kFileOpenMessage[] = "kivera: Error file open\n";

host::Object& NewObject(host::Document& doc)
{
    return *doc.objects[static_cast<size_t>(host::AddObject(doc, "obj"))];
}

// Adds the points as vertices that one face chain uses, so every one has a
// nonzero reference count. Returns the first new index.
int AddUsedPoints(host::Object& obj, const std::vector<host::Vec3>& points)
{
    const int first = static_cast<int>(obj.vertices.size());
    for (const host::Vec3& p : points)
        host::AddVertex(obj, p);
    for (int i = 0; i + 1 < static_cast<int>(points.size()); ++i)
        EXPECT_GE(host::AddFace(obj, {first + i, first + i + 1}), 0);
    return first;
}

void SelectAll(host::Object& obj)
{
    for (int v = 0; v < static_cast<int>(obj.vertices.size()); ++v)
        host::SelectVertex(obj, v);
}

testing::AssertionResult At(const host::Object& obj, int v, host::Vec3 expected)
{
    const host::Vec3& p = obj.vertices.at(static_cast<size_t>(v));
    if (p.x == expected.x && p.y == expected.y && p.z == expected.z)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "vertex " << v << " is at (" << p.x << ", " << p.y << ", " << p.z
           << "), expected (" << expected.x << ", " << expected.y << ", " << expected.z << ")";
}

// What the six-decimal file gives back for a float coordinate.
float ThroughFile(float value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%f", double(value));
    return static_cast<float>(std::strtod(text, nullptr));
}

// The names of the host calls in `calls`, from the last one named `from`.
std::vector<std::string> CallsFrom(const std::vector<host::Call>& calls, const std::string& from)
{
    size_t start = 0;
    for (size_t i = 0; i < calls.size(); ++i)
        if (calls[i].name == from)
            start = i;
    std::vector<std::string> names;
    for (size_t i = start; i < calls.size(); ++i)
        names.push_back(calls[i].name);
    return names;
}

class SavedPointsTest : public testing::Test {
protected:
    std::string IdxPath() const { return session.folder().File("kivera.idx"); }

    PluginSession session;
    host::Document doc;
};

TEST_F(SavedPointsTest, SaveWritesSelectedUsedVerticesInIndexOrder)
{
    host::Object& first = NewObject(doc);
    AddUsedPoints(first, {{1.5f, -2.0f, 0.0f}, {9, 9, 9}, {0.1f, 1e-7f, -1234.5f}});
    host::AddVertex(first, {7, 7, 7});   // selected but used by no face: never saved
    SelectAll(first);
    host::SelectVertex(first, 1, false);
    host::AddEmptyObjectSlot(doc);
    host::Object& third = NewObject(doc);
    AddUsedPoints(third, {{4, 5, 6}, {-1, -2, -3}});
    host::SelectVertex(third, 1);
    third.visible = false;   // hidden objects are saved all the same
    WriteFile(IdxPath(), "stale content\n");

    const auto run = RunCapturingMessages(session, kSaveRow, doc);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.messages, "");
    EXPECT_EQ(ReadFile(IdxPath()),
              "0 0 1.500000 -2.000000 0.000000\n"
              "0 2 0.100000 0.000000 -1234.500000\n"
              "2 1 -1.000000 -2.000000 -3.000000\n");
}

TEST_F(SavedPointsTest, SaveWithNothingSelectedLeavesAnEmptyFile)
{
    host::Object& obj = NewObject(doc);
    AddUsedPoints(obj, {{1, 2, 3}, {4, 5, 6}});
    WriteFile(IdxPath(), "0 0 1.000000 1.000000 1.000000\n");
    EXPECT_EQ(session.Run(kSaveRow, doc), 1);
    EXPECT_TRUE(kivera_test::FileExists(IdxPath()));
    EXPECT_EQ(ReadFile(IdxPath()), "");
}

TEST_F(SavedPointsTest, SaveThatCannotOpenOrWriteTheFileSaysSo)
{
    host::Object& obj = NewObject(doc);
    AddUsedPoints(obj, {{1, 2, 3}, {4, 5, 6}});
    SelectAll(obj);
    // A folder where the file should be: no open.
    ASSERT_EQ(mkdir(IdxPath().c_str(), 0700), 0);
    auto run = RunCapturingMessages(session, kSaveRow, doc);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.messages, kFileOpenMessage);
    ASSERT_EQ(rmdir(IdxPath().c_str()), 0);
    // A full device: opens, but the lines never get written.
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full here";
    ASSERT_EQ(symlink("/dev/full", IdxPath().c_str()), 0);
    run = RunCapturingMessages(session, kSaveRow, doc);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.messages, kFileOpenMessage);
}

TEST_F(SavedPointsTest, SaveThenRestoreAllAxesGivesBackTheSixDecimalPositions)
{
    const std::vector<host::Vec3> saved = {{1.25f, -3.5f, 100.0f},
                                           {0.1234567f, -0.0000004f, 0.0000006f},
                                           {3e38f, -3e38f, FLT_MAX},   // lines over 126 bytes
                                           {12345.678f, 0.5f, -7.0f}};
    host::Object& obj = NewObject(doc);
    AddUsedPoints(obj, saved);
    SelectAll(obj);
    ASSERT_EQ(session.Run(kSaveRow, doc), 1);
    for (host::Vec3& p : obj.vertices)
        p = {42.0f, 42.0f, 42.0f};

    const auto run = RunCapturingMessages(session, kRestoreRow, doc, kAllAxes);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.messages, "");
    for (int v = 0; v < static_cast<int>(saved.size()); ++v) {
        const host::Vec3& p = saved[static_cast<size_t>(v)];
        EXPECT_TRUE(At(obj, v, {ThroughFile(p.x), ThroughFile(p.y), ThroughFile(p.z)}));
    }
    EXPECT_TRUE(At(obj, 1, {0.123457f, -0.0f, 0.000001f}));
    EXPECT_TRUE(At(obj, 2, {3e38f, -3e38f, FLT_MAX}));
}

TEST_F(SavedPointsTest, RestoreWritesOnlyTheCheckedAxes)
{
    host::Object& obj = NewObject(doc);
    AddUsedPoints(obj, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
    WriteFile(IdxPath(), "0 0 10.000000 20.000000 30.000000\n"
                         "0 2 70.000000 80.000000 90.000000\n");
    EXPECT_EQ(RunCapturingMessages(session, kRestoreRow, doc, "1009 1").result, 1);
    EXPECT_TRUE(At(obj, 0, {1, 20, 3}));
    EXPECT_TRUE(At(obj, 1, {4, 5, 6}));
    EXPECT_TRUE(At(obj, 2, {7, 80, 9}));
    EXPECT_EQ(RunCapturingMessages(session, kRestoreRow, doc, "1008 1010 1").result, 1);
    EXPECT_TRUE(At(obj, 0, {10, 20, 30}));
    EXPECT_TRUE(At(obj, 2, {70, 80, 90}));
}

TEST_F(SavedPointsTest, RestoreWithNoAxisStillWritesEveryListedVertexUnchanged)
{
    host::Object& obj = NewObject(doc);
    AddUsedPoints(obj, {{1, 2, 3}, {4, 5, 6}});
    WriteFile(IdxPath(), "0 1 10.000000 20.000000 30.000000\n");
    // The checks of the previous run do not carry over.
    EXPECT_EQ(RunCapturingMessages(session, kRestoreRow, doc, "1008 1009 2").result, 0);
    host::StartTrace();
    EXPECT_EQ(RunCapturingMessages(session, kRestoreRow, doc, "1").result, 1);
    const std::vector<std::string> expected = {"MQ_GetSystemPath", "MQDoc_GetObject",
                                               "MQObj_GetVertexCount", "MQObj_GetVertexRefCount",
                                               "MQObj_GetVertex", "MQObj_SetVertex"};
    EXPECT_EQ(CallsFrom(host::StopTrace(), "MQ_GetSystemPath"), expected);
    EXPECT_TRUE(At(obj, 1, {4, 5, 6}));
}

TEST_F(SavedPointsTest, RestoreIgnoresTheCurrentSelectionAndLastLineWins)
{
    host::Object& obj = NewObject(doc);
    AddUsedPoints(obj, {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}});
    host::SelectVertex(obj, 0);
    WriteFile(IdxPath(), "0 5 9.000000 9.000000 9.000000\n"
                         "0 5 1.000000 2.000000 3.000000\n");
    EXPECT_EQ(RunCapturingMessages(session, kRestoreRow, doc, kAllAxes).result, 1);
    EXPECT_TRUE(At(obj, 5, {1, 2, 3}));
    EXPECT_TRUE(At(obj, 0, {0, 0, 0}));
}

TEST_F(SavedPointsTest, CancelReturnsBeforeAnyFileAccess)
{
    host::Object& obj = NewObject(doc);
    AddUsedPoints(obj, {{1, 2, 3}, {4, 5, 6}});
    // No kivera.idx: a cancelled restore never looks for it.
    for (const char* answer : {"2", "1008 2", "", "999"}) {
        SCOPED_TRACE(answer);
        host::StartTrace();
        const auto run = RunCapturingMessages(session, kRestoreRow, doc, answer);
        const std::vector<host::Call> calls = host::StopTrace();
        EXPECT_EQ(run.result, 0);
        EXPECT_EQ(run.messages.find("Error file open"), std::string::npos);
        EXPECT_EQ(CallsFrom(calls, "MQ_GetWindowHandle"),
                  std::vector<std::string>{"MQ_GetWindowHandle"});
    }
    EXPECT_FALSE(kivera_test::FileExists(IdxPath()));
}

TEST_F(SavedPointsTest, RestoreWithoutAFileSaysSo)
{
    host::Object& obj = NewObject(doc);
    AddUsedPoints(obj, {{1, 2, 3}, {4, 5, 6}});
    const auto run = RunCapturingMessages(session, kRestoreRow, doc, kAllAxes);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.messages, kFileOpenMessage);
    EXPECT_TRUE(At(obj, 0, {1, 2, 3}));
}

TEST_F(SavedPointsTest, LongLineIsReadWholeNeverAsTwoLines)
{
    host::Object& obj = NewObject(doc);
    AddUsedPoints(obj, {{1, 2, 3}, {4, 5, 6}});
    // Cut after 126 bytes, the rest would read "0 1 6.000000 7.000000 ..."
    // and move vertex 1; read whole, x is 5, y is 1 and z is 6.
    const std::string line = "0 0 5." + std::string(120, '0') + "0 1 6.000000 7.000000 8.000000\n";
    ASSERT_EQ(line.substr(126, 4), "0 1 ");
    WriteFile(IdxPath(), line);
    EXPECT_EQ(RunCapturingMessages(session, kRestoreRow, doc, kAllAxes).result, 1);
    EXPECT_TRUE(At(obj, 0, {5, 1, 6}));
    EXPECT_TRUE(At(obj, 1, {4, 5, 6}));
}

TEST_F(SavedPointsTest, CrLfEndingsAndAMissingLastLineFeedAreRead)
{
    host::Object& obj = NewObject(doc);
    AddUsedPoints(obj, {{0, 0, 0}, {0, 0, 0}});
    WriteFile(IdxPath(), "0 0 1.500000 2.500000 3.500000\r\n"
                         "0 1 -1.000000 -2.000000 -3.000000");
    EXPECT_EQ(RunCapturingMessages(session, kRestoreRow, doc, kAllAxes).result, 1);
    EXPECT_TRUE(At(obj, 0, {1.5f, 2.5f, 3.5f}));
    EXPECT_TRUE(At(obj, 1, {-1, -2, -3}));
}

TEST_F(SavedPointsTest, MalformedLinesAreSkippedAndReadingGoesOn)
{
    host::Object& obj = NewObject(doc);
    AddUsedPoints(obj, {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}});
    host::AddVertex(obj, {4, 4, 4});   // vertex 3: used by no face
    host::AddEmptyObjectSlot(doc);     // object 1: empty slot
    const std::string bad = std::string("\n"
                                        "0\n"
                                        "0 0\n"
                                        "0 0 9.0 9.0\n"            // four fields
                                        "0 0 9.0 9.0 \n"           // empty fifth field
                                        "x 0 9.0 9.0 9.0\n"
                                        "0 y 9.0 9.0 9.0\n"
                                        "0 0 9.0 zz 9.0\n"         // coordinate no number
                                        "0 0 1e39 9.0 9.0\n"       // beyond any float
                                        "0 99999999999 9.0 9.0 9.0\n"
                                        "99999999999 0 9.0 9.0 9.0\n"
                                        "-1 0 9.0 9.0 9.0\n"
                                        "0 -1 9.0 9.0 9.0\n"
                                        "0 3 9.0 9.0 9.0\n"        // unused vertex
                                        "0 4 9.0 9.0 9.0\n"        // beyond the vertex count
                                        "1 0 9.0 9.0 9.0\n"        // empty object slot
                                        "5 0 9.0 9.0 9.0\n"        // beyond the object count
                                        "0 0 9.0") +
                            std::string(1, '\0') + " 9.0 9.0\n";   // cut by a NUL byte
    WriteFile(IdxPath(), bad + "0 2 30.000000 31.000000 32.000000\n");
    host::StartTrace();
    const auto run = RunCapturingMessages(session, kRestoreRow, doc, kAllAxes);
    const std::vector<host::Call> calls = host::StopTrace();
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.messages, "");
    EXPECT_TRUE(At(obj, 0, {1, 1, 1}));
    EXPECT_TRUE(At(obj, 1, {2, 2, 2}));
    EXPECT_TRUE(At(obj, 2, {30, 31, 32}));
    EXPECT_TRUE(At(obj, 3, {4, 4, 4}));
    // Only in-range vertex indices ever reach the host.
    for (const host::Call& call : calls) {
        if (call.name == "MQObj_GetVertexRefCount" || call.name == "MQObj_GetVertex" ||
            call.name == "MQObj_SetVertex") {
            ASSERT_EQ(call.args.size(), 1u);
            EXPECT_GE(call.args[0], 0);
            EXPECT_LT(call.args[0], 4);
        }
        if (call.name == "MQDoc_GetObject") {
            EXPECT_GE(call.args.at(0), 0);
        }
    }
}

TEST_F(SavedPointsTest, NaNCoordinatesComeBackAsNaN)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    host::Object& obj = NewObject(doc);
    AddUsedPoints(obj, {{nan, 1, 2}, {3, 4, 5}});
    SelectAll(obj);
    ASSERT_EQ(session.Run(kSaveRow, doc), 1);
    obj.vertices[0] = {0, 0, 0};
    obj.vertices[1] = {0, 0, 0};
    EXPECT_EQ(RunCapturingMessages(session, kRestoreRow, doc, kAllAxes).result, 1);
    EXPECT_TRUE(std::isnan(obj.vertices[0].x));
    EXPECT_EQ(obj.vertices[0].y, 1.0f);
    EXPECT_TRUE(At(obj, 1, {3, 4, 5}));
}

TEST_F(SavedPointsTest, FolderEndingInASeparatorGetsNoSecond)
{
    // Folder with its trailing separator is 117 bytes: with "kivera.idx"
    // the path fills the 128-byte buffer exactly, one more byte would not fit.
    std::string folder = session.folder().path() + "/";
    folder += std::string(116 - folder.size(), 'd') + "/";
    ASSERT_EQ(folder.size(), 117u);
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    WriteFile(folder + "kivera.ini", kivera_test::SettingsEnablingAll());
    host::SetSystemPath(folder);
    host::Object& obj = NewObject(doc);
    AddUsedPoints(obj, {{1, 2, 3}, {4, 5, 6}});
    host::SelectVertex(obj, 0);
    auto run = RunCapturingMessages(session, kSaveRow, doc);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.messages, "");
    EXPECT_EQ(ReadFile(folder + "kivera.idx"), "0 0 1.000000 2.000000 3.000000\n");
    obj.vertices[0] = {0, 0, 0};
    run = RunCapturingMessages(session, kRestoreRow, doc, kAllAxes);
    EXPECT_EQ(run.result, 1);
    EXPECT_TRUE(At(obj, 0, {1, 2, 3}));
}

// The dispatch reads kivera.ini from the same folder, and a folder too long
// for kivera.idx is too long for kivera.ini as well, so the module never
// reaches the commands with it: they are called here directly.
class SavedPointsLongFolderTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(BindHost(kivera_test::HostLibraryPath()), 1); }

    void SetUp() override
    {
        host::Object& obj = NewObject(doc);
        AddUsedPoints(obj, {{1, 2, 3}, {4, 5, 6}});
        SelectAll(obj);
    }

    void TearDown() override { host::SetSystemPath(""); }

    DocumentHandle Handle() { return reinterpret_cast<DocumentHandle>(&doc); }

    // Runs `command` and returns its result; `messages` gets its stderr.
    int Run(int (*command)(DocumentHandle), std::string& messages)
    {
        kivera_test::DialogScript script(kAllAxes);
        testing::internal::CaptureStderr();
        const int result = command(Handle());
        messages = testing::internal::GetCapturedStderr();
        return result;
    }

    kivera_test::TempFolder temp;
    host::Document doc;
};

TEST_F(SavedPointsLongFolderTest, PathThatDoesNotFitIsAFailedOpen)
{
    // 118 bytes with the separator to come: the path would need 129.
    std::string folder = temp.path() + "/";
    folder += std::string(118 - folder.size(), 'd');
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    host::SetSystemPath(folder);
    std::string messages;
    host::StartTrace();
    EXPECT_EQ(Run(SaveSelectedPoints, messages), 0);
    const std::vector<host::Call> calls = host::StopTrace();
    EXPECT_EQ(messages, kFileOpenMessage);
    for (const host::Call& call : calls)
        EXPECT_NE(call.name, "MQDoc_GetObjectCount");   // nothing read, nothing written
    EXPECT_FALSE(kivera_test::FileExists(folder + "/kivera.idx"));
    EXPECT_FALSE(kivera_test::FileExists(folder + "/kivera.id"));

    WriteFile(folder + "/kivera.idx", "0 0 9.000000 9.000000 9.000000\n");
    EXPECT_EQ(Run(RestoreSavedPoints, messages), 0);
    EXPECT_EQ(messages, kFileOpenMessage);
    EXPECT_TRUE(At(*doc.objects[0], 0, {1, 2, 3}));
}

TEST_F(SavedPointsLongFolderTest, FolderTheHostCannotReportIsAFailedOpen)
{
    host::SetSystemPath(temp.path() + "/" + std::string(200, 'd'));
    std::string messages;
    EXPECT_EQ(Run(SaveSelectedPoints, messages), 0);
    EXPECT_EQ(messages, kFileOpenMessage);
    EXPECT_EQ(Run(RestoreSavedPoints, messages), 0);
    EXPECT_EQ(messages, kFileOpenMessage);
}

}  // namespace

}  // namespace kivera_test
