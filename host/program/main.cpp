// kivera-host: the stand-in host as a program. It loads the real plug-in
// module as a host does (dlopen of kivera.so, MQInit with the path of the
// host library, MQEnumString for the menu, MQModifySelect to run a command)
// and lets a person apply the commands to their own documents headless.
#include <CLI/CLI.hpp>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <limits>
#include <string>
#include <vector>

#include "frame/menu_strings.h"
#include "host/library/change_report.h"
#include "host/library/command_names.h"
#include "host/library/dialog_answers.h"
#include "host/program/document_edits.h"
#include "host/program/document_file.h"
#include "host/program/file_io.h"
#include "host/library/no_op_explanations.h"
#include "host/program/obj_file.h"
#include "host/library/command_run.h"
#include "host/library/plugin_host.h"
#include "host/program/progress.h"
#include "host/program/settings_file.h"
#include "host/program/svg.h"
#include "host/library/text_encoding.h"

namespace fs = std::filesystem;
using namespace host;

namespace {

// Exit statuses: 0 ran, 1 refused its input (nothing written), 2 a command
// failed (after what was written, which the report names).
constexpr int kFailure = 1;
constexpr int kCommandFailed = 2;

int Fail(const std::string& message)
{
    std::fflush(stdout);
    std::fprintf(stderr, "kivera-host: %s\n", message.c_str());
    return kFailure;
}

// --- The plug-in and its folders ------------------------------------------------

struct PluginChoice {
    std::string pluginPath;   // --plugin, or "" for the one beside the program
    std::string systemDir;    // --system-dir, or "" for the plug-in's settings folder
};

struct BoundPlugin {
    PluginModule module;
    std::string menuFolder;     // where MQEnumString reads kivera.ini
    std::string systemFolder;   // type 5: where MQModifySelect reads it, and kivera.idx
    std::vector<std::string> menu;
};

std::string DefaultPluginPath() { return ProgramFolder() + "/plugins/kivera.so"; }

bool SameFileContents(const std::string& a, const std::string& b)
{
    std::string bytesA, bytesB, why;
    const bool readA = ReadWholeFile(a, bytesA, why);
    const bool readB = ReadWholeFile(b, bytesB, why);
    return readA == readB && bytesA == bytesB;
}

// An installed program (its tree holds this file, laid there by
// `cmake --install`) keeps each user's settings and saved points in a
// folder of their own, since the installed tree is not theirs to write.
bool SettingsPerUser() { return fs::exists(ProgramFolder() + "/per-user-settings.txt"); }

// $XDG_DATA_HOME/kivera, else ~/.local/share/kivera, made with a copy of the
// installed kivera.ini on first use (and the copy renewed when the installed
// one changed, since the menu is read from that one).
bool PerUserFolder(const std::string& menuFolder, std::string& folder, std::string& error)
{
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (data && data[0] == '/')
        folder = std::string(data) + "/kivera";
    else if (home && home[0] == '/')
        folder = std::string(home) + "/.local/share/kivera";
    else {
        error = "neither XDG_DATA_HOME nor HOME names a folder for your settings; give --system-dir";
        return false;
    }
    std::error_code failure;
    fs::create_directories(folder, failure);
    if (failure) {
        error = folder + ": cannot make the folder for your settings: " + failure.message();
        return false;
    }
    const std::string installed = menuFolder + "/kivera.ini", own = folder + "/kivera.ini";
    if (SameFileContents(installed, own))
        return true;
    std::string bytes, why;
    if (!ReadWholeFile(installed, bytes, why) || !WriteFileAtomically(own, bytes, why)) {
        error = own + ": cannot copy the settings there: " + why;
        return false;
    }
    std::fprintf(stderr, "kivera-host: note: your settings and saved points are in %s (%s copied "
                         "there)\n", folder.c_str(), installed.c_str());
    return true;
}

// Loads and binds the plug-in and points the host's type-5 folder at the
// settings folder. Refuses setups in which the plug-in could not work as
// asked: paths too long for its 128-byte buffers, and a --system-dir whose
// kivera.ini differs from the one the menu comes from (menu indices would
// then run other commands than the menu shows).
bool PreparePlugin(const PluginChoice& choice, BoundPlugin& bound, std::string& error)
{
    const std::string path = choice.pluginPath.empty() ? DefaultPluginPath() : choice.pluginPath;
    if (!LoadPluginModule(path, bound.module, error))
        return false;
    if (bound.module.path.size() > kPluginPathLimit) {
        error = bound.module.path + ": the plug-in's path is longer than " +
                std::to_string(kPluginPathLimit) +
                " bytes, too long for the plug-in to find its kivera.ini; move it";
        return false;
    }
    bound.menuFolder = PluginSettingsFolder(bound.module);
    if (choice.systemDir.empty() && SettingsPerUser() && choice.pluginPath.empty()) {
        if (!PerUserFolder(bound.menuFolder, bound.systemFolder, error))
            return false;
    } else if (choice.systemDir.empty()) {
        bound.systemFolder = bound.menuFolder;
    } else {
        std::error_code failure;
        const fs::path folder = fs::canonical(choice.systemDir, failure);
        if (failure || !fs::is_directory(folder)) {
            error = choice.systemDir + ": not a folder" +
                    (failure ? ": " + failure.message() : std::string());
            return false;
        }
        bound.systemFolder = folder.string();
    }
    if (bound.systemFolder.size() > kPluginPathLimit - 1) {
        error = bound.systemFolder + ": the settings folder's path is longer than " +
                std::to_string(kPluginPathLimit - 1) + " bytes, too long for the plug-in";
        return false;
    }
    if (bound.systemFolder != bound.menuFolder &&
        !SameFileContents(bound.menuFolder + "/kivera.ini", bound.systemFolder + "/kivera.ini")) {
        error = "the menu comes from " + bound.menuFolder + "/kivera.ini but the commands read " +
                bound.systemFolder + "/kivera.ini, and the two differ, so a menu index would run "
                "another command than the menu shows; copy one over the other, or put the "
                "plug-in into " + bound.systemFolder + "/plugins/ and use --plugin";
        return false;
    }
    host::SetSystemPath(bound.systemFolder);
    if (!BindPlugin(bound.module, error))
        return false;
    bound.menu = ReadMenu(bound.module);
    return true;
}

void AddPluginOptions(CLI::App* command, PluginChoice& choice)
{
    command->add_option("--plugin", choice.pluginPath,
                        "The plug-in module (default: plugins/kivera.so beside this program)");
    command->add_option("--system-dir", choice.systemDir,
                        "The host's settings folder (type 5: kivera.ini, kivera.idx); default: "
                        "the folder above the plug-in's folder");
}

std::string MenuEntryText(const std::string& menuText)
{
    const int row = CommandRowOfMenuText(menuText);
    return DisplayCp932(menuText) + (row >= 0 ? std::string("  (") + CommandName(row) + ")" : "");
}

// The options of `select`, which `run` takes too (without --current).
void AddSelectionOptions(CLI::App* command, SelectionRequest& selection, bool withCurrent)
{
    command->add_option("--object", selection.object, "The object (default: the current one)")
        ->check(CLI::Range(0, std::numeric_limits<int>::max()));
    command->add_option("--vertices", selection.vertices, "Vertex indices and ranges: 0,4,7-9");
    command->add_option("--faces", selection.faces, "Face indices and ranges");
    command->add_option("--lines", selection.lines, "Lines as FACE:K (line K joins points K, K+1)");
    command->add_flag("--add", selection.add,
                      "Add to the object's selection (by default each kind given is replaced)");
    command->add_flag("--clear", selection.clear, "First empty every selection of every object");
    command->add_option("--group", selection.group,
                        "Also select the faces of every object (OBJ group) of this name, and their vertices");
    command->add_option("--material", selection.material,
                        "Also select the faces of this material, and their vertices");
    command->add_option("--sharp-edges", selection.sharpEdges,
                        "Also select the lines whose two faces meet at more than DEGREES, and their vertices")
        ->check(CLI::Range(0.0, 180.0));
    command->add_option("--view-rotation", selection.viewRotation,
                        "The view, as YAW,PITCH[,ROLL] in degrees (default: the front view)");
    if (withCurrent)
        command->add_option("--current", selection.current, "Make this object the current one")
            ->check(CLI::Range(0, std::numeric_limits<int>::max()));
}

// --- menu -------------------------------------------------------------------------

int RunMenu(const PluginChoice& choice)
{
    BoundPlugin bound;
    std::string error;
    if (!PreparePlugin(choice, bound, error))
        return Fail(error);
    std::printf("menu of %s (kivera.ini in %s):\n", bound.module.path.c_str(),
                bound.menuFolder.c_str());
    if (bound.menu.empty())
        std::printf("  (empty: kivera.ini enables no command)\n");
    for (std::size_t i = 0; i < bound.menu.size(); ++i)
        std::printf("  %2zu  %s\n", i, MenuEntryText(bound.menu[i]).c_str());
    return 0;
}

// --- Documents ----------------------------------------------------------------------

std::string DocumentSummary(const host::Document& doc)
{
    std::size_t objects = 0, vertices = 0, faces = 0;
    for (const auto& obj : doc.objects) {
        if (!obj)
            continue;
        ++objects;
        vertices += obj->vertices.size();
        for (const host::Face& face : obj->faces)
            faces += face.points.empty() ? 0 : 1;
    }
    return std::to_string(objects) + (objects == 1 ? " object, " : " objects, ") +
           std::to_string(vertices) + (vertices == 1 ? " vertex, " : " vertices, ") +
           std::to_string(faces) + (faces == 1 ? " face" : " faces");
}

bool HasSelection(const host::Document& doc)
{
    for (const auto& obj : doc.objects) {
        if (!obj)
            continue;
        for (unsigned char flag : obj->vertexSelected)
            if (flag)
                return true;
        for (const host::Face& face : obj->faces) {
            if (face.selected)
                return true;
            for (unsigned char flag : face.lineSelected)
                if (flag)
                    return true;
        }
    }
    return false;
}

// --encoding: how OBJ and MTL files are read ("utf8", or "latin1" for
// 8-bit files of older tools).
std::string gEncoding = "utf8";

bool Load(const std::string& path, host::Document& doc, DocumentInfo& info, std::string& error)
{
    if (gEncoding != "utf8" && gEncoding != "latin1") {
        error = "--encoding must be utf8 or latin1, not \"" + gEncoding + "\"";
        return false;
    }
    info.latin1 = gEncoding == "latin1";
    std::string notes;
    StartProgress("loading " + path);
    const bool loaded = LoadDocument(path, doc, info, notes, error);
    StopProgress();
    if (!notes.empty())
        std::fprintf(stderr, "%s", notes.c_str());
    return loaded;
}

bool Save(const std::string& path, const host::Document& doc, const DocumentInfo& info,
          std::string& error, bool selectionNote = true)
{
    std::string notes;
    StartProgress("saving " + path);
    const bool saved = SaveDocument(path, doc, info, notes, error);
    StopProgress();
    std::printf("%s", notes.c_str());
    // A patched OBJ whose text came out the same is left alone; say so
    // instead of claiming a write.
    if (saved && notes.find(path + ": nothing the file holds changed") == std::string::npos)
        std::printf("wrote %s\n", path.c_str());
    if (saved && selectionNote && IsObjFileName(path) && HasSelection(doc))
        std::fprintf(stderr, "kivera-host: note: %s holds no selection (OBJ has none)\n",
                     path.c_str());
    return saved;
}

bool WriteSvg(const std::string& path, const std::vector<SvgPanel>& panels,
              const SvgOptions& options, std::string& error)
{
    std::string why;
    StartProgress("drawing " + path);
    std::string note;
    const bool written = WriteFileAtomically(path, RenderSvg(panels, options, &note), why);
    StopProgress();
    if (!note.empty())
        std::fprintf(stderr, "kivera-host: note: %s: %s\n", path.c_str(), note.c_str());
    if (!written) {
        error = path + ": cannot write: " + why;
        return false;
    }
    return true;
}

// --- run --------------------------------------------------------------------------

struct RunOptions {
    std::string document;
    std::vector<std::string> commands;
    std::vector<std::string> dialogs;   // as given; matched to commands by order
    std::string out;
    std::string svg;
    std::string view = "front";
    std::string fit = "all";
    bool labels = false;
    std::string scale = "2^0";
    SelectionRequest selection;   // applied before the commands
    bool force = false;           // replace an existing --out (and its MTL)
    PluginChoice plugin;
};

// The answer to one command's dialog: the --dialog given after it, else one
// given before every --command.
struct DialogAnswer {
    const char* text = nullptr;
    bool own = false;
};

// Each --dialog answers the --command given before it; one given before
// every --command answers all commands that have none of their own.
std::vector<DialogAnswer> DialogsPerCommand(CLI::App* run, const RunOptions& options)
{
    std::vector<DialogAnswer> perCommand(options.commands.size());
    const char* fallback = nullptr;
    std::size_t commandsSeen = 0, dialogsSeen = 0;
    for (const CLI::Option* option : run->parse_order()) {
        if (option->get_name() == "--command") {
            ++commandsSeen;
        } else if (option->get_name() == "--dialog" && dialogsSeen < options.dialogs.size()) {
            const char* ids = options.dialogs[dialogsSeen++].c_str();
            if (commandsSeen == 0)
                fallback = ids;
            else
                perCommand[commandsSeen - 1] = {ids, true};
        }
    }
    for (DialogAnswer& answer : perCommand) {
        if (!answer.text)
            answer.text = fallback;
    }
    return perCommand;
}

// Checks every answer against the dialog of the command it answers and turns
// names into ids, before anything runs. `ids[i]` is empty for a command
// that gets no answer.
bool TranslateDialogAnswers(const std::vector<int>& rows, const std::vector<DialogAnswer>& answers,
                            std::vector<std::string>& ids, std::string& error)
{
    ids.assign(rows.size(), std::string());
    bool fallbackGiven = false, fallbackAnswers = false;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!answers[i].text)
            continue;
        const int dialog = DialogOfCommandRow(rows[i]);
        if (dialog == 0 && answers[i].own) {
            error = std::string("--dialog \"") + answers[i].text + "\" answers " +
                    CommandName(rows[i]) + ", which shows no dialog (only arrange-on-line and "
                    "restore-points do)";
            return false;
        }
        fallbackGiven = fallbackGiven || !answers[i].own;
        fallbackAnswers = fallbackAnswers || (!answers[i].own && dialog != 0);
        if (dialog != 0 && !DialogAnswerIds(answers[i].text, dialog, ids[i], error))
            return false;
    }
    if (fallbackGiven && !fallbackAnswers) {
        error = "--dialog answers no command: none of them shows a dialog";
        return false;
    }
    return true;
}

