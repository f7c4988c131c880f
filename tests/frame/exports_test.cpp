// The seven exports of the real module, loaded as a host loads it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "frame/menu_strings.h"
#include "tests/support/test_support.h"

namespace kivera_test {


namespace {

// A copy of kivera.so at <folder>/<subfolder>/kivera.so, so that a test owns
// the settings folder above it.
std::string InstallModuleCopy(const TempFolder& folder, const std::string& subfolder)
{
    const std::string moduleFolder = folder.File(subfolder);
    std::filesystem::create_directories(moduleFolder);
    const std::string path = moduleFolder + "/kivera.so";
    std::filesystem::copy_file(kivera_test::PluginModulePath(), path);
    return path;
}

TEST(Exports, IdentityBeforeInit)
{
    const PluginExports& plugin = LoadPlugin();
    EXPECT_EQ(plugin.checkVersion(), 0x231u);
    EXPECT_EQ(plugin.getPlugInType(), 5);
    unsigned int product = 0;
    unsigned int id = 0;
    plugin.getPlugInId(&product, &id);
    EXPECT_EQ(product, 0x9AF73CE1u);
    EXPECT_EQ(id, 0x271FE1CFu);
    EXPECT_EQ(std::string(plugin.getPlugInName()).rfind("Kivera Ver0.02", 0), 0u);
}

TEST(Exports, NothingRunsBeforeTheHostIsBound)
{
    const PluginExports& plugin = LoadPlugin();
    int document = 0;
    EXPECT_EQ(plugin.modifySelect(0, &document), 0);
}

TEST(Exports, MenuComesFromTheFolderAboveTheModule)
{
    TempFolder folder;
    kivera_test::WriteFile(folder.File("kivera.ini"), kivera_test::SettingsEnabling({2, 5}));
    const std::string module = InstallModuleCopy(folder, "plugins");
    const PluginExports& plugin = LoadPlugin(module.c_str());
    EXPECT_STREQ(plugin.enumString(0), kMenuStrings[2]);
    EXPECT_STREQ(plugin.enumString(1), kMenuStrings[5]);
    EXPECT_EQ(plugin.enumString(2), nullptr);
    EXPECT_EQ(plugin.enumString(-1), nullptr);
    // Read anew on every call: an edit shows at once.
    kivera_test::WriteFile(folder.File("kivera.ini"), kivera_test::SettingsEnabling({16}));
    EXPECT_STREQ(plugin.enumString(0), "TextureReload");
    EXPECT_EQ(plugin.enumString(1), nullptr);
}

TEST(Exports, NoSettingsFileGivesAnEmptyMenu)
{
    TempFolder folder;
    const std::string module = InstallModuleCopy(folder, "plugins");
    EXPECT_EQ(LoadPlugin(module.c_str()).enumString(0), nullptr);
}

TEST(Exports, ModulePathTooLongGivesAnEmptyMenu)
{
    TempFolder folder;
    const std::string deep = std::string(60, 'a') + "/" + std::string(60, 'b');
    std::filesystem::create_directories(folder.File(deep));
    kivera_test::WriteFile(folder.File(std::string(60, 'a') + "/kivera.ini"),
                           kivera_test::SettingsEnablingAll());
    const std::string module = InstallModuleCopy(folder, deep);
    ASSERT_GE(module.size(), 128u);
    EXPECT_EQ(LoadPlugin(module.c_str()).enumString(0), nullptr);
}

}  // namespace

}  // namespace kivera_test
