#include "platform/dialog_templates.h"

#include <cerrno>
#include <cstdlib>

#include "resources/resource.h"

static const DialogControl kArrangeControls[] = {
    {IDC_MOVE_X, ControlKind::AutoCheckBox, "X", 43, 41, 20, 10, false, false, "move-x", ControlGroup::MovementAxis},
    {IDC_MOVE_Y, ControlKind::AutoCheckBox, "Y", 69, 41, 20, 10, false, false, "move-y", ControlGroup::MovementAxis},
    {IDC_MOVE_Z, ControlKind::AutoCheckBox, "Z", 95, 41, 20, 10, false, false, "move-z", ControlGroup::MovementAxis},
    {IDC_NO_ID, ControlKind::Static, "主軸", 20, 16, 15, 8, false, true, nullptr, ControlGroup::Heading},
    {IDC_NO_ID, ControlKind::Static, "移動軸", 15, 41, 22, 8, false, true, nullptr, ControlGroup::Heading},
    {1, ControlKind::DefaultPushButton, "OK", 139, 13, 40, 16, true, false, "ok", ControlGroup::Buttons},
    {2, ControlKind::PushButton, "CANCEL", 139, 39, 40, 16, true, false, "cancel", ControlGroup::Buttons},
    {IDC_MAIN_X, ControlKind::AutoCheckBox, "X", 43, 15, 20, 10, false, false, "main-x", ControlGroup::MainAxis},
    {IDC_MAIN_Y, ControlKind::AutoCheckBox, "Y", 69, 15, 20, 10, false, false, "main-y", ControlGroup::MainAxis},
    {IDC_MAIN_Z, ControlKind::AutoCheckBox, "Z", 95, 15, 20, 10, false, false, "main-z", ControlGroup::MainAxis},
    {IDC_OBJECT_MODE, ControlKind::AutoCheckBox, "Object", 44, 61, 35, 10, true, false, "object", ControlGroup::Mode},
    {IDC_REFERENCE_MAX, ControlKind::AutoCheckBox, "最大", 82, 61, 30, 10, true, false, "max", ControlGroup::Mode},
    {IDC_REFERENCE_CENTRE, ControlKind::AutoCheckBox, "中心", 82, 71, 30, 10, true, false, "centre", ControlGroup::Mode},
    {IDC_REFERENCE_MIN, ControlKind::AutoCheckBox, "最小", 82, 80, 30, 10, true, false, "min", ControlGroup::Mode},
    {IDC_EQUAL_DIVISION, ControlKind::AutoCheckBox, "等分割", 115, 62, 31, 14, true, false, "equal", ControlGroup::Mode},
    {IDC_MOVE_ALL, ControlKind::AutoCheckBox, "全部", 50, 80, 30, 10, true, false, "all", ControlGroup::Mode},
};

static const DialogControl kRestoreControls[] = {
    {1, ControlKind::DefaultPushButton, "OK", 64, 41, 50, 14, false, false, "ok", ControlGroup::Buttons},
    {2, ControlKind::PushButton, "ｷｬﾝｾﾙ", 64, 59, 50, 14, false, false, "cancel", ControlGroup::Buttons},
    {IDC_RESTORE_X, ControlKind::AutoCheckBox, "X", 18, 13, 20, 10, true, false, "x", ControlGroup::RestoreAxes},
    {IDC_RESTORE_Y, ControlKind::AutoCheckBox, "Y", 18, 31, 20, 10, true, false, "y", ControlGroup::RestoreAxes},
    {IDC_RESTORE_Z, ControlKind::AutoCheckBox, "Z", 18, 49, 20, 10, true, false, "z", ControlGroup::RestoreAxes},
};

static_assert(sizeof kArrangeControls / sizeof kArrangeControls[0] <= kMaxDialogControls &&
                  sizeof kRestoreControls / sizeof kRestoreControls[0] <= kMaxDialogControls,
              "every control must fit the shown order");

static const DialogTemplate kTemplates[] = {
    {IDD_ARRANGE, nullptr, 193, 97, kArrangeControls,
     static_cast<int>(sizeof kArrangeControls / sizeof kArrangeControls[0])},
    {IDD_RESTORE, "ﾀﾞｲｱﾛｸﾞ", 121, 79, kRestoreControls,
     static_cast<int>(sizeof kRestoreControls / sizeof kRestoreControls[0])},
};

const DialogTemplate* FindDialogTemplate(int id)
{
    for (const DialogTemplate& dialog : kTemplates)
        if (dialog.id == id)
            return &dialog;
    return nullptr;
}

const DialogControl* FindDialogControl(const DialogTemplate& dialog, int controlId)
{
    for (int i = 0; i < dialog.controlCount; ++i)
        if (dialog.controls[i].id == controlId)
            return &dialog.controls[i];
    return nullptr;
}

static bool SameNameIgnoringCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b) {
        const char lowerA = *a >= 'A' && *a <= 'Z' ? static_cast<char>(*a - 'A' + 'a') : *a;
        const char lowerB = *b >= 'A' && *b <= 'Z' ? static_cast<char>(*b - 'A' + 'a') : *b;
        if (lowerA != lowerB)
            return false;
    }
    return *a == *b;
}

const DialogControl* FindDialogControlByToken(const DialogTemplate& dialog, const char* token)
{
    errno = 0;
    char* end = nullptr;
    const long id = std::strtol(token, &end, 10);
    const bool isNumber = end != token && *end == '\0' && errno == 0;
    for (int i = 0; i < dialog.controlCount; ++i) {
        const DialogControl& control = dialog.controls[i];
        if (control.kind == ControlKind::Static)
            continue;
        if (isNumber ? control.id == id : SameNameIgnoringCase(control.name, token))
            return &control;
    }
    return nullptr;
}

const char* ControlGroupTitle(ControlGroup group)
{
    switch (group) {
    case ControlGroup::Heading:
        return "";
    case ControlGroup::MainAxis:
        return "main axis (主軸): the line runs along it";
    case ControlGroup::MovementAxis:
        return "movement axis (移動軸): the coordinates that may change";
    case ControlGroup::Mode:
        return "mode";
    case ControlGroup::RestoreAxes:
        return "axes to restore";
    case ControlGroup::Buttons:
        return "buttons";
    }
    return "";
}

int ControlsInShownOrder(const DialogTemplate& dialog, int* slots)
{
    static const ControlGroup kShownGroups[] = {ControlGroup::MainAxis,
                                                ControlGroup::MovementAxis, ControlGroup::Mode,
                                                ControlGroup::RestoreAxes, ControlGroup::Buttons};
    int count = 0;
    for (ControlGroup group : kShownGroups) {
        for (int i = 0; i < dialog.controlCount && count < kMaxDialogControls; ++i) {
            if (dialog.controls[i].purpose == group)
                slots[count++] = i;
        }
    }
    return count;
}