// A line saying why a command changed nothing (or where save-points wrote).
void PrintExplanation(const host::Document& before, int row, const CommandOutcome& outcome,
                      bool changed, const std::string& systemFolder, int dialogId,
                      const char* dialogIds, bool interactive)
{
    CommandRun run;
    run.row = row;
    run.result = outcome.result;
    run.changed = changed;
    run.messages = MessageLines(outcome.messages);
    run.systemFolder = systemFolder;
    // Unanswered and nobody at a terminal, the dialog closes as by Escape;
    // what a person or KIVERA_DIALOG answered is not known here.
    const DialogChoice choice = PlayDialogAnswer(dialogId, dialogIds ? dialogIds : "");
    if (dialogIds || (!interactive && !std::getenv("KIVERA_DIALOG")))
        run.dialog = &choice;
    const std::string line = ExplainCommandRun(before, run);
    if (!line.empty())
        std::printf("  %s\n", line.c_str());
}

// Every file is a known format by its name before anything is read or written.
bool CheckFileNames(const std::vector<std::string>& documents, const std::string& picture,
                    std::string& error)
{
    for (const std::string& path : documents) {
        if (!path.empty() && !CheckFileName(path, false, error))
            return false;
    }
    return picture.empty() || CheckFileName(picture, true, error);
}

