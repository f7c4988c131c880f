// Linux (POSIX) stand-ins for the Windows services, for kivera.so.
//
// Message boxes become one line on standard error. Dialogs have no window:
// the dialog procedure gets WM_INITDIALOG and then one WM_COMMAND per user
// action, the user being the environment variable KIVERA_DIALOG (control ids
// or names clicked in order) or, when it is unset and standard input is a terminal,
// the person at the terminal.
#include "platform/platform.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/dialog_templates.h"

namespace kivera {

static void* moduleInstance;

void SetModuleInstance(void* instance) { moduleInstance = instance; }

void* ModuleInstance() { return moduleInstance; }

int GetModulePath(char* buffer, int size)
{
    if (size <= 0)
        return 0;
    buffer[0] = '\0';
    Dl_info info;
    if (!dladdr(reinterpret_cast<void*>(&GetModulePath), &info) || !info.dli_fname)
        return 0;
    // dladdr gives the name the module was loaded by; like
    // GetModuleFileNameA, report the full path.
    char* fullPath = realpath(info.dli_fname, nullptr);
    const char* path = fullPath ? fullPath : info.dli_fname;
    const size_t length = std::strlen(path);
    int result = 0;
    if (length > 0 && length < static_cast<size_t>(size)) {
        std::memcpy(buffer, path, length + 1);
        result = static_cast<int>(length);
    }
    std::free(fullPath);
    return result;
}

void ShowMessageBox(void* owner, const char* text, const char* caption)
{
    (void)owner;
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
}

// --- The dialog player ------------------------------------------------------

namespace {

struct PlayedDialog {
    const DialogTemplate* dialogTemplate;
    std::vector<int> checked;   // per control, in template order
    bool ended;
    intptr_t result;
};

// Clicks the control that `token` names (its id or its name): toggles a
// check box and sends the command. False when the dialog has no such control.
bool Click(PlayedDialog& dialog, DialogProcedure procedure, const std::string& token)
{
    const DialogTemplate& dialogTemplate = *dialog.dialogTemplate;
    const DialogControl* control = FindDialogControlByToken(dialogTemplate, token.c_str());
    if (!control)
        return false;
    const long slot = control - dialogTemplate.controls;
    if (control->kind == ControlKind::AutoCheckBox)
        dialog.checked[static_cast<size_t>(slot)] = !dialog.checked[static_cast<size_t>(slot)];
    procedure(&dialog, kMessageCommand, static_cast<uintptr_t>(control->id), 0);
    return true;
}

std::vector<std::string> SplitBlanks(const std::string& text)
{
    std::vector<std::string> tokens;
    std::string token;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            if (!token.empty())
                tokens.push_back(token);
            token.clear();
        } else {
            token += c;
        }
    }
    if (!token.empty())
        tokens.push_back(token);
    return tokens;
}

// Plays the clicks of `tokens`. Returns false when a token names no control
// of the dialog (the dialog then ends with -1).
bool PlayTokens(PlayedDialog& dialog, DialogProcedure procedure,
                const std::vector<std::string>& tokens)
{
    for (const std::string& token : tokens) {
        if (dialog.ended)
            return true;
        if (!Click(dialog, procedure, token)) {
            std::fprintf(stderr, "kivera: dialog %d has no control \"%s\"\n",
                         dialog.dialogTemplate->id, token.c_str());
            dialog.ended = true;
            dialog.result = -1;
            return false;
        }
    }
    return true;
}

// Lists the controls group by group (main axis, movement axis, mode,
// buttons), each with its id, its name and its label.
void ShowDialogOnTerminal(const PlayedDialog& dialog)
{
    const DialogTemplate& dialogTemplate = *dialog.dialogTemplate;
    std::fprintf(stderr, "dialog %d%s%s\n", dialogTemplate.id,
                 dialogTemplate.caption ? ": " : "",
                 dialogTemplate.caption ? dialogTemplate.caption : "");
    int slots[kMaxDialogControls];
    const int count = ControlsInShownOrder(dialogTemplate, slots);
    for (int k = 0; k < count; ++k) {
        const DialogControl& control = dialogTemplate.controls[slots[k]];
        if (k == 0 || dialogTemplate.controls[slots[k - 1]].purpose != control.purpose)
            std::fprintf(stderr, "  %s\n", ControlGroupTitle(control.purpose));
        if (control.kind == ControlKind::AutoCheckBox)
            std::fprintf(stderr, "    %4d  %-7s [%c] %s\n", control.id, control.name,
                         dialog.checked[static_cast<size_t>(slots[k])] ? 'x' : ' ', control.text);
        else
            std::fprintf(stderr, "    %4d  %-7s <%s>\n", control.id, control.name, control.text);
    }
    std::fprintf(stderr, "ids or names to click (empty line closes as Escape): ");
    std::fflush(stderr);
}

