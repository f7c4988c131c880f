// kivera-host: the stand-in host as a program. It loads the real plug-in
// module as a host does (dlopen of kivera.so, MQInit with the path of the
// host library, MQEnumString for the menu, MQModifySelect to run a command)
// and lets a person apply the commands to their own documents headless.
#include <CLI/CLI.hpp>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "frame/menu_strings.h"
#include "host/program/change_report.h"
#include "host/program/command_names.h"
#include "host/program/document_file.h"
#include "host/program/file_io.h"
#include "host/program/plugin_host.h"
#include "host/program/progress.h"
#include "host/program/settings_file.h"
#include "host/program/svg.h"
#include "host/program/text_encoding.h"

namespace fs = std::filesystem;
using namespace hostapp;

namespace {

constexpr int kFailure = 1;

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
    if (choice.systemDir.empty()) {
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

bool Load(const std::string& path, host::Document& doc, DocumentInfo& info, std::string& error)
{
    std::string notes;
    StartProgress("loading " + path);
    const bool loaded = LoadDocument(path, doc, info, notes, error);
    StopProgress();
    if (!notes.empty())
        std::fprintf(stderr, "%s", notes.c_str());
    return loaded;
}

bool Save(const std::string& path, const host::Document& doc, const DocumentInfo& info,
          std::string& error)
{
    StartProgress("saving " + path);
    const bool saved = SaveDocument(path, doc, info, error);
    StopProgress();
    if (saved && IsObjFileName(path) && HasSelection(doc))
        std::fprintf(stderr, "kivera-host: note: %s holds no selection (OBJ has none)\n",
                     path.c_str());
    return saved;
}

bool WriteSvg(const std::string& path, const std::vector<SvgPanel>& panels,
              const SvgOptions& options, std::string& error)
{
    std::string why;
    StartProgress("drawing " + path);
    const bool written = WriteFileAtomically(path, RenderSvg(panels, options), why);
    StopProgress();
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
    bool labels = false;
    PluginChoice plugin;
};

// Each --dialog answers the --command given before it; one given before
// every --command answers all commands that have none of their own.
std::vector<const char*> DialogsPerCommand(CLI::App* run, const RunOptions& options)
{
    std::vector<const char*> perCommand(options.commands.size(), nullptr);
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
                perCommand[commandsSeen - 1] = ids;
        }
    }
    for (const char*& ids : perCommand) {
        if (!ids)
            ids = fallback;
    }
    return perCommand;
}

int RunCommands(CLI::App* run, const RunOptions& options)
{
    ViewKind view = ViewKind::Front;
    if (!ParseViewKind(options.view, view))
        return Fail("--view must be front, top, side or scene, not \"" + options.view + "\"");
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
    const std::vector<const char*> dialogs = DialogsPerCommand(run, options);

    host::Document doc;
    DocumentInfo info;
    if (!Load(options.document, doc, info, error))
        return Fail(error);
    std::printf("%s: %s\n", options.document.c_str(), DocumentSummary(doc).c_str());
    const host::Document initial = CopyDocument(doc);

    std::string titles;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        const std::string entry = MenuEntryText(bound.menu[static_cast<std::size_t>(indices[i])]);
        // A dialog with nobody scripting it asks at the terminal: show the
        // plug-in's prompts as they come, and no progress line over them.
        const bool interactive = !dialogs[i] && !std::getenv("KIVERA_DIALOG") && isatty(STDIN_FILENO);
        const host::Document before = CopyDocument(doc);
        std::fflush(stdout);
        if (!interactive)
            StartProgress("running " + DisplayCp932(bound.menu[static_cast<std::size_t>(indices[i])]));
        const CommandOutcome outcome =
            RunMenuCommand(bound.module, indices[i], doc, dialogs[i], interactive);
        StopProgress();
        std::printf("command %d %s: result %d%s\n", indices[i], entry.c_str(), outcome.result,
                    outcome.result == 0 ? " (the command stopped early)" : "");
        std::printf("%s", FormatChangeReport(CompareDocuments(before, doc), "  ").c_str());
        for (const std::string& line : MessageLines(outcome.messages))
            std::printf("  message box: %s\n", line.c_str());
        titles += (titles.empty() ? "" : ", ") + DisplayCp932(bound.menu[static_cast<std::size_t>(indices[i])]);
    }

    const bool changed = !IsEmpty(CompareDocuments(initial, doc));
    const std::string target = options.out.empty() ? options.document : options.out;
    if (options.out.empty() && !changed) {
        std::printf("no change: %s left as it was\n", target.c_str());
    } else {
        if (!Save(target, doc, info, error))
            return Fail(error);
        std::printf("wrote %s\n", target.c_str());
    }
    if (!options.svg.empty()) {
        SvgOptions svgOptions;
        svgOptions.view = view;
        svgOptions.vertexLabels = options.labels;
        const std::vector<SvgPanel> panels = {{&initial, "before"}, {&doc, "after: " + titles}};
        if (!WriteSvg(options.svg, panels, svgOptions, error))
            return Fail(error);
        std::printf("wrote %s\n", options.svg.c_str());
    }
    return 0;
}