// The files a save of `doc` to `target` writes: the document, and the MTL
// file beside a new OBJ file.
std::vector<std::string> FilesSaveWrites(const std::string& target, const host::Document& doc,
                                         const DocumentInfo& info)
{
    std::vector<std::string> files = {target};
    if (IsObjFileName(target)) {
        for (const std::string& file : ObjCompanionFiles(target, doc, info.objSource.get()))
            files.push_back(file);
    }
    return files;
}

std::vector<std::string> InputFiles(const std::string& document, const DocumentInfo& info)
{
    return info.objSource ? ObjInputFiles(*info.objSource) : std::vector<std::string>{document};
}

// Before anything is written: every output can be written, and one that
// exists is one of the inputs (or `force` allows replacing it), so that a
// run never replaces a file it does not own.
bool CheckOutputs(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs,
                  bool force, std::string& error)
{
    for (const std::string& path : outputs) {
        std::string why;
        if (!CheckWritable(path, why)) {
            error = path + ": cannot write: " + why;
            return false;
        }
        bool input = false;
        for (const std::string& file : inputs)
            input = input || SameFile(path, file);
        std::error_code failure;
        if (!force && !input && fs::exists(path, failure)) {
            error = path + ": exists and is not this run's input; not replaced (give --force to "
                           "replace it)";
            return false;
        }
    }
    return true;
}

