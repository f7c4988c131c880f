// The operating-system services the plug-in uses, behind one small interface.
// platform_win32.cpp implements it with the Win32 calls; platform_posix.cpp
// with the stand-ins that let the same plug-in run headless on Linux.
// Nothing outside platform/ includes an operating-system header.
#pragma once

#include <cstdint>

#include "platform/calling_convention.h"
#include "platform/shared_library.h"

#if defined(_WIN32)
struct HWND__;   // <windows.h> declares HWND as HWND__*, at global scope
#endif

namespace kivera {

// The separator between folder and file name in the module's own paths and
// in the folders the host reports.
#if defined(_WIN32)
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// --- Module -------------------------------------------------------------

// Remembers the module instance handle (the DLL entry point's argument).
void SetModuleInstance(void* instance);
void* ModuleInstance();

// Writes the module file's full path into buffer (size bytes, NUL-terminated)
// and returns its length; returns 0, leaving an empty string, when the path
// is unknown or does not fit.
int GetModulePath(char* buffer, int size);

// --- Shared libraries: see shared_library.h ---------------------------------

// --- Message boxes --------------------------------------------------------

// A modal message box with one OK button. On Linux: one line
// "caption: text" on standard error.
void ShowMessageBox(void* owner, const char* text, const char* caption);

// --- Modal dialogs ----------------------------------------------------------

// The window messages a dialog procedure sees, with their Win32 values.
constexpr unsigned int kMessageDestroy = 0x0002;
constexpr unsigned int kMessageInitDialog = 0x0110;
constexpr unsigned int kMessageCommand = 0x0111;

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

// A dialog procedure has exactly the type of a Win32 DLGPROC (checked where
// it is handed to Windows): HWND, UINT, WPARAM, LPARAM, returning INT_PTR.
#if defined(_WIN32)
using DialogWindow = ::HWND__*;
#else
using DialogWindow = void*;
#endif
using DialogWParam = uintptr_t;
#if defined(_WIN32) && !defined(_WIN64)
using DialogLParam = long;   // LONG_PTR, which is not intptr_t (int) here
#else
using DialogLParam = intptr_t;
#endif
using DialogProcedure = intptr_t(KIVERA_CALLBACK*)(DialogWindow dialog, unsigned int message,
                                                   DialogWParam wParam, DialogLParam lParam);

// Runs dialog template `templateId` from the module's own resources modally,
// owned by `owner`, and returns the value passed to EndDialogBox, or -1 when
// the dialog could not be shown.
intptr_t RunDialog(int templateId, void* owner, DialogProcedure procedure);
void EndDialogBox(DialogWindow dialog, intptr_t result);
void CheckDialogButton(DialogWindow dialog, int controlId, int checked);
int IsDialogButtonChecked(DialogWindow dialog, int controlId);

}  // namespace kivera
