#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "frame/menu_strings.h"
#include "platform/shared_library.h"

namespace kivera_test {

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kivera-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    if (!made)
        throw std::runtime_error("cannot make a temporary folder");
    path_ = made;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::File(const std::string& name) const { return path_ + "/" + name; }

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

const char* PluginModulePath() { return KIVERA_PLUGIN_MODULE; }

const char* HostLibraryPath()
{
#ifdef KIVERA_HOST_LIBRARY
    return KIVERA_HOST_LIBRARY;
#else
    return "";
#endif
}

std::string SourcePath(const std::string& relative)
{
    return std::string(KIVERA_SOURCE_DIR) + "/" + relative;
}

template <typename Function>
static void Resolve(LibraryHandle library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(FindLibraryFunction(library, name));
    if (!function)
        ADD_FAILURE() << "the module does not export " << name;
}

const PluginExports& LoadPlugin(const char* path)
{
    static std::map<std::string, PluginExports> loaded;
    auto found = loaded.find(path);
    if (found != loaded.end())
        return found->second;
    PluginExports exports = {};
    LibraryHandle library = LoadSharedLibrary(path);
    if (!library) {
        ADD_FAILURE() << "cannot load " << path << ": " << SharedLibraryError();
        throw std::runtime_error("cannot load the plug-in module");
    }
    Resolve(library, "MQCheckVersion", exports.checkVersion);
    Resolve(library, "MQInit", exports.init);
    Resolve(library, "MQGetPlugInID", exports.getPlugInId);
    Resolve(library, "MQGetPlugInName", exports.getPlugInName);
    Resolve(library, "MQGetPlugInType", exports.getPlugInType);
    Resolve(library, "MQEnumString", exports.enumString);
    Resolve(library, "MQModifySelect", exports.modifySelect);
    return loaded.emplace(path, exports).first->second;
}

std::string SettingsEnabling(const std::initializer_list<int>& rows)
{
    std::string text;
    for (int row : rows)
        text += std::string(kMenuStrings[row]) + " = 1\n";
    return text;
}

std::string SettingsEnablingAll()
{
    std::string text;
    for (const char* key : kMenuStrings)
        text += std::string(key) + " = 1\n";
    return text;
}

}  // namespace kivera_test