// Whether a command failed: it returned 0, or a message box reports an
// error ("Error file open").
bool CommandFailed(const CommandOutcome& outcome, std::string& why)
{
    if (outcome.result == 0) {
        why = "returned 0";
        return true;
    }
    for (const std::string& line : MessageLines(outcome.messages)) {
        if (line.compare(0, 5, "Error") == 0) {
            why = "reported \"" + line + "\"";
            return true;
        }
    }
    return false;
}

int RunCommands(CLI::App* run, const RunOptions& options)
{
    if (std::string error; !CheckFileNames({options.document, options.out}, options.svg, error))
        return Fail(error);
    ViewKind view = ViewKind::Front;
    if (!ParseViewKind(options.view, view))
        return Fail("--view must be front, top, side, iso or scene, not \"" + options.view + "\"");
    FitKind fit = FitKind::All;
    if (!ParseFitKind(options.fit, fit))
        return Fail("--fit must be all or selection, not \"" + options.fit + "\"");
    int scaleExponent = 0;
    if (std::string error; !ParseScaleExponent(options.scale, scaleExponent, error))
        return Fail(error);
    BoundPlugin bound;
    std::string error;
    if (!PreparePlugin(options.plugin, bound, error))
        return Fail(error);
    std::vector<int> indices;
    for (const std::string& text : options.commands) {
        int index = 0;
        if (!ResolveMenuIndex(text, bound.menu, index, error))
            return Fail(error);
        indices.push_back(index);
    }
    std::vector<int> rows;
    for (int index : indices)
        rows.push_back(CommandRowOfMenuText(bound.menu[static_cast<std::size_t>(index)]));
    std::vector<std::string> dialogIds;
    const std::vector<DialogAnswer> answers = DialogsPerCommand(run, options);
    if (!TranslateDialogAnswers(rows, answers, dialogIds, error))
        return Fail(error);

    host::Document doc;
    DocumentInfo info;
    if (!Load(options.document, doc, info, error))
        return Fail(error);
    std::printf("%s: %s\n", options.document.c_str(), DocumentSummary(doc).c_str());
    const std::string largeFaces = LargeFaceNote(doc);
    if (!largeFaces.empty())
        std::printf("  %s\n", largeFaces.c_str());
    // The command line's selection and view are where the commands start,
    // not a change of their own.
    if (SelectsAnything(options.selection)) {
        const host::Document unselected = CopyDocument(doc);
        if (!ApplySelection(doc, options.selection, error))
            return Fail(options.document + ": " + error);
        std::printf("selection and view from the command line:\n%s",
                    FormatChangeReport(CompareDocuments(unselected, doc), "  ").c_str());
    }
    const host::Document initial = CopyDocument(doc);

    // Every output is checked before a command runs (save-points writes
    // its kivera.idx as it runs): a run refused writes nothing.
    const std::string target = options.out.empty() ? options.document : options.out;
    std::vector<std::string> outputs;
    bool writesAsItRuns = false;
    for (int row : rows) {
        if (row >= 0 && std::string(CommandName(row)) == "save-points") {
            outputs.push_back(bound.systemFolder + "/kivera.idx");
            writesAsItRuns = true;
        }
    }
    if (!options.out.empty() || writesAsItRuns) {
        for (const std::string& file : FilesSaveWrites(target, doc, info))
            outputs.push_back(file);
    }
    if (!options.svg.empty())
        outputs.push_back(options.svg);
    std::vector<std::string> inputs = InputFiles(options.document, info);
    inputs.push_back(bound.systemFolder + "/kivera.idx");
    if (!options.svg.empty())
        inputs.push_back(options.svg);   // a picture is drawn anew each run
    if (!CheckOutputs(outputs, inputs, options.force, error))
        return Fail(error);

    std::string titles, failures;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        const std::string entry = MenuEntryText(bound.menu[static_cast<std::size_t>(indices[i])]);
        // A dialog with nobody scripting it asks at the terminal: show the
        // plug-in's prompts as they come, and no progress line over them.
        const char* dialog = answers[i].text ? dialogIds[i].c_str() : nullptr;
        const bool interactive = !dialog && !std::getenv("KIVERA_DIALOG") && isatty(STDIN_FILENO);
        const host::Document before = CopyDocument(doc);
        std::fflush(stdout);
        if (!interactive)
            StartProgress("running " + DisplayCp932(bound.menu[static_cast<std::size_t>(indices[i])]));
        ScaledRun scaled;
        const bool ran = RunCommandScaled(bound.module, indices[i], doc, dialog, scaleExponent,
                                          interactive, scaled, error);
        StopProgress();
        if (!ran)
            return Fail(error);
        const CommandOutcome outcome{scaled.result, scaled.messages};
        std::printf("command %d %s: result %d%s\n", indices[i], entry.c_str(), outcome.result,
                    outcome.result == 0 ? " (the command stopped early)" : "");
        const ChangeReport report = CompareDocuments(before, doc);
        std::printf("%s", FormatChangeReport(report, "  ").c_str());
        for (const std::string& line : MessageLines(outcome.messages))
            std::printf("  message box: %s\n", line.c_str());
        if (!scaled.scaleNote.empty())
            std::printf("  %s\n", scaled.scaleNote.c_str());
        PrintExplanation(before, rows[i], outcome, !IsEmpty(report), bound.systemFolder,
                         DialogOfCommandRow(rows[i]), dialog, interactive);
        std::string why;
        if (CommandFailed(outcome, why))
            failures += "kivera-host: command " + std::to_string(indices[i]) + " (" +
                        (rows[i] >= 0 ? CommandName(rows[i]) : "?") + ") failed: it " + why + "\n";
        titles += (titles.empty() ? "" : ", ") + DisplayCp932(bound.menu[static_cast<std::size_t>(indices[i])]);
    }

    const bool changed = !IsEmpty(CompareDocuments(initial, doc));
    if (options.out.empty() && !changed) {
        std::printf("no change: %s left as it was\n", target.c_str());
    } else {
        // A selection given on the command line is not meant to be kept.
        if (!Save(target, doc, info, error, !SelectsAnything(options.selection)))
            return Fail(error);
    }
    if (!options.svg.empty()) {
        SvgOptions svgOptions;
        svgOptions.view = view;
        svgOptions.fit = fit;
        svgOptions.vertexLabels = options.labels;
        const std::vector<SvgPanel> panels = {{&initial, "before"}, {&doc, "after: " + titles}};
        if (!WriteSvg(options.svg, panels, svgOptions, error))
            return Fail(error);
        std::printf("wrote %s\n", options.svg.c_str());
    }
    if (!failures.empty()) {
        std::fflush(stdout);
        std::fprintf(stderr, "%s", failures.c_str());
        return kCommandFailed;
    }
    return 0;
}

