// Dialogs 101 and 102 and the message boxes on the real Win32 path: the
// plug-in runs them from its own resources, owned by the host's main window,
// and a person reads and clicks them from inside their modal loops.
#include "frame/command_ids.h"
#include "tests/windows/windows_api.h"

#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/windows/checks.h"
#include "tests/windows/harness.h"
#include "tests/windows/person.h"

namespace kivera_test {

constexpr int kArrangeRow = RowOf(CommandId::ArrangeOnLine);
constexpr int kSaveRow = RowOf(CommandId::SavePoints);
constexpr int kRestoreRow = RowOf(CommandId::RestorePoints);
constexpr int kFaceAngleRow = RowOf(CommandId::MeasureAngle);

// The check boxes of dialog 101 in id order.
static const int kArrangeBoxes[] = {
    IDC_MAIN_X,          IDC_MAIN_Y,        IDC_MAIN_Z,         IDC_MOVE_X,
    IDC_MOVE_Y,          IDC_MOVE_Z,        IDC_OBJECT_MODE,    IDC_REFERENCE_MAX,
    IDC_REFERENCE_CENTRE, IDC_REFERENCE_MIN, IDC_EQUAL_DIVISION, IDC_MOVE_ALL,
};

// "1000 1013" style list of the checked boxes among `boxes`.
template <size_t N>
static std::string CheckedBoxes(HWND dialog, const int (&boxes)[N])
{
    std::string list;
    for (int id : boxes) {
        if (CheckState(dialog, id) == BST_CHECKED)
            list += (list.empty() ? "" : " ") + std::to_string(id);
    }
    return list;
}

static std::string Checked(std::initializer_list<int> ids)
{
    std::string list;
    for (int id : ids)
        list += (list.empty() ? "" : " ") + std::to_string(id);
    return list;
}

// What a message box showed.
struct MessageBoxSeen {
    std::string caption;
    std::string text;
    bool ownedByHost = false;
};

// Reads a message box and clicks its OK button.
static WindowAction ReadMessageBox(MessageBoxSeen& seen)
{
    return [&seen](HWND box) {
        seen.caption = WindowTextA(box);
        // The message text is the static control with id 0xFFFF.
        HWND text = GetDlgItem(box, 0xFFFF);
        seen.text = text ? WindowTextA(text) : "(no text control)";
        seen.ownedByHost = GetWindow(box, GW_OWNER) == static_cast<HWND>(host::MainWindow());
        Click(box, IDOK);
    };
}

static void CheckPersonReport(const PersonReport& report, int windows, const std::string& what)
{
    Check(report.windowsSeen == windows && report.actionsRun == windows && !report.leftOpen,
          what + ": " + std::to_string(windows) + " window(s) shown and ended by the clicks",
          "seen " + std::to_string(report.windowsSeen) + ", handled " +
              std::to_string(report.actionsRun) + (report.leftOpen ? ", one left open" : ""));
}

static void RunArrangeChecks(const Plugin& plugin)
{
    Section("dialog 101 (arrange on a line)");
    host::Document doc;
    host::Object& object = AddPointObject(doc, {{0, 0, 0}, {1, 5, 0}, {2, 2, 0}});
    for (int v = 0; v < 3; ++v)
        host::SelectVertex(object, v);
    const std::vector<host::Vec3> before(object.vertices.begin(), object.vertices.end());

    // A run that picks everything else and cancels.
    int result = -1;
    auto pickAllAndCancel = [](HWND dialog) {
        for (int id : {IDC_MAIN_Y, IDC_REFERENCE_MAX, IDC_MOVE_X, IDC_MOVE_Z, IDC_OBJECT_MODE,
                       IDC_EQUAL_DIVISION, IDC_MOVE_ALL})
            Click(dialog, id);
        Click(dialog, IDCANCEL);
    };
    PersonReport report =
        WithPerson([&] { result = plugin.modifySelect(kArrangeRow, &doc); }, pickAllAndCancel);
    CheckPersonReport(report, 1, "cancel");
    CheckEqual(result, 1, "CANCEL: the command returns 1");
    bool unchanged = true;
    for (size_t v = 0; v < before.size(); ++v)
        unchanged &= SameVertex(object.vertices[v], before[v]);
    Check(unchanged, "CANCEL: no vertex moved");

    // The next run starts afresh, then the person tries the one-of-three
    // groups, picks movement axis Y and presses OK.
    std::string start, afterY, afterYAgain, afterX, afterMax, afterMin, afterCentre, atOk;
    bool ownedByHost = false;
    report = WithPerson([&] { result = plugin.modifySelect(kArrangeRow, &doc); },
                        [&](HWND dialog) {
                            ownedByHost = GetWindow(dialog, GW_OWNER) ==
                                          static_cast<HWND>(host::MainWindow());
                            start = CheckedBoxes(dialog, kArrangeBoxes);
                            Click(dialog, IDC_MAIN_Y);
                            afterY = CheckedBoxes(dialog, kArrangeBoxes);
                            Click(dialog, IDC_MAIN_Y);
                            afterYAgain = CheckedBoxes(dialog, kArrangeBoxes);
                            Click(dialog, IDC_MAIN_X);
                            afterX = CheckedBoxes(dialog, kArrangeBoxes);
                            Click(dialog, IDC_REFERENCE_MAX);
                            afterMax = CheckedBoxes(dialog, kArrangeBoxes);
                            Click(dialog, IDC_REFERENCE_MIN);
                            afterMin = CheckedBoxes(dialog, kArrangeBoxes);
                            Click(dialog, IDC_REFERENCE_CENTRE);
                            afterCentre = CheckedBoxes(dialog, kArrangeBoxes);
                            Click(dialog, IDC_MOVE_Y);
                            atOk = CheckedBoxes(dialog, kArrangeBoxes);
                            Click(dialog, IDOK);
                        });
    CheckPersonReport(report, 1, "OK");
    Check(ownedByHost, "the dialog is owned by the host's main window");
    CheckEqual(start, Checked({IDC_MAIN_X, IDC_REFERENCE_CENTRE}),
               "opens with X main axis and centre checked, whatever was chosen before");
    CheckEqual(afterY, Checked({IDC_MAIN_Y, IDC_REFERENCE_CENTRE}),
               "clicking main axis Y clears X");
    CheckEqual(afterYAgain, Checked({IDC_MAIN_Y, IDC_REFERENCE_CENTRE}),
               "clicking the checked main axis leaves it checked");
    CheckEqual(afterX, Checked({IDC_MAIN_X, IDC_REFERENCE_CENTRE}), "clicking X clears Y");
    CheckEqual(afterMax, Checked({IDC_MAIN_X, IDC_REFERENCE_MAX}),
               "clicking reference max clears centre");
    CheckEqual(afterMin, Checked({IDC_MAIN_X, IDC_REFERENCE_MIN}),
               "clicking reference min clears max");
    CheckEqual(afterCentre, Checked({IDC_MAIN_X, IDC_REFERENCE_CENTRE}),
               "clicking centre clears min");
    CheckEqual(atOk, Checked({IDC_MAIN_X, IDC_MOVE_Y, IDC_REFERENCE_CENTRE}),
               "movement axis Y toggles on by itself");
    CheckEqual(result, 1, "OK: the command returns 1");
    Check(SameVertex(object.vertices[0], {0, 0, 0}) && SameVertex(object.vertices[1], {1, 1, 0}) &&
              SameVertex(object.vertices[2], {2, 2, 0}),
          "OK with main X, move Y: (1, 5, 0) moved onto the line to (1, 1, 0)",
          "got " + VertexText(object.vertices[1]));

    // Object mode with equal division, chosen in the dialog.
    host::Document objects;
    for (float x : {0.0f, 1.0f, 10.0f}) {
        host::Object& part = AddPointObject(objects, {{x, 0, 0}, {x, 1, 0}});
        host::SelectVertex(part, 0);
        host::SelectVertex(part, 1);
    }
    report = WithPerson([&] { result = plugin.modifySelect(kArrangeRow, &objects); },
                        [](HWND dialog) {
                            Click(dialog, IDC_OBJECT_MODE);
                            Click(dialog, IDC_EQUAL_DIVISION);
                            Click(dialog, IDOK);
                        });
    CheckPersonReport(report, 1, "object mode");
    const host::Object& middle = *host::GetObject(objects, 1);
    Check(result == 1 && SameVertex(middle.vertices[0], {5, 0, 0}) &&
              SameVertex(host::GetObject(objects, 2)->vertices[0], {10, 0, 0}),
          "Object and equal division: the middle object moves from x = 1 to x = 5",
          "got " + VertexText(middle.vertices[0]));
}

static void RunRestoreChecks(const Layout& layout, const Plugin& plugin)
{
    Section("saved points and dialog 102 (restore)");
    const std::string savedFile = JoinPath(layout.appFolder, "kivera.idx");
    RemoveFile(savedFile);
    host::Document doc;
    host::Object& object = AddPointObject(doc, {{1, 2, 3}, {4, 5, 6}});
    host::SelectVertex(object, 0);
    host::SelectVertex(object, 1);
    CheckEqual(plugin.modifySelect(kSaveRow, &doc), 1, "saving the selected points returns 1");
    std::string saved;
    ReadBytes(savedFile, saved);
    CheckEqual(saved, "0 0 1.000000 2.000000 3.000000\r\n0 1 4.000000 5.000000 6.000000\r\n",
               "kivera.idx in the type-5 folder, text mode: lines end in CR LF");

    auto moveAway = [&object] {
        object.vertices[0] = {9, 9, 9};
        object.vertices[1] = {8, 8, 8};
    };
    moveAway();
    int result = -1;
    std::string start;
    auto restoreY = [&start](HWND dialog) {
        start = CheckedBoxes(dialog, {IDC_RESTORE_X, IDC_RESTORE_Y, IDC_RESTORE_Z});
        Click(dialog, IDC_RESTORE_Y);
        Click(dialog, IDOK);
    };
    PersonReport report =
        WithPerson([&] { result = plugin.modifySelect(kRestoreRow, &doc); }, restoreY);
    CheckPersonReport(report, 1, "restore Y");
    CheckEqual(start, "", "dialog 102 opens with no axis checked");
    CheckEqual(result, 1, "OK: the restore returns 1");
    Check(SameVertex(object.vertices[0], {9, 2, 9}) && SameVertex(object.vertices[1], {8, 5, 8}),
          "only Y checked: only the y coordinates come back",
          "got " + VertexText(object.vertices[0]) + " " + VertexText(object.vertices[1]));

    report = WithPerson([&] { result = plugin.modifySelect(kRestoreRow, &doc); },
                        [&](HWND dialog) {
                            Click(dialog, IDC_RESTORE_X);
                            Click(dialog, IDC_RESTORE_Y);
                            Click(dialog, IDC_RESTORE_Z);
                            Click(dialog, IDOK);
                        });
    CheckPersonReport(report, 1, "restore X, Y and Z");
    Check(result == 1 && SameVertex(object.vertices[0], {1, 2, 3}) &&
              SameVertex(object.vertices[1], {4, 5, 6}),
          "X, Y and Z checked: the saved positions come back",
          "got " + VertexText(object.vertices[0]) + " " + VertexText(object.vertices[1]));

    // Three ways to cancel; each leaves the document and the file alone.
    struct CancelWay {
        const char* what;
        WindowAction action;
    };
    const CancelWay ways[] = {
        {"the cancel button",
         [](HWND dialog) {
             Click(dialog, IDC_RESTORE_X);
             Click(dialog, IDCANCEL);
         }},
        {"Escape",
         [&start](HWND dialog) {
             start = CheckedBoxes(dialog, {IDC_RESTORE_X, IDC_RESTORE_Y, IDC_RESTORE_Z});
             Click(dialog, IDC_RESTORE_Z);
             // A key press goes through the modal loop's IsDialogMessage.
             PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
         }},
        {"the caption's close button",
         [](HWND dialog) {
             Click(dialog, IDC_RESTORE_Y);
             PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
         }},
    };
    for (const CancelWay& way : ways) {
        moveAway();
        report = WithPerson([&] { result = plugin.modifySelect(kRestoreRow, &doc); }, way.action);
        CheckPersonReport(report, 1, way.what);
        Check(result == 0 && SameVertex(object.vertices[0], {9, 9, 9}) &&
                  SameVertex(object.vertices[1], {8, 8, 8}),
              std::string(way.what) + " cancels: returns 0, nothing restored");
    }
    CheckEqual(start, "", "the axes chosen in a cancelled run are cleared at the next opening");

    Section("message box \"Error file open\"");
    RemoveFile(savedFile);
    MessageBoxSeen seen;
    report = WithPerson([&] { result = plugin.modifySelect(kRestoreRow, &doc); },
                        {[](HWND dialog) {
                             Click(dialog, IDC_RESTORE_X);
                             Click(dialog, IDOK);
                         },
                         ReadMessageBox(seen)});
    CheckPersonReport(report, 2, "restore without kivera.idx");
    CheckEqual(seen.text, "Error file open", "the restore reports the missing file");
    CheckEqual(seen.caption, "kivera", "under the caption \"kivera\"");
    Check(seen.ownedByHost, "owned by the host's main window");
    CheckEqual(result, 0, "the failed restore returns 0");

    // A folder in the file's place: the save cannot open it for writing.
    CreateDirectoryA(savedFile.c_str(), nullptr);
    seen = MessageBoxSeen();
    report =
        WithPerson([&] { result = plugin.modifySelect(kSaveRow, &doc); }, ReadMessageBox(seen));
    RemoveDirectoryA(savedFile.c_str());
    CheckPersonReport(report, 1, "save onto a folder");
    Check(seen.text == "Error file open" && seen.caption == "kivera" && result == 0,
          "a save that cannot write shows \"Error file open\" and returns 0");
}

static void RunFaceAngleChecks(const Plugin& plugin)
{
    Section("message box \"Face Angle\"");
    host::Document doc;
    host::Object& object = *host::GetObject(doc, host::AddObject(doc, "faces"));
    for (host::Vec3 v : {host::Vec3{0, 0, 0}, host::Vec3{1, 0, 0}, host::Vec3{0, 1, 0},
                         host::Vec3{0, 0, 1}})
        host::AddVertex(object, v);
    const int flat = host::AddFace(object, {0, 1, 2});    // XY plane
    const int upright = host::AddFace(object, {0, 3, 1}); // XZ plane

    int result = -1;
    PersonReport report =
        WithPerson([&] { result = plugin.modifySelect(kFaceAngleRow, &doc); }, [](HWND) {});
    Check(report.windowsSeen == 0 && result == 1, "nothing selected: no message box, returns 1");

    host::SelectFace(object, flat);
    host::SelectFace(object, upright);
    MessageBoxSeen seen;
    report = WithPerson([&] { result = plugin.modifySelect(kFaceAngleRow, &doc); },
                        ReadMessageBox(seen));
    CheckPersonReport(report, 1, "two faces");
    CheckEqual(seen.text, "Angle = 90.00   or   90.00", "faces in the XY and XZ planes: 90 and 90");
    CheckEqual(seen.caption, "Face Angle", "under the caption \"Face Angle\"");
    CheckEqual(result, 1, "the measurement returns 1");

    host::SelectFace(object, upright, false);
    seen = MessageBoxSeen();
    WithPerson([&] { plugin.modifySelect(kFaceAngleRow, &doc); }, ReadMessageBox(seen));
    CheckEqual(seen.text, "Angle = 90.00   or   90.00",
               "one face in the XY plane against +Y and -Y");
}

void RunDialogChecks(const Layout& layout, const Plugin& plugin)
{
    host::SetSystemPath(layout.appFolder);
    WriteBytes(JoinPath(layout.appFolder, "kivera.ini"), SettingsEnablingAll());
    RunArrangeChecks(plugin);
    RunRestoreChecks(layout, plugin);
    RunFaceAngleChecks(plugin);
}

}  // namespace kivera_test
