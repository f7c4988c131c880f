// Why a command changed nothing, read from the document before it ran.
#include <gtest/gtest.h>

#include "host/library/dialog_answers.h"
#include "host/program/document_edits.h"
#include "host/program/document_file.h"
#include "host/library/no_op_explanations.h"
#include "resources/resource.h"
#include "tests/support/test_support.h"

namespace {

host::Document Example(const std::string& name, const host::SelectionRequest& selection)
{
    host::Document doc;
    host::DocumentInfo info;
    std::string notes, error;
    EXPECT_TRUE(host::LoadDocument(std::string(KIVERA_EXAMPLES_DIR) + "/" + name, doc, info,
                                      notes, error))
        << error;
    EXPECT_TRUE(host::ApplySelection(doc, selection, error)) << error;
    return doc;
}

host::SelectionRequest Select(int object, const char* vertices, const char* faces = "",
                                 const char* lines = "")
{
    host::SelectionRequest request;
    request.clear = true;
    request.object = object;
    request.vertices = vertices;
    request.faces = faces;
    request.lines = lines;
    return request;
}

TEST(NoOpExplanations, NameTheFirstUnmetNeed)
{
    const host::SelectionRequest nothing = Select(0, "");
    struct Case {
        const char* file;
        host::SelectionRequest selection;
        int row, result;
        const char* dialog;   // ids played on the command's dialog, or nullptr
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"grid-ring.json", nothing, 0, 1, nullptr, "select-points: no object has a selected face or line"},
        {"grid-ring.json", Select(0, "0", "3"), 0, 1, nullptr, "every point of the selected faces and lines is already"},
        {"grid-ring.json", Select(0, "0,2"), 5, 1, nullptr, "no face side has both end points selected"},
        {"grid-ring.json", nothing, 4, 1, nullptr, "select-connected: nothing is selected"},
        {"align-two-objects.json", Select(1, "0"), 6, 0, nullptr, "the current object 0"},
        {"rim-sheet.json", Select(0, "1,3"), 7, 1, nullptr, "object 0's selected vertex 1 has 1 selected corner on face 0, not 2"},
        {"zigzag.json", Select(0, "0-4"), 8, 1, "1000 1003 1", "no movement axis other than the main axis x is checked"},
        {"zigzag.json", Select(0, "0-4"), 8, 1, "1002 1003 1", "every selected vertex has the same z"},
        {"zigzag.json", Select(0, "0-4"), 8, 1, "1004 2", "the dialog closed without ok"},
        {"zigzag.json", Select(0, "0-4"), 8, 1, "1011 1004 1", "object mode needs selected vertices in two objects"},
        {"bulge-profile.json", Select(0, "0"), 9, 1, nullptr, "no object besides the current one (the height profile)"},
        {"polyline.json", Select(0, "0,2"), 12, 1, nullptr, "no two selected vertices are joined by a face side"},
        {"ridge.json", Select(0, "", "", "0:0"), 14, 1, nullptr, "cut-groove: no selected line is shared by exactly two faces (face 0's line 0 lies on 1 face)"},
        {"ridge.json", nothing, 17, 1, nullptr, "bevel: no line is selected"},
        {"uv-copy.json", Select(0, "0", "1"), 15, 0, nullptr, "copy-uv: object 0's selected vertex 0 is not a point of its selected face 1"},
        {"uv-copy.json", Select(0, "0", "0"), 15, 1, nullptr, "object 1 \"target\" has no selected face"},
        {"grid-ring.json", nothing, 16, 1, nullptr, "reload-textures: no material has a texture"},
        {"grid-ring.json", nothing, 18, 1, nullptr, "measure-angle: no face of three or more points and no line"},
        {"grid-ring.json", nothing, 11, 1, "1 ", "restore-points: no axis was checked"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        const host::Document doc = Example(c.file, c.selection);
        host::CommandRun run;
        run.row = c.row;
        run.result = c.result;
        const host::DialogChoice choice =
            host::PlayDialogAnswer(host::DialogOfCommandRow(c.row), c.dialog ? c.dialog : "");
        run.dialog = c.dialog ? &choice : nullptr;
        EXPECT_NE(host::ExplainCommandRun(doc, run).find(c.expected), std::string::npos)
            << host::ExplainCommandRun(doc, run);
    }
}

}  // namespace