// --- render -------------------------------------------------------------------------

int RunRender(const std::string& document, const std::string& svg, const std::string& viewName,
              const std::string& fitName, bool labels)
{
    if (std::string error; !CheckFileNames({document}, svg, error))
        return Fail(error);
    SvgOptions options;
    if (!ParseViewKind(viewName, options.view))
        return Fail("--view must be front, top, side, iso or scene, not \"" + viewName + "\"");
    if (!ParseFitKind(fitName, options.fit))
        return Fail("--fit must be all or selection, not \"" + fitName + "\"");
    options.vertexLabels = labels;
    host::Document doc;
    DocumentInfo info;
    std::string error;
    if (!Load(document, doc, info, error))
        return Fail(error);
    if (!WriteSvg(svg, {{&doc, FileNameOf(document)}}, options, error))
        return Fail(error);
    std::printf("wrote %s\n", svg.c_str());
    return 0;
}

// --- convert ----------------------------------------------------------------------

int RunConvert(const std::string& from, const std::string& to, bool force)
{
    if (std::string error; !CheckFileNames({from, to}, "", error))
        return Fail(error);
    host::Document doc;
    DocumentInfo info;
    std::string error;
    if (!Load(from, doc, info, error))
        return Fail(error);
    std::printf("%s: %s\n", from.c_str(), DocumentSummary(doc).c_str());
    if (!CheckOutputs(FilesSaveWrites(to, doc, info), InputFiles(from, info), force, error))
        return Fail(error);
    if (!Save(to, doc, info, error))
        return Fail(error);
    return 0;
}

