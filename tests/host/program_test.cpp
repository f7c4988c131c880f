// kivera-host as a person runs it: the menu, init-settings, every example
// document through the real plug-in, and the faults that must leave the
// input untouched.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "frame/menu_strings.h"
#include "host/program/document_file.h"
#include "tests/support/test_support.h"

namespace {

using kivera_test::TempFolder;

struct ProgramRun {
    int status;
    std::string out;   // standard output
    std::string err;   // standard error
};

std::string Quote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs kivera-host with `args`, standard input from /dev/null.
ProgramRun RunProgram(const std::vector<std::string>& args)
{
    TempFolder folder;
    // The launcher is qemu-i386 where a 32-bit build runs only under it.
    std::string command = std::string(KIVERA_HOST_LAUNCHER) + " " + Quote(KIVERA_HOST_PROGRAM);
    for (const std::string& arg : args)
        command += " " + Quote(arg);
    command += " </dev/null >" + Quote(folder.File("out")) + " 2>" + Quote(folder.File("err"));
    const int status = std::system(command.c_str());
    return ProgramRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                      kivera_test::ReadFile(folder.File("out")),
                      kivera_test::ReadFile(folder.File("err"))};
}

std::string Example(const std::string& name) { return std::string(KIVERA_EXAMPLES_DIR) + "/" + name; }

host::Document Load(const std::string& path)
{
    host::Document doc;
    host::DocumentInfo info;
    std::string notes, error;
    EXPECT_TRUE(host::LoadDocument(path, doc, info, notes, error)) << error;
    return doc;
}

std::vector<int> Selected(const host::Object& obj)
{
    std::vector<int> selected;
    for (size_t v = 0; v < obj.vertexSelected.size(); ++v)
        if (obj.vertexSelected[v])
            selected.push_back(static_cast<int>(v));
    return selected;
}

size_t LiveFaces(const host::Object& obj)
{
    size_t count = 0;
    for (const host::Face& face : obj.faces)
        count += face.points.empty() ? 0 : 1;
    return count;
}

bool Near(const host::Vec3& v, float x, float y, float z)
{
    return std::fabs(v.x - x) < 1e-5f && std::fabs(v.y - y) < 1e-5f && std::fabs(v.z - z) < 1e-5f;
}