// --- render -------------------------------------------------------------------------

int RunRender(const std::string& document, const std::string& svg, const std::string& viewName,
              bool labels)
{
    SvgOptions options;
    if (!ParseViewKind(viewName, options.view))
        return Fail("--view must be front, top, side or scene, not \"" + viewName + "\"");
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

int RunConvert(const std::string& from, const std::string& to)
{
    host::Document doc;
    DocumentInfo info;
    std::string error;
    if (!Load(from, doc, info, error))
        return Fail(error);
    if (!Save(to, doc, info, error))
        return Fail(error);
    std::printf("%s: %s\nwrote %s\n", from.c_str(), DocumentSummary(doc).c_str(), to.c_str());
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
                    "Control ids clicked in the dialog of the command given before it, as "
                    "KIVERA_DIALOG (\"1001 1004 1\"); without it a person at a terminal is asked")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    run->add_option("--out,-o", runOptions.out,
                    "Where to write the result (.json or .obj); default: the document itself");
    run->add_option("--svg", runOptions.svg, "Also draw the document before and after, side by side");
    run->add_option("--view", runOptions.view, "front, top, side or scene (for --svg)");
    run->add_flag("--labels", runOptions.labels, "Write vertex indices into the picture");
    AddPluginOptions(run, runOptions.plugin);

    std::string renderDocument, renderSvg, renderView = "front";
    bool renderLabels = false;
    CLI::App* render = app.add_subcommand("render", "Draw a document as an SVG picture");
    render->add_option("document", renderDocument, "The document (.json, or .obj)")->required();
    render->add_option("--svg", renderSvg, "The picture to write")->required();
    render->add_option("--view", renderView, "front, top, side or scene");
    render->add_flag("--labels", renderLabels, "Write vertex indices into the picture");

    std::string convertFrom, convertTo;
    CLI::App* convert = app.add_subcommand(
        "convert", "Read a document and write it again, as .json or .obj by the file name");
    convert->add_option("from", convertFrom, "The document to read (.json, or .obj)")->required();
    convert->add_option("to", convertTo, "The file to write (.json, or .obj with its .mtl)")
        ->required();

    std::string settingsFolder, settingsOnly;
    CLI::App* initSettings =
        app.add_subcommand("init-settings", "Write a kivera.ini (code page 932) into a folder");
    initSettings->add_option("folder", settingsFolder, "The folder (made when missing)")->required();
    initSettings->add_option("--only", settingsOnly,
                             "Enable only these commands: rows or names, e.g. 4,16,bevel");

    CLI11_PARSE(app, argc, argv);

    if (*menu)
        return RunMenu(menuPlugin);
    if (*run)
        return RunCommands(run, runOptions);
    if (*render)
        return RunRender(renderDocument, renderSvg, renderView, renderLabels);
    if (*convert)
        return RunConvert(convertFrom, convertTo);
    if (*initSettings)
        return RunInitSettings(settingsFolder, settingsOnly);
    return 0;
}