// --- select and merge ----------------------------------------------------------------

int RunSelect(const std::string& document, const SelectionRequest& request, const std::string& out)
{
    if (std::string error; !CheckFileNames({document, out}, "", error))
        return Fail(error);
    const std::string target = out.empty() ? document : out;
    if (IsObjFileName(target))
        return Fail(target + ": an OBJ file holds no selection; write the result to a .json "
                             "document with --out");
    if (!SelectsAnything(request))
        return Fail("select: nothing to do: give --vertices, --faces, --lines, --group, "
                    "--material, --sharp-edges, --view-rotation, --current or --clear");
    host::Document doc;
    DocumentInfo info;
    std::string error;
    if (!Load(document, doc, info, error))
        return Fail(error);
    const host::Document before = CopyDocument(doc);
    if (!ApplySelection(doc, request, error))
        return Fail(document + ": " + error);
    const ChangeReport report = CompareDocuments(before, doc);
    std::printf("%s: %s\n%s", document.c_str(), DocumentSummary(doc).c_str(),
                FormatChangeReport(report, "  ").c_str());
    if (out.empty() && IsEmpty(report)) {
        std::printf("no change: %s left as it was\n", target.c_str());
        return 0;
    }
    if (!Save(target, doc, info, error))
        return Fail(error);
    return 0;
}

