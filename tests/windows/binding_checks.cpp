// Binding the plug-in to its host through LoadLibraryA, GetProcAddress and
// FreeLibrary on the host's own executable, and the menu's settings folder
// found through GetModuleFileNameA.
#include "tests/windows/windows_api.h"

#include <cstring>

#include "hostaccess/host_api.h"
#include "frame/menu_strings.h"
#include "tests/windows/checks.h"
#include "tests/windows/harness.h"

namespace kivera_test {

static const char* const kHostNames[] = {
#define KIVERA_HOST_NAME(name) #name,
    KIVERA_HOST_FUNCTIONS(KIVERA_HOST_NAME)
#undef KIVERA_HOST_NAME
};

// Row 1 clears the vertex selection: whether a command ran shows on one
// selected vertex.
static bool DeselectRan(const Plugin& plugin, int index, int* result)
{
    host::Document doc;
    host::Object& object = AddPointObject(doc, {{0, 0, 0}, {1, 0, 0}});
    host::SelectVertex(object, 0);
    *result = plugin.modifySelect(index, &doc);
    return object.vertexSelected[0] == 0;
}

// Runs the program that lacks MQObj_Freeze; its exit status says what went
// wrong there (see nofreeze_main.cpp), ~0u when it could not be run.
static unsigned long RunNoFreezeHost(const Layout& layout)
{
    std::string commandLine = "\"" + JoinPath(layout.rootFolder, "kivera-wine-nofreeze.exe") + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        layout.rootFolder.c_str(), &startup, &process))
        return ~0ul;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD status = ~0ul;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return status;
}

void RunBindingChecks(const Layout& layout, const Plugin& plugin)
{
    Section("exports that need no binding");
    CheckEqual(plugin.checkVersion(), 0x231, "MQCheckVersion is 0x231 before MQInit");
    CheckEqual(plugin.getPlugInType(), 5, "MQGetPlugInType is 5 before MQInit");
    unsigned int product = 0, id = 0;
    plugin.getPlugInId(&product, &id);
    Check(product == 0x9AF73CE1u && id == 0x271FE1CFu,
          "MQGetPlugInID gives the product and plug-in ids");
    const char* name = plugin.getPlugInName();
    Check(name && std::strncmp(name, "Kivera Ver0.02", 14) == 0,
          "MQGetPlugInName begins \"Kivera Ver0.02\"");

    Section("the host program's own export table");
    HMODULE self = GetModuleHandleA(nullptr);
    int found = 0;
    for (const char* hostName : kHostNames)
        if (GetProcAddress(self, hostName))
            ++found;
    CheckEqual(found, 122, "this program exports every name of the binding list");

    Section("MQInit");
    host::SetSystemPath(layout.appFolder);
    WriteBytes(JoinPath(layout.appFolder, "kivera.ini"), SettingsEnablingAll());
    int result = -1;
    Check(!DeselectRan(plugin, 1, &result) && result == 0,
          "before any binding MQModifySelect runs nothing and returns 0");
    const std::string missingHost = JoinPath(layout.rootFolder, "no-such-host.exe");
    CheckEqual(plugin.init(missingHost.c_str()), 0, "MQInit of a file that does not load is 0");
    CheckEqual(plugin.init(layout.exePath.c_str()), 1, "MQInit of this program's path is 1");
    Check(DeselectRan(plugin, 1, &result) && result == 1,
          "after MQInit a command calls this program's exports");
    CheckEqual(plugin.init(missingHost.c_str()), 0, "MQInit of a missing file again is 0");
    Check(DeselectRan(plugin, 1, &result) && result == 1,
          "a failed load keeps the earlier binding usable");
    CheckEqual(plugin.init(layout.exePath.c_str()), 1, "binding the same host again is 1");
    Check(GetModuleHandleA(layout.exePath.c_str()) == self,
          "the host program is still loaded after MQInit freed its handle");

    Section("a host program lacking MQObj_Freeze");
    const unsigned long status = RunNoFreezeHost(layout);
    if (Check(status != ~0ul, "the second host program runs")) {
        CheckEqual(status & 1, 0, "it loads kivera.dll");
        CheckEqual(status & 2, 0, "it exports every host name but MQObj_Freeze");
        CheckEqual(status & 4, 0, "MQInit with its path is 0");
        CheckEqual(status & 8, 0, "MQModifySelect then runs nothing and returns 0");
    }
}

