// The module's two dialog templates as data, for the dialog player that
// stands in for Windows dialogs on Linux. The resource script is what Windows
// builds the dialogs from; a test checks that the two describe the same
// controls.
#pragma once

enum class ControlKind { Static, AutoCheckBox, PushButton, DefaultPushButton };

// What a control chooses, in the order a dialog is shown on a terminal.
enum class ControlGroup { Heading, MainAxis, MovementAxis, Mode, RestoreAxes, Buttons };

struct DialogControl {
    int id;              // -1 for static texts (65535 in the template)
    ControlKind kind;
    const char* text;    // UTF-8, as in the resource script
    int x, y, width, height;
    bool tabStop;
    bool group;
    // The name a person types for the control ("main-x", "ok"; case does not
    // matter), nullptr for static texts, and what it belongs to.
    const char* name;
    ControlGroup purpose;
};

struct DialogTemplate {
    int id;
    const char* caption;   // UTF-8; nullptr for a dialog without caption
    int width, height;
    const DialogControl* controls;   // in template (tab) order
    int controlCount;
};

// The template with resource id `id`, or nullptr.
const DialogTemplate* FindDialogTemplate(int id);

// The control `controlId` of `dialog`, or nullptr.
const DialogControl* FindDialogControl(const DialogTemplate& dialog, int controlId);

// The clickable control that `token` names in `dialog`: its decimal id or
// its name, in any case. nullptr when the dialog has no such control.
const DialogControl* FindDialogControlByToken(const DialogTemplate& dialog, const char* token);

// The most controls a template holds.
constexpr int kMaxDialogControls = 16;

// Fills `slots` (room for kMaxDialogControls) with the indices of the
// dialog's clickable controls in the order a person is shown them, group by
// group (main axis, movement axis, mode, axes to restore, buttons), and
// returns how many there are.
int ControlsInShownOrder(const DialogTemplate& dialog, int* slots);

// What a group of controls is called where a dialog is listed ("main axis").
const char* ControlGroupTitle(ControlGroup group);