// The merged document starts anew: what an OBJ input holds beyond the
// document (normals, groups, ...) is not carried over, and a note says so.
int RunMerge(const std::vector<std::string>& inputs, const std::string& out)
{
    std::vector<std::string> files = inputs;
    files.push_back(out);
    if (std::string error; !CheckFileNames(files, "", error))
        return Fail(error);
    host::Document merged;
    DocumentInfo info;
    std::string error, notes;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        host::Document part;
        DocumentInfo partInfo;
        if (!Load(inputs[i], part, partInfo, error))
            return Fail(error);
        std::printf("%s: %s (objects from %zu)\n", inputs[i].c_str(),
                    DocumentSummary(part).c_str(), merged.objects.size());
        const std::string lost =
            partInfo.objSource ? ObjContentsBeyondTheDocument(*partInfo.objSource) : "";
        if (!lost.empty())
            notes += out + ": holds none of the " + lost + " of " + inputs[i] + "\n";
        if (i == 0) {
            merged = std::move(part);
            info.description = partInfo.description;
        } else {
            AppendDocument(merged, std::move(part), inputs[i], notes);
        }
    }
    std::fprintf(stderr, "%s", notes.c_str());
    std::printf("%s: %s\n", out.c_str(), DocumentSummary(merged).c_str());
    if (!Save(out, merged, info, error))
        return Fail(error);
    return 0;
}

// --- init-settings ------------------------------------------------------------------