TEST(Program, MenuListsTheCommandsInUtf8)
{
    const ProgramRun run = RunProgram({"menu"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("   4  接続点を選択  (select-connected)\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("  18  面の角度を測る  (measure-angle)\n"), std::string::npos);
}

TEST(Program, InitSettingsWritesCodePage932)
{
    TempFolder folder;
    const std::string target = folder.File("new/settings");
    const ProgramRun run = RunProgram({"init-settings", target, "--only", "4,TextureReload,bevel,16"});
    EXPECT_NE(run.status, 0);   // TextureReload is a menu text, not a name or a row
    EXPECT_NE(run.err.find("\"TextureReload\" is no command"), std::string::npos) << run.err;

    ASSERT_EQ(RunProgram({"init-settings", target, "--only", "4, reload-textures,17"}).status, 0);
    std::string expected;
    for (int row = 0; row < kCommandCount; ++row)
        expected += std::string(kMenuStrings[row]) + (row == 4 || row == 16 || row == 17 ? " = 1\r\n"
                                                                                        : " = 0\r\n");
    const std::string written = kivera_test::ReadFile(target + "/kivera.ini");
    EXPECT_EQ(written, expected);
    EXPECT_EQ(written.substr(0, 8), "\x93_\x82\xF0\x91I\x91\xF0");   // 点を選択 in code page 932
}

// One example run: the arguments after the document and a fact of the result.
struct ExampleCase {
    const char* file;
    std::vector<std::string> args;
    std::function<void(const host::Document&, const ProgramRun&)> check;
};

TEST(Program, EveryExampleRuns)
{
    TempFolder folder;
    // Saved points go to a settings folder of the test's own, holding the
    // same kivera.ini as the menu's.
    const std::string settings =
        std::filesystem::path(KIVERA_HOST_PROGRAM).parent_path().string() + "/kivera.ini";
    kivera_test::WriteFile(folder.File("kivera.ini"), kivera_test::ReadFile(settings));

    const std::vector<ExampleCase> cases = {
        {"grid-ring.json", {"-c", "接続点を選択"},
         [](const host::Document& d, const ProgramRun&) {
             EXPECT_EQ(Selected(*d.objects[0]), (std::vector<int>{6, 7, 8, 11, 12, 13, 16, 17, 18}));
         }},
        {"mixed-selection.json", {"-c", "select-points"},
         [](const host::Document& d, const ProgramRun&) {
             EXPECT_EQ(Selected(*d.objects[0]), (std::vector<int>{0, 1, 5, 6, 9, 10, 15}));
         }},
        {"mixed-selection.json", {"-c", "1", "-c", "2"},
         [](const host::Document& d, const ProgramRun&) {
             EXPECT_TRUE(Selected(*d.objects[0]).empty());
             EXPECT_FALSE(d.objects[0]->faces[4].selected);
             EXPECT_FALSE(d.objects[0]->faces[0].lineSelected[0]);
         }},
        {"grid-center-vertex.json", {"-c", "select-neighbours"},
         [](const host::Document& d, const ProgramRun&) {
             EXPECT_EQ(Selected(*d.objects[0]), (std::vector<int>{7, 11, 12, 13, 17}));
         }},
        {"grid-selected-points.json", {"-c", "select-edges-of-points"},
         [](const host::Document& d, const ProgramRun&) {
             EXPECT_TRUE(d.objects[0]->faces[5].selected);
             EXPECT_TRUE(d.objects[0]->faces[6].selected);
             EXPECT_FALSE(d.objects[0]->faces[4].selected);
         }},
        {"align-two-objects.json", {"-c", "align-points"},
         [](const host::Document& d, const ProgramRun&) {
             EXPECT_TRUE(Near(d.objects[1]->vertices[0], 1, 0, 0));
             EXPECT_TRUE(Near(d.objects[1]->vertices[2], 2, 1, 0));
         }},
        {"rim-sheet.json", {"-c", "fold-back-rim"},
         [](const host::Document& d, const ProgramRun&) {
             EXPECT_TRUE(Near(d.objects[0]->vertices[12], 2, -1, 1));
             EXPECT_TRUE(Near(d.objects[0]->vertices[10], 0, 0, 2));
         }},
        {"zigzag.json", {"-c", "arrange-on-line", "-d", "1004 1"},
         [](const host::Document& d, const ProgramRun&) {
             EXPECT_TRUE(Near(d.objects[0]->vertices[2], 2, 0.5f, 0));
         }},
        {"bulge-profile.json", {"-c", "もっこり"},
         [](const host::Document& d, const ProgramRun&) {
             // (1.5, 1.3) lies over the pyramid's front face, z = 0.75 y.
             EXPECT_TRUE(Near(d.objects[1]->vertices[5], 1.5f, 1.3f, 0.975f));
             EXPECT_TRUE(Near(d.objects[0]->vertices[4], 2, 2, 1.5f));
         }},
        {"saved-points.json",
         {"-c", "save-points", "-c", "rotate-by-view", "-c", "restore-points", "-d",
          "1008 1009 1010 1", "--system-dir", folder.path()},
         [](const host::Document& d, const ProgramRun& run) {
             EXPECT_TRUE(Near(d.objects[0]->vertices[1], 3, 0, 0));
             EXPECT_NE(run.out.find("vertices moved: 4 (0-3)"), std::string::npos);
         }},
        {"polyline.json", {"-c", "split-edges"},
         [](const host::Document& d, const ProgramRun&) {
             EXPECT_EQ(d.objects[0]->vertices.size(), 7u);
             EXPECT_EQ(LiveFaces(*d.objects[0]), 6u);
         }},
        {"rotate-view.json", {"-c", "Viewで回転"},
         [](const host::Document& d, const ProgramRun&) {
             EXPECT_TRUE(Near(d.objects[0]->vertices[1], 0, 2, 0));
             EXPECT_TRUE(Near(d.objects[0]->vertices[0], 0, 0, 0));
         }},
        {"ridge.json", {"-c", "cut-groove"},
         [](const host::Document& d, const ProgramRun&) {
             EXPECT_EQ(d.objects[0]->vertices.size(), 9u + 16u);
             EXPECT_EQ(LiveFaces(*d.objects[0]), 10u);
         }},
        {"ridge.json", {"-c", "bevel"},
         [](const host::Document& d, const ProgramRun&) {
             EXPECT_EQ(d.objects[0]->vertices.size(), 9u + 8u);
             EXPECT_EQ(LiveFaces(*d.objects[0]), 8u);
         }},
        {"uv-copy.json", {"-c", "copy-uv"},
         [](const host::Document& d, const ProgramRun&) {
             // Each corner of the target has the UV of the source corner at
             // the same place, 3 units to the left: u = x / 2, v = y / 2.
             const host::Object& target = *d.objects[1];
             for (const host::Face& face : target.faces)
                 for (size_t k = 0; k < face.points.size(); ++k) {
                     const host::Vec3& p = target.vertices[static_cast<size_t>(face.points[k])];
                     EXPECT_FLOAT_EQ(face.uv[k].u, (p.x - 3) / 2);
                     EXPECT_FLOAT_EQ(face.uv[k].v, p.y / 2);
                 }
         }},
        {"materials.json", {"-c", "TextureReload"},
         [](const host::Document&, const ProgramRun& run) {
             EXPECT_NE(run.out.find("alpha map set: \"glass-alpha.png\""), std::string::npos);
         }},
        {"face-angle.json", {"-c", "measure-angle", "--view", "iso", "--fit", "selection"},
         [](const host::Document&, const ProgramRun& run) {
             EXPECT_NE(run.out.find("message box: Face Angle: Angle = 90.00   or   90.00"),
                       std::string::npos);
         }},
    };
    for (const ExampleCase& example : cases) {
        SCOPED_TRACE(example.file);
        const std::string out = folder.File("result.json");
        std::vector<std::string> args = {"run", Example(example.file), "--out", out, "--force",
                                         "--svg", folder.File("result.svg")};
        args.insert(args.end(), example.args.begin(), example.args.end());
        const ProgramRun run = RunProgram(args);
        ASSERT_EQ(run.status, 0) << run.out << run.err;
        EXPECT_NE(run.out.find(": result 1"), std::string::npos) << run.out;
        EXPECT_NE(kivera_test::ReadFile(folder.File("result.svg")).find("</svg>"), std::string::npos);
        example.check(Load(out), run);
    }
}

TEST(Program, FaultsLeaveTheInputUntouched)
{
    TempFolder folder;
    const std::string doc = folder.File("doc.json");
    const std::string bad = "{\"objects\": [{\"vertices\": [[0, 0, 0]], \"faces\": [{\"points\": []}]}]}";
    kivera_test::WriteFile(doc, bad);
    ProgramRun run = RunProgram({"run", doc, "-c", "select-points"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kivera-host: " + doc +
                           ": object 0, face 0, points: a face needs at least one point (write "
                           "null for an empty face slot)\n");
    EXPECT_EQ(kivera_test::ReadFile(doc), bad);

    // A good document, an output that cannot be written: the document stays,
    // and no temporary file is left beside it.
    const std::string good = kivera_test::ReadFile(Example("grid-ring.json"));
    kivera_test::WriteFile(doc, good);
    run = RunProgram({"run", doc, "-c", "4", "--out", doc + "/out.json"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("out.json: cannot write: Not a directory"), std::string::npos) << run.err;
    EXPECT_EQ(kivera_test::ReadFile(doc), good);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1);

    run = RunProgram({"run", folder.File("none.json"), "-c", "4"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("none.json: cannot read: No such file or directory"), std::string::npos);

    run = RunProgram({"run", doc, "-c", "no-such-command"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("no command is called \"no-such-command\""), std::string::npos);
    run = RunProgram({"run", doc, "-c", "19"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("there is no menu entry 19 (the menu has 19 entries"), std::string::npos);
}

TEST(Program, RunInPlaceWritesOnlyWhenSomethingChanged)
{
    TempFolder folder;
    const std::string doc = folder.File("grid.json");
    const std::string original = kivera_test::ReadFile(Example("grid-ring.json"));
    kivera_test::WriteFile(doc, original);
    ProgramRun run = RunProgram({"run", doc, "-c", "measure-angle"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("no change"), std::string::npos);
    EXPECT_EQ(kivera_test::ReadFile(doc), original);
    run = RunProgram({"run", doc, "-c", "select-connected"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Selected(*Load(doc).objects[0]).size(), 9u);
}

TEST(Program, SettingsFolderMustAgreeWithTheMenu)
{
    TempFolder folder;
    kivera_test::WriteFile(folder.File("kivera.ini"), kivera_test::SettingsEnabling({2, 5}));
    const ProgramRun run =
        RunProgram({"run", Example("grid-ring.json"), "-c", "1", "--system-dir", folder.path(),
                    "--out", folder.File("out.json")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("and the two differ"), std::string::npos) << run.err;
    EXPECT_FALSE(kivera_test::FileExists(folder.File("out.json")));
}

TEST(Program, ObjInAndOut)
{
    TempFolder folder;
    const std::string obj = folder.File("ridge.obj");
    ASSERT_EQ(RunProgram({"convert", Example("ridge.json"), obj}).status, 0);
    const ProgramRun run = RunProgram({"run", obj, "-c", "measure-angle", "--out", folder.File("back.json")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Load(folder.File("back.json")).objects[0]->vertices.size(), 9u);
    EXPECT_NE(RunProgram({"convert", Example("ridge.json"), folder.File("r.obj")}).err.find(
                  "holds no selection"),
              std::string::npos);
}

TEST(Program, OnlyKnownFormatsAndWholeNumbers)
{
    TempFolder folder;
    const std::string doc = Example("ridge.json");
    const std::vector<std::vector<std::string>> refused = {
        {"convert", doc, folder.File("x.ply")},
        {"convert", folder.File("x.txt"), folder.File("x.json")},
        {"render", doc, "--svg", folder.File("x.png")},
        {"run", doc, "-c", "measure-angle", "--out", folder.File("x.ply")},
        {"run", doc, "-c", "measure-angle", "--out", folder.File("x.json"), "--svg", folder.File("x.png")},
    };
    for (const auto& args : refused) {
        const ProgramRun run = RunProgram(args);
        EXPECT_EQ(run.status, 1) << args[0];
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_NE(run.err.find("this program reads and writes no other format"), std::string::npos) << run.err;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              0);

    const std::string bad = "v 0 0 0\nv 1 0 0\nv nan 1 0\nf 1 2 3\n";
    kivera_test::WriteFile(folder.File("name.obj"), bad);
    ProgramRun run = RunProgram({"convert", folder.File("name.obj"), folder.File("name.json")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kivera-host: " + folder.File("name.obj") + ":3:3: \"nan\" is not a number\n");
    EXPECT_FALSE(kivera_test::FileExists(folder.File("name.json")));
    EXPECT_EQ(kivera_test::ReadFile(folder.File("name.obj")), bad);
}

// A copy of a real mesh run in place with a command that changes no
// geometry comes back byte for byte, normals and material statements too.
TEST(Program, RealObjRunInPlaceKeepsItsStatements)
{
    const std::string models = "/usr/share/assimp/models/OBJ/";
    if (!kivera_test::FileExists(models + "spider.obj"))
        GTEST_SKIP() << models << "spider.obj is missing (Debian package assimp-testmodels)";
    TempFolder folder;
    for (const char* name : {"spider.obj", "spider.mtl"})
        kivera_test::WriteFile(folder.File(name), kivera_test::ReadFile(models + name));
    const ProgramRun run = RunProgram({"run", folder.File("spider.obj"), "-c", "reload-textures"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("texture map set"), std::string::npos) << run.out;
    EXPECT_EQ(kivera_test::ReadFile(folder.File("spider.obj")), kivera_test::ReadFile(models + "spider.obj"));
    EXPECT_EQ(kivera_test::ReadFile(folder.File("spider.mtl")), kivera_test::ReadFile(models + "spider.mtl"));
}

}  // namespace

namespace {

// Dialog answers by id or name are checked against the command's dialog
// before anything runs; names and ids give the same document.
TEST(Program, DialogAnswersByIdOrName)
{
    TempFolder folder;
    const std::string doc = folder.File("zigzag.json");
    const std::string original = kivera_test::ReadFile(Example("zigzag.json"));
    kivera_test::WriteFile(doc, original);
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* output;   // in standard error for a failure, else in the written result
    };
    const std::vector<Case> cases = {
        {{"-c", "arrange-on-line", "--dialog", "1099 1"}, 1,
         "dialog 101 (arrange-on-line) has no control \"1099\"; it has main-x (1000),"},
        {{"-c", "arrange-on-line", "--dialog", "main-x x ok"}, 1, "no control \"x\""},
        {{"-c", "restore-points", "--dialog", "main-x ok"}, 1, "dialog 102 (restore-points)"},
        {{"-c", "save-points", "--dialog", "ok"}, 1, "save-points, which shows no dialog"},
        {{"--dialog", "ok", "-c", "bevel"}, 1, "none of them shows a dialog"},
        {{"-c", "arrange-on-line", "--dialog", "1000 1004 1"}, 0, "[2, 0.5, 0]"},
        {{"-c", "arrange-on-line", "--dialog", "MAIN-X Move-Y ok"}, 0, "[2, 0.5, 0]"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"run", doc, "--out", folder.File("out.json")};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ProgramRun run = RunProgram(args);
        SCOPED_TRACE(c.args.back());
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(kivera_test::ReadFile(doc), original);
        if (c.status != 0) {
            EXPECT_NE(run.err.find(c.output), std::string::npos) << run.err;
            EXPECT_FALSE(kivera_test::FileExists(folder.File("out.json")));
        } else {
            EXPECT_NE(kivera_test::ReadFile(folder.File("out.json")).find(c.output),
                      std::string::npos);
            std::filesystem::remove(folder.File("out.json"));
        }
    }
}

}  // namespace

namespace {

// A run that changes nothing says why, and the saved-points file is named.
TEST(Program, NoOpRunsSayWhy)
{
    TempFolder folder;
    const std::string settings =
        std::filesystem::path(KIVERA_HOST_PROGRAM).parent_path().string() + "/kivera.ini";
    kivera_test::WriteFile(folder.File("kivera.ini"), kivera_test::ReadFile(settings));
    const std::string doc = folder.File("none.json");
    ASSERT_EQ(RunProgram({"select", Example("grid-ring.json"), "--clear", "--out", doc}).status, 0);
    const std::string idx = folder.File("kivera.idx");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"-c", "select-points"}, "  select-points: no object has a selected face or line\n"},
        {{"-c", "restore-points", "-d", "x ok"},
         "  restore-points: no saved points: " + idx + " could not be read (run save-points first)\n"},
        {{"-c", "save-points"}, "  save-points: wrote 0 points to " + idx},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"run", doc, "--system-dir", folder.path()};
        args.insert(args.end(), c.first.begin(), c.first.end());
        const ProgramRun run = RunProgram(args);
        // Restoring nothing is a failed command: exit status 2.
        EXPECT_EQ(run.status, c.first[1] == "restore-points" ? 2 : 0) << run.err;
        EXPECT_NE(run.out.find(c.second), std::string::npos) << run.out;
    }
}

}  // namespace

namespace {

const char kBoxObj[] =
    "v -10 -10 -10\nv 10 -10 -10\nv 10 10 -10\nv -10 10 -10\n"
    "v -10 -10 10\nv 10 -10 10\nv 10 10 10\nv -10 10 10\n"
    "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n";

// Six times the signed volume of a closed mesh, from its faces as stored.
double SignedVolume(const host::Object& obj)
{
    double sum = 0.0;
    for (const host::Face& face : obj.faces) {
        const host::Vec3& a = obj.vertices[static_cast<size_t>(face.points[0])];
        for (size_t k = 1; k + 1 < face.points.size(); ++k) {
            const host::Vec3& b = obj.vertices[static_cast<size_t>(face.points[k])];
            const host::Vec3& c = obj.vertices[static_cast<size_t>(face.points[k + 1])];
            sum += double(a.x) * (double(b.y) * c.z - double(b.z) * c.y) -
                   double(a.y) * (double(b.x) * c.z - double(b.z) * c.x) +
                   double(a.z) * (double(b.x) * c.y - double(b.y) * c.x);
        }
    }
    return sum;
}

// Without a view a document is seen from the front, under which
// rotate-by-view keeps every position; a view given by angles turns the
// selection and keeps a closed mesh's volume.
TEST(Program, ViewRotationTurnsWithoutMirroring)
{
    TempFolder folder;
    const std::string box = folder.File("box.obj");
    for (const char* angles : {"", "30,20", "0,90", "45,-30,60"}) {
        kivera_test::WriteFile(box, kBoxObj);
        std::vector<std::string> args = {"run", box, "--vertices", "0-7", "-c", "rotate-by-view"};
        if (*angles)
            args.insert(args.end(), {"--view-rotation", angles});
        const ProgramRun run = RunProgram(args);
        ASSERT_EQ(run.status, 0) << run.err;
        if (!*angles) {
            EXPECT_EQ(kivera_test::ReadFile(box), kBoxObj);
            continue;
        }
        const host::Document doc = Load(box);
        EXPECT_FALSE(Near(doc.objects[0]->vertices[0], -10, -10, -10)) << angles;
        EXPECT_NEAR(SignedVolume(*doc.objects[0]), -6 * 8000.0, 6 * 8.0) << angles;
    }
    EXPECT_EQ(RunProgram({"select", Example("ridge.json"), "--view-rotation", "30",
                          "--out", folder.File("x.json")}).status, 1);
}

// run selects what its options name before the commands: by index (a
// groove cut into a flat grid goes below its front), by group, by
// material and by angle; a name nothing has is refused, the file untouched.
TEST(Program, RunSelectsOnTheCommandLine)
{
    TempFolder folder;
    std::string grid = "vn 0 0 1\n";
    for (int v = 0; v < 16; ++v)
        grid += "v " + std::to_string(v % 4 * 4) + " " + std::to_string(v / 4 * 4) + " 0\n";
    for (int f = 0; f < 9; ++f) {
        const int a = f / 3 * 4 + f % 3 + 1;
        grid += "f " + std::to_string(a) + "//1 " + std::to_string(a + 1) + "//1 " +
                std::to_string(a + 5) + "//1 " + std::to_string(a + 4) + "//1\n";
    }
    const std::string path = folder.File("grid.obj");
    kivera_test::WriteFile(path, grid);
    ProgramRun run = RunProgram({"run", path, "--lines", "0:1", "-c", "cut-groove"});
    ASSERT_EQ(run.status, 0) << run.err;
    const host::Document cut = Load(path);
    int deep = 0;
    for (size_t v = 16; v < cut.objects[0]->vertices.size(); ++v) {
        EXPECT_LE(cut.objects[0]->vertices[v].z, 0.0f);
        deep += cut.objects[0]->vertices[v].z == -2.0f ? 1 : 0;
    }
    EXPECT_EQ(cut.objects[0]->vertices.size(), 24u);
    EXPECT_EQ(deep, 4);

    const std::string two = folder.File("two.obj");
    const std::string text = std::string(kBoxObj).insert(std::string(kBoxObj).find("f 1 2"), "g side\n");
    const struct {
        std::vector<std::string> options;
        const char* expected;   // in the report of the selection
    } cases[] = {
        {{"--group", "side"}, "object 1 \"side\":\n    vertices selected: 8 (0-7)\n    faces selected: 4 (0-3)"},
        {{"--sharp-edges", "45"}, "object 1 \"side\":\n    vertices selected: 8 (0-7)\n    lines selected: 8"},
        {{"--sharp-edges", "90"}, "command line:\n  no change"},
        {{"--group", "top"}, "--group \"top\": no group or object has that name"},
        {{"--material", "wood"}, "--material \"wood\": the document has no such material"},
    };
    for (const auto& c : cases) {
        kivera_test::WriteFile(two, text);
        std::vector<std::string> args = {"run", two, "-c", "select-neighbours"};
        args.insert(args.begin() + 2, c.options.begin(), c.options.end());
        run = RunProgram(args);
        EXPECT_NE((run.out + run.err).find(c.expected), std::string::npos) << c.options[0] << "\n" << run.out << run.err;
        EXPECT_EQ(run.status, c.expected[0] == '-' ? 1 : 0) << run.err;
        EXPECT_EQ(kivera_test::ReadFile(two), text);
    }
}

}  // namespace

namespace {

// A run never replaces a file it did not read: an existing target, an MTL
// beside a new OBJ, without --force; and it writes nothing when one of its
// outputs cannot be written (a picture that is a folder, a read-only file).
TEST(Program, NoFileReplacedThatTheRunDoesNotOwn)
{
    TempFolder folder;
    const std::string doc = folder.File("doc.json");
    ASSERT_EQ(RunProgram({"convert", Example("materials.json"), doc}).status, 0);
    const std::string json = kivera_test::ReadFile(doc);
    kivera_test::WriteFile(folder.File("t.obj"), "v 0 0 0\n");
    kivera_test::WriteFile(folder.File("t.mtl"), "newmtl x\nKa 1 1 1\n");
    kivera_test::WriteFile(folder.File("m.mtl"), "newmtl y\nKs 1 1 1\n");
    std::filesystem::create_directory(folder.File("pic.svg"));
    kivera_test::WriteFile(folder.File("ro.json"), json);
    std::filesystem::permissions(folder.File("ro.json"), std::filesystem::perms::owner_read |
                                                         std::filesystem::perms::group_read |
                                                         std::filesystem::perms::others_read);
    const struct {
        std::vector<std::string> args;
        const char* error;
    } cases[] = {
        {{"run", doc, "-c", "reload-textures", "--out", folder.File("t.obj")}, "t.obj: exists and is not"},
        {{"run", doc, "-c", "reload-textures", "--out", folder.File("m.obj")}, "m.mtl: exists and is not"},
        {{"convert", doc, folder.File("t.obj")}, "t.obj: exists and is not"},
        {{"run", doc, "-c", "reload-textures", "--svg", folder.File("pic.svg")}, "pic.svg: cannot write: is a folder"},
        {{"run", folder.File("ro.json"), "-c", "reload-textures"}, "ro.json: cannot write: you may not write it (mode 0444)"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = RunProgram(c.args);
        EXPECT_EQ(run.status, 1) << c.error;
        EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
        EXPECT_EQ(kivera_test::ReadFile(doc), json);
        EXPECT_EQ(kivera_test::ReadFile(folder.File("ro.json")), json);
        EXPECT_EQ(kivera_test::ReadFile(folder.File("t.obj")), "v 0 0 0\n");
        EXPECT_EQ(kivera_test::ReadFile(folder.File("t.mtl")), "newmtl x\nKa 1 1 1\n");
        EXPECT_EQ(kivera_test::ReadFile(folder.File("m.mtl")), "newmtl y\nKs 1 1 1\n");
        EXPECT_FALSE(kivera_test::FileExists(folder.File("m.obj")));
    }
    EXPECT_EQ(RunProgram({"convert", doc, folder.File("t.obj"), "--force"}).status, 0);
    EXPECT_NE(kivera_test::ReadFile(folder.File("t.mtl")).find("glass"), std::string::npos);
}

}  // namespace

namespace {

// An installed tree (marked by per-user-settings.txt) keeps each user's
// settings and saved points in $XDG_DATA_HOME/kivera. A restore with
// nothing saved exits 2; a kivera.idx that cannot be written is refused
// before anything runs.
TEST(Program, InstalledTreeKeepsSettingsPerUser)
{
    namespace fs = std::filesystem;
    TempFolder folder;
    const fs::path app = fs::path(KIVERA_HOST_PROGRAM).parent_path();
    const fs::path tree = folder.File("tree");
    fs::create_directories(tree / "plugins");
    for (const char* name : {"kivera-host", "libkiverahost.so", "kivera.ini", "plugins/kivera.so"})
        fs::copy_file(app / name, tree / name);
    kivera_test::WriteFile((tree / "per-user-settings.txt").string(), "installed\n");
    const std::string doc = folder.File("doc.json");
    ASSERT_EQ(RunProgram({"convert", Example("saved-points.json"), doc}).status, 0);
    const auto runAs = [&](const std::string& data, const std::string& command) {
        const std::string line = "XDG_DATA_HOME=" + Quote(data) + " " + std::string(KIVERA_HOST_LAUNCHER) +
                                 " " + Quote((tree / "kivera-host").string()) + " run " + Quote(doc) +
                                 " -c " + command + (command == "restore-points" ? " -d 'x ok'" : "") +
                                 " </dev/null >/dev/null 2>&1";
        const int status = std::system(line.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    const std::string data = folder.File("data");
    EXPECT_EQ(runAs(data, "restore-points"), 2);
    EXPECT_EQ(kivera_test::ReadFile(data + "/kivera/kivera.ini"), kivera_test::ReadFile((app / "kivera.ini").string()));
    EXPECT_EQ(runAs(data, "save-points"), 0);
    EXPECT_TRUE(kivera_test::FileExists(data + "/kivera/kivera.idx"));
    EXPECT_EQ(runAs(data, "restore-points"), 0);
    // A saved-points file that cannot be written.
    fs::remove(data + "/kivera/kivera.idx");
    fs::create_directory(data + "/kivera/kivera.idx");
    EXPECT_EQ(runAs(data, "save-points"), 1);
}

}  // namespace
