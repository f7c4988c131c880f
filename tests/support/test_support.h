// What the tests share: temporary folders, file helpers, and the real
// plug-in module loaded through its exports as a host loads it.
#pragma once

#include <string>

#include "frame/exports.h"

namespace kivera_test {

// A fresh empty folder that is removed with everything in it at destruction.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string File(const std::string& name) const;

private:
    std::string path_;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);

// The built plug-in module (kivera.so) and the stand-in host library.
const char* PluginModulePath();
const char* HostLibraryPath();
// A file of the source tree, e.g. "resources/kivera.rc".
std::string SourcePath(const std::string& relative);

// The seven exports of a loaded module, typed as the module declares them.
struct PluginExports {
    decltype(&MQCheckVersion) checkVersion;
    decltype(&MQInit) init;
    decltype(&MQGetPlugInID) getPlugInId;
    decltype(&MQGetPlugInName) getPlugInName;
    decltype(&MQGetPlugInType) getPlugInType;
    decltype(&MQEnumString) enumString;
    decltype(&MQModifySelect) modifySelect;
};

// Loads the module at `path` (once per path; it stays loaded) and returns
// its exports; fails the test when an export is missing.
const PluginExports& LoadPlugin(const char* path = PluginModulePath());

// The settings text that enables exactly the given rows (code page 932 keys,
// "key = 1" lines).
std::string SettingsEnabling(const std::initializer_list<int>& rows);
// The settings text that enables all nineteen rows, so that menu index n is
// command table row n.
std::string SettingsEnablingAll();

}  // namespace kivera_test