int RunInitSettings(const std::string& folder, const std::string& only)
{
    std::vector<bool> enabled(kCommandCount, true);
    std::string error;
    if (!only.empty() && !ParseRowList(only, enabled, error))
        return Fail("--only: " + error);
    std::error_code failure;
    fs::create_directories(folder, failure);
    if (failure)
        return Fail(folder + ": cannot make the folder: " + failure.message());
    const std::string path = (fs::path(folder) / "kivera.ini").string();
    std::string why;
    if (!WriteFileAtomically(path, SettingsText(enabled), why))
        return Fail(path + ": cannot write: " + why);
    std::size_t count = 0;
    for (bool on : enabled)
        count += on ? 1 : 0;
    std::printf("wrote %s enabling %zu of %zu commands\n", path.c_str(), count, enabled.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    InitProgress();
    CLI::App app{"kivera-host: runs the kivera plug-in's commands on documents, headless"};
    app.require_subcommand(1);

    PluginChoice menuPlugin;
    CLI::App* menu = app.add_subcommand("menu", "List the plug-in's menu (index and text)");
    AddPluginOptions(menu, menuPlugin);

    RunOptions runOptions;
    CLI::App* run = app.add_subcommand("run", "Run commands on a document and report the changes");
    run->add_option("document", runOptions.document, "The document (.json, or .obj)")->required();
    run->add_option("--command,-c", runOptions.commands,
                    "Menu index, menu text (UTF-8) or English name; repeat to run several in order")
        ->required()
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    run->add_option("--dialog,-d", runOptions.dialogs,
                    "Control ids or names clicked in the dialog of the command given before it "
                    "(\"main-y move-y ok\" or \"1001 1004 1\"; see kivera-host dialogs); "
                    "without it a person at a terminal is asked")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    run->add_option("--out,-o", runOptions.out,
                    "Where to write the result (.json or .obj); default: the document itself");
    run->add_option("--svg", runOptions.svg, "Also draw the document before and after, side by side");
    run->add_option("--view", runOptions.view, "front, top, side, iso or scene (for --svg)");
    run->add_option("--fit", runOptions.fit, "all (the faces) or selection (for --svg)");
    run->add_flag("--labels", runOptions.labels, "Write vertex indices into the picture");
    run->add_option("--scale", runOptions.scale,
                    "2^K: positions times 2^K for the commands, divided after (K whole)");
    run->add_flag("--force", runOptions.force,
                  "Replace an existing --out file (and the MTL file beside it) that the run did not read");
    AddPluginOptions(run, runOptions.plugin);

    AddSelectionOptions(run, runOptions.selection, false);
    std::string renderDocument, renderSvg, renderView = "front", renderFit = "all";
    bool renderLabels = false;
    CLI::App* render = app.add_subcommand("render", "Draw a document as an SVG picture");
    render->add_option("document", renderDocument, "The document (.json, or .obj)")->required();
    render->add_option("--svg", renderSvg, "The picture to write")->required();
    render->add_option("--view", renderView, "front, top, side, iso or scene");
    render->add_option("--fit", renderFit, "all (the faces) or selection");
    render->add_flag("--labels", renderLabels, "Write vertex indices into the picture");

    std::string convertFrom, convertTo;
    CLI::App* convert = app.add_subcommand(
        "convert", "Read a document and write it again, as .json or .obj by the file name");
    convert->add_option("from", convertFrom, "The document to read (.json, or .obj)")->required();
    convert->add_option("to", convertTo, "The file to write (.json, or .obj with its .mtl)")
        ->required();
    bool convertForce = false;
    convert->add_flag("--force", convertForce,
                      "Replace an existing target (and the MTL file beside it)");

    std::string settingsFolder, settingsOnly;
    CLI::App* initSettings =
        app.add_subcommand("init-settings", "Write a kivera.ini (code page 932) into a folder");
    initSettings->add_option("folder", settingsFolder, "The folder (made when missing)")->required();
    initSettings->add_option("--only", settingsOnly,
                             "Enable only these commands: rows or names, e.g. 4,16,bevel");

    std::string selectDocument, selectOut;
    SelectionRequest selection;
    CLI::App* select = app.add_subcommand(
        "select", "Select vertices, faces and lines of one object by index (in place, or --out)");
    select->add_option("document", selectDocument, "The document (.json)")->required();
    AddSelectionOptions(select, selection, true);
    select->add_option("--out,-o", selectOut, "Where to write the result (default: the document)");

    std::vector<std::string> mergeInputs;
    std::string mergeOut;
    CLI::App* merge = app.add_subcommand(
        "merge", "Put the objects of several documents into one, in order; materials by name");
    merge->add_option("documents", mergeInputs, "The documents (.json or .obj), in order")
        ->required();
    merge->add_option("--out,-o", mergeOut, "The document to write")->required();

    CLI::App* dialogs = app.add_subcommand(
        "dialogs", "List the plug-in's dialogs: each control's id, name and label");

    for (CLI::App* reading : {run, render, convert, select, merge})
        reading->add_option("--encoding", gEncoding,
                            "How OBJ and MTL files are read: utf8 (default) or latin1 (8-bit)");
    CLI11_PARSE(app, argc, argv);

    if (*menu)
        return RunMenu(menuPlugin);
    if (*run)
        return RunCommands(run, runOptions);
    if (*render)
        return RunRender(renderDocument, renderSvg, renderView, renderFit, renderLabels);
    if (*convert)
        return RunConvert(convertFrom, convertTo, convertForce);
    if (*select)
        return RunSelect(selectDocument, selection, selectOut);
    if (*merge)
        return RunMerge(mergeInputs, mergeOut);
    if (*dialogs) {
        std::printf("%s", DialogListing().c_str());
        return 0;
    }
    if (*initSettings)
        return RunInitSettings(settingsFolder, settingsOnly);
    return 0;
}
