#include "platform/dialog_templates.h"

#include "resources/resource.h"

static const DialogControl kArrangeControls[] = {
    {IDC_MOVE_X, ControlKind::AutoCheckBox, "X", 43, 41, 20, 10, false, false},
    {IDC_MOVE_Y, ControlKind::AutoCheckBox, "Y", 69, 41, 20, 10, false, false},
    {IDC_MOVE_Z, ControlKind::AutoCheckBox, "Z", 95, 41, 20, 10, false, false},
    {IDC_NO_ID, ControlKind::Static, "主軸", 20, 16, 15, 8, false, true},
    {IDC_NO_ID, ControlKind::Static, "移動軸", 15, 41, 22, 8, false, true},
    {1, ControlKind::DefaultPushButton, "OK", 139, 13, 40, 16, true, false},
    {2, ControlKind::PushButton, "CANCEL", 139, 39, 40, 16, true, false},
    {IDC_MAIN_X, ControlKind::AutoCheckBox, "X", 43, 15, 20, 10, false, false},
    {IDC_MAIN_Y, ControlKind::AutoCheckBox, "Y", 69, 15, 20, 10, false, false},
    {IDC_MAIN_Z, ControlKind::AutoCheckBox, "Z", 95, 15, 20, 10, false, false},
    {IDC_OBJECT_MODE, ControlKind::AutoCheckBox, "Object", 44, 61, 35, 10, true, false},
    {IDC_REFERENCE_MAX, ControlKind::AutoCheckBox, "最大", 82, 61, 30, 10, true, false},
    {IDC_REFERENCE_CENTRE, ControlKind::AutoCheckBox, "中心", 82, 71, 30, 10, true, false},
    {IDC_REFERENCE_MIN, ControlKind::AutoCheckBox, "最小", 82, 80, 30, 10, true, false},
    {IDC_EQUAL_DIVISION, ControlKind::AutoCheckBox, "等分割", 115, 62, 31, 14, true, false},
    {IDC_MOVE_ALL, ControlKind::AutoCheckBox, "全部", 50, 80, 30, 10, true, false},
};

static const DialogControl kRestoreControls[] = {
    {1, ControlKind::DefaultPushButton, "OK", 64, 41, 50, 14, false, false},
    {2, ControlKind::PushButton, "ｷｬﾝｾﾙ", 64, 59, 50, 14, false, false},
    {IDC_RESTORE_X, ControlKind::AutoCheckBox, "X", 18, 13, 20, 10, true, false},
    {IDC_RESTORE_Y, ControlKind::AutoCheckBox, "Y", 18, 31, 20, 10, true, false},
    {IDC_RESTORE_Z, ControlKind::AutoCheckBox, "Z", 18, 49, 20, 10, true, false},
};

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
