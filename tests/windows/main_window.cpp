// The host program's main window: the owner of the plug-in's dialogs and
// message boxes, as the modeler's main window is. Never shown.
#include "tests/windows/windows_api.h"

extern "C" void* HostProgramMainWindow(void)
{
    static HWND window = CreateWindowExA(0, "STATIC", "kivera stand-in host", WS_OVERLAPPEDWINDOW,
                                         CW_USEDEFAULT, CW_USEDEFAULT, 320, 240, nullptr, nullptr,
                                         GetModuleHandleA(nullptr), nullptr);
    return window;
}
