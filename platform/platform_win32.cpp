// Win32 implementation of the platform interface, for kivera.dll.
#include "platform/platform.h"

#include <windows.h>

#include <type_traits>

namespace kivera {

static_assert(std::is_same<DialogProcedure, DLGPROC>::value,
              "a dialog procedure is handed to DialogBoxParamA as it is");

static HINSTANCE moduleInstance;

void SetModuleInstance(void* instance) { moduleInstance = static_cast<HINSTANCE>(instance); }

void* ModuleInstance() { return moduleInstance; }


int GetModulePath(char* buffer, int size)
{
    if (size <= 0)
        return 0;
    buffer[0] = '\0';
    const DWORD length = GetModuleFileNameA(moduleInstance, buffer, static_cast<DWORD>(size));
    // A path cut to the buffer fills it completely (and older systems leave
    // it unterminated): treat it as unknown.
    if (length == 0 || length >= static_cast<DWORD>(size)) {
        buffer[0] = '\0';
        return 0;
    }
    return static_cast<int>(length);
}

void ShowMessageBox(void* owner, const char* text, const char* caption)
{
    MessageBoxA(static_cast<HWND>(owner), text, caption, MB_OK);
}

intptr_t RunDialog(int templateId, void* owner, DialogProcedure procedure)
{
    return DialogBoxParamA(moduleInstance, MAKEINTRESOURCEA(templateId), static_cast<HWND>(owner),
                           procedure, 0);
}

void EndDialogBox(DialogWindow dialog, intptr_t result) { EndDialog(dialog, result); }

void CheckDialogButton(DialogWindow dialog, int controlId, int checked)
{
    CheckDlgButton(dialog, controlId, checked ? BST_CHECKED : BST_UNCHECKED);
}

int IsDialogButtonChecked(DialogWindow dialog, int controlId)
{
    return IsDlgButtonChecked(dialog, controlId) == BST_CHECKED ? 1 : 0;
}

}  // namespace kivera

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reason;
    (void)reserved;
    kivera::SetModuleInstance(instance);
    return TRUE;
}