void RunMenuChecks(const Layout& layout, const Plugin& plugin)
{
    Section("settings folder of the menu");
    char modulePath[MAX_PATH] = {};
    GetModuleFileNameA(static_cast<HMODULE>(plugin.module), modulePath, sizeof modulePath);
    CheckEqual(modulePath, layout.pluginPath,
               "GetModuleFileNameA names kivera.dll with backslashes");

    const std::string appSettings = JoinPath(layout.appFolder, "kivera.ini");
    const std::string pluginSettings =
        JoinPath(JoinPath(layout.appFolder, "Plugins"), "kivera.ini");
    RemoveFile(appSettings);
    WriteBytes(pluginSettings, SettingsEnabling({0}));
    Check(plugin.enumString(0) == nullptr,
          "a kivera.ini beside the module is not read: the menu is empty");
    RemoveFile(pluginSettings);

    WriteBytes(appSettings, SettingsEnabling({2, 5}));
    const char* first = plugin.enumString(0);
    const char* second = plugin.enumString(1);
    Check(first && std::strcmp(first, kMenuStrings[2]) == 0,
          "the folder above plugins holds the menu's kivera.ini: index 0 is row 2");
    Check(second && std::strcmp(second, kMenuStrings[5]) == 0, "index 1 is row 5");
    Check(plugin.enumString(2) == nullptr, "index 2 is past the last enabled row");
    Check(plugin.enumString(-1) == nullptr, "index -1 names no row");

    Section("index rule of MQModifySelect");
    // Rows 2 and 5 enabled: index 1 is row 5, which selects the lines whose
    // two ends are selected.
    host::SetSystemPath(layout.appFolder);
    {
        host::Document doc;
        host::Object& object = AddPointObject(doc, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}});
        host::SelectVertex(object, 0);
        host::SelectVertex(object, 1);
        CheckEqual(plugin.modifySelect(1, &doc), 1, "index 1 runs row 5 and returns its result");
        Check(object.faces[0].lineSelected[0] == 1 && object.faces[1].lineSelected[0] == 0,
              "row 5 selected the line between the two selected points only");
        CheckEqual(plugin.modifySelect(2, &doc), 0, "index 2 runs nothing and returns 0");
        CheckEqual(plugin.modifySelect(-1, &doc), 0, "index -1 runs nothing and returns 0");
    }
    // Values 0 and 2 disable their rows; the enabled rows move up.
    WriteBytes(appSettings, SettingsLine(0, "0") + SettingsLine(1, "2") + SettingsLine(3, "1") +
                                SettingsLine(4, "1"));
    const char* moved = plugin.enumString(0);
    Check(moved && std::strcmp(moved, kMenuStrings[3]) == 0,
          "rows valued 0 and 2 are disabled and row 3 becomes index 0");
    // The dispatch reads the folder the host reports (type 5), with or
    // without a closing backslash, not the module's folder.
    const std::string otherFolder = JoinPath(layout.rootFolder, "other");
    CreateDirectoryA(otherFolder.c_str(), nullptr);
    WriteBytes(JoinPath(otherFolder, "kivera.ini"), SettingsEnabling({1}));
    int result = -1;
    host::SetSystemPath(otherFolder);
    Check(DeselectRan(plugin, 0, &result) && result == 1,
          "MQModifySelect numbers the rows of the host's type-5 folder");
    host::SetSystemPath(otherFolder + "\\");
    Check(DeselectRan(plugin, 0, &result) && result == 1,
          "a type-5 folder ending in a backslash gets no second one");
    host::SetSystemPath(layout.appFolder);
    RemoveFile(JoinPath(otherFolder, "kivera.ini"));
    RemoveDirectoryA(otherFolder.c_str());

    RemoveFile(appSettings);
    Check(plugin.enumString(0) == nullptr, "without kivera.ini the menu is empty");
    Check(!DeselectRan(plugin, 0, &result) && result == 0,
          "without kivera.ini MQModifySelect(0) runs nothing and returns 0");
}

}  // namespace kivera_test
