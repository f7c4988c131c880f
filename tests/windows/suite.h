// What the checks of the Windows suite share: the folder layout a host gives
// the plug-in (kivera.ini in the application folder, kivera.dll in its
// Plugins folder), the loaded plug-in, and small document builders.
#pragma once

#include <initializer_list>
#include <string>

#include "frame/exports.h"
#include "host/library/document.h"

namespace kivera_test {

struct Layout {
    std::string exePath;      // this program: the host that MQInit binds
    std::string rootFolder;   // the folder holding this program
    std::string appFolder;    // rootFolder\app: kivera.ini, kivera.idx
    std::string pluginPath;   // appFolder\Plugins\kivera.dll
};

// The seven exports of kivera.dll, typed as the plug-in declares them.
struct Plugin {
    void* module = nullptr;
    decltype(&MQCheckVersion) checkVersion = nullptr;
    decltype(&MQInit) init = nullptr;
    decltype(&MQGetPlugInID) getPlugInId = nullptr;
    decltype(&MQGetPlugInName) getPlugInName = nullptr;
    decltype(&MQGetPlugInType) getPlugInType = nullptr;
    decltype(&MQEnumString) enumString = nullptr;
    decltype(&MQModifySelect) modifySelect = nullptr;
};

// Derived from this program's own path (GetModuleFileNameA).
Layout FindLayout();
// Loads the plug-in with LoadLibraryA and looks up its seven exports; false
// (with the missing name in `missing`) when one is absent.
bool LoadPlugin(const std::string& path, Plugin& plugin, std::string& missing);

// folder + "\\" + name
std::string JoinPath(const std::string& folder, const std::string& name);
bool WriteBytes(const std::string& path, const std::string& bytes);
bool ReadBytes(const std::string& path, std::string& bytes);
void RemoveFile(const std::string& path);
bool FileExists(const std::string& path);

// Settings text (code page 932 keys, "key = value" lines with CR LF).
std::string SettingsLine(int row, const char* value);
std::string SettingsEnabling(std::initializer_list<int> rows);
std::string SettingsEnablingAll();

// A new object holding the given vertices, joined in order by two-point
// faces (lines), so that every vertex is in use.
host::Object& AddPointObject(host::Document& doc, std::initializer_list<host::Vec3> points);
bool SameVertex(const host::Vec3& a, const host::Vec3& b);
std::string VertexText(const host::Vec3& v);

}  // namespace kivera_test
