// The Windows test program: a stand-in host that exports the 122 host
// functions itself, loads kivera.dll from app\Plugins below its own folder
// and checks the plug-in on the real Win32 paths (binding, settings folder,
// dialogs, message boxes, resources).
#include "tests/windows/windows_api.h"

#include <cstdio>
#include <cstring>

#include "frame/menu_strings.h"

#include "host/library/document.h"
#include "tests/windows/checks.h"
#include "tests/windows/harness.h"

int main()
{
    using namespace kivera_test;
    const Layout layout = FindLayout();
    std::printf("host program %s\nplug-in %s\n", layout.exePath.c_str(), layout.pluginPath.c_str());

    Section("environment");
    // Menu strings, settings keys and dialog texts are code page 932 bytes.
    CheckEqual(static_cast<long long>(GetACP()), 932, "the ANSI code page is 932");
    Check(IsWindow(static_cast<HWND>(host::MainWindow())) != FALSE,
          "the host's main window is a real window");

    Plugin plugin;
    std::string missing;
    if (!Check(LoadPlugin(layout.pluginPath, plugin, missing),
               "kivera.dll loads from app\\Plugins and has its seven exports",
               "missing: " + missing))
        return Report();

    // Before any check writes its own: the kivera.ini installed with the DLL
    // (from the zip, as a user gets it) enables every command, CR LF.
    std::string installed;
    Check(ReadBytes(JoinPath(layout.appFolder, "kivera.ini"), installed) &&
              installed == SettingsEnablingAll(),
          "the installed kivera.ini enables every command, in table order, with CR LF");
    int listed = 0;
    while (listed < kCommandCount && plugin.enumString(listed) &&
           std::strcmp(plugin.enumString(listed), kMenuStrings[listed]) == 0)
        ++listed;
    CheckEqual(listed, kCommandCount, "with it the menu lists the nineteen commands");

    RunSignatureChecks();
    RunBindingChecks(layout, plugin);
    RunMenuChecks(layout, plugin);
    RunDialogChecks(layout, plugin);
    RunTemplateChecks(layout, plugin);
    return Report();
}
