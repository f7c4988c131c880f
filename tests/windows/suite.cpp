#include "tests/windows/suite.h"

#include "tests/windows/windows_api.h"

#include <cstdio>

#include "frame/menu_strings.h"

namespace kivera_test {

static std::string FolderOf(const std::string& path)
{
    const size_t separator = path.find_last_of('\\');
    return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

Layout FindLayout()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    Layout layout;
    layout.exePath.assign(path, length < sizeof path ? length : 0);
    layout.rootFolder = FolderOf(layout.exePath);
    layout.appFolder = JoinPath(layout.rootFolder, "app");
    layout.pluginPath = JoinPath(JoinPath(layout.appFolder, "Plugins"), "kivera.dll");
    return layout;
}

template <typename Function>
static bool Find(HMODULE module, const char* name, Function& function, std::string& missing)
{
    FARPROC found = GetProcAddress(module, name);
    function = reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(found));
    if (!function && missing.empty())
        missing = name;
    return function != nullptr;
}

bool LoadPlugin(const std::string& path, Plugin& plugin, std::string& missing)
{
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) {
        missing = "the module itself (LoadLibraryA error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    plugin.module = module;
    bool found = true;
    found &= Find(module, "MQCheckVersion", plugin.checkVersion, missing);
    found &= Find(module, "MQInit", plugin.init, missing);
    found &= Find(module, "MQGetPlugInID", plugin.getPlugInId, missing);
    found &= Find(module, "MQGetPlugInName", plugin.getPlugInName, missing);
    found &= Find(module, "MQGetPlugInType", plugin.getPlugInType, missing);
    found &= Find(module, "MQEnumString", plugin.enumString, missing);
    found &= Find(module, "MQModifySelect", plugin.modifySelect, missing);
    return found;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    return folder + "\\" + name;
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool ReadBytes(const std::string& path, std::string& bytes)
{
    bytes.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char buffer[4096];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, count);
    std::fclose(file);
    return true;
}

void RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string SettingsLine(int row, const char* value)
{
    return std::string(kMenuStrings[row]) + " = " + value + "\r\n";
}

std::string SettingsEnabling(std::initializer_list<int> rows)
{
    std::string text;
    for (int row : rows)
        text += SettingsLine(row, "1");
    return text;
}

std::string SettingsEnablingAll()
{
    std::string text;
    for (int row = 0; row < kCommandCount; ++row)
        text += SettingsLine(row, "1");
    return text;
}

host::Object& AddPointObject(host::Document& doc, std::initializer_list<host::Vec3> points)
{
    host::Object& object = *host::GetObject(doc, host::AddObject(doc, "points"));
    for (const host::Vec3& point : points)
        host::AddVertex(object, point);
    // Lines joining each point to the next: the commands skip vertices that
    // no face uses.
    const int count = static_cast<int>(object.vertices.size());
    if (count == 1)
        host::AddFace(object, {0});
    for (int i = 0; i + 1 < count; ++i)
        host::AddFace(object, {i, i + 1});
    return object;
}

bool SameVertex(const host::Vec3& a, const host::Vec3& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

std::string VertexText(const host::Vec3& v)
{
    char text[96];
    std::snprintf(text, sizeof text, "(%g, %g, %g)", v.x, v.y, v.z);
    return text;
}

}  // namespace kivera_test
