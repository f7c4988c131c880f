// The second host program: the same stand-in host, exporting every name of
// the binding list but MQObj_Freeze, which no command calls. Binding the
// plug-in to it must fail all the same. Run by the main suite; its exit
// status is a set of failure bits (0 when all is as it should be):
//   1 kivera.dll did not load, 2 its own export table is not as meant,
//   4 MQInit with its path was not 0, 8 a command ran after that.
#include "tests/windows/windows_api.h"

#include "tests/windows/suite.h"

int main()
{
    using namespace kivera_test;
    const Layout layout = FindLayout();
    Plugin plugin;
    std::string missing;
    if (!LoadPlugin(layout.pluginPath, plugin, missing))
        return 1;
    int status = 0;
    HMODULE self = GetModuleHandleA(nullptr);
    if (GetProcAddress(self, "MQObj_Freeze") || !GetProcAddress(self, "MQObj_Merge") ||
        !GetProcAddress(self, "MQ_GetWindowHandle") || !GetProcAddress(self, "MQMat_SetBumpName"))
        status |= 2;
    if (plugin.init(layout.exePath.c_str()) != 0)
        status |= 4;
    // Every row enabled (the main suite wrote kivera.ini): row 1 would clear
    // the vertex selection.
    host::SetSystemPath(layout.appFolder);
    host::Document doc;
    host::Object& object = AddPointObject(doc, {{0, 0, 0}, {1, 0, 0}});
    host::SelectVertex(object, 0);
    if (plugin.modifySelect(1, &doc) != 0 || object.vertexSelected[0] != 1)
        status |= 8;
    return status;
}