void PlayFromTerminal(PlayedDialog& dialog, DialogProcedure procedure)
{
    while (!dialog.ended) {
        ShowDialogOnTerminal(dialog);
        std::string line;
        int c;
        while ((c = std::fgetc(stdin)) != EOF && c != '\n')
            line += static_cast<char>(c);
        const std::vector<std::string> tokens = SplitBlanks(line);
        if (tokens.empty())
            return;   // closed as Escape by the caller
        // An unknown id at the terminal is a typing slip: say so and ask again.
        for (const std::string& token : tokens) {
            if (!Click(dialog, procedure, token)) {
                std::fprintf(stderr, "no control \"%s\" in this dialog\n", token.c_str());
                break;
            }
            if (dialog.ended)
                return;
        }
    }
}

}  // namespace

intptr_t RunDialog(int templateId, void* owner, DialogProcedure procedure)
{
    (void)owner;
    const DialogTemplate* dialogTemplate = FindDialogTemplate(templateId);
    if (!dialogTemplate) {
        std::fprintf(stderr, "kivera: no dialog template %d\n", templateId);
        return -1;
    }
    PlayedDialog dialog;
    dialog.dialogTemplate = dialogTemplate;
    dialog.checked.assign(static_cast<size_t>(dialogTemplate->controlCount), 0);
    dialog.ended = false;
    dialog.result = 0;

    procedure(&dialog, kMessageInitDialog, 0, 0);
    if (!dialog.ended) {
        const char* script = std::getenv("KIVERA_DIALOG");
        if (script)
            PlayTokens(dialog, procedure, SplitBlanks(script));
        else if (isatty(STDIN_FILENO))
            PlayFromTerminal(dialog, procedure);
    }
    if (!dialog.ended)
        procedure(&dialog, kMessageCommand, static_cast<uintptr_t>(kIdCancel), 0);   // Escape
    // The result is taken before the window goes away, as Windows does: an
    // EndDialog during WM_DESTROY no longer changes it.
    const intptr_t result = dialog.ended ? dialog.result : 0;
    dialog.ended = true;
    procedure(&dialog, kMessageDestroy, 0, 0);
    return result;
}

void EndDialogBox(DialogWindow window, intptr_t result)
{
    PlayedDialog* dialog = static_cast<PlayedDialog*>(window);
    if (!dialog || dialog->ended)
        return;
    dialog->ended = true;
    dialog->result = result;
}

static int ControlSlot(const PlayedDialog& dialog, int controlId)
{
    for (int i = 0; i < dialog.dialogTemplate->controlCount; ++i)
        if (dialog.dialogTemplate->controls[i].id == controlId &&
            dialog.dialogTemplate->controls[i].kind == ControlKind::AutoCheckBox)
            return i;
    return -1;
}

void CheckDialogButton(DialogWindow window, int controlId, int checked)
{
    PlayedDialog* dialog = static_cast<PlayedDialog*>(window);
    const int slot = dialog ? ControlSlot(*dialog, controlId) : -1;
    if (slot >= 0)
        dialog->checked[static_cast<size_t>(slot)] = checked ? 1 : 0;
}

int IsDialogButtonChecked(DialogWindow window, int controlId)
{
    const PlayedDialog* dialog = static_cast<const PlayedDialog*>(window);
    const int slot = dialog ? ControlSlot(*dialog, controlId) : -1;
    return slot >= 0 ? dialog->checked[static_cast<size_t>(slot)] : 0;
}

}  // namespace kivera
