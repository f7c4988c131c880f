// The module's two dialog templates as data, for the dialog player that
// stands in for Windows dialogs on Linux. The resource script is what Windows
// builds the dialogs from; a test checks that the two describe the same
// controls.
#pragma once

enum class ControlKind { Static, AutoCheckBox, PushButton, DefaultPushButton };

struct DialogControl {
    int id;              // -1 for static texts (65535 in the template)
    ControlKind kind;
    const char* text;    // UTF-8, as in the resource script
    int x, y, width, height;
    bool tabStop;
    bool group;
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
