#include <gtest/gtest.h>

#include <iconv.h>

#include <cstring>
#include <string>

#include "frame/command_table.h"
#include "frame/menu_strings.h"
#include "tests/support/test_support.h"

namespace kivera_test {

using namespace kivera;

namespace {

std::string ToCodePage932(const std::string& utf8)
{
    iconv_t convert = iconv_open("CP932", "UTF-8");
    EXPECT_NE(convert, reinterpret_cast<iconv_t>(-1));
    std::string input = utf8;
    std::string output(input.size() * 2 + 4, '\0');
    char* in = input.data();
    char* out = output.data();
    size_t inLeft = input.size();
    size_t outLeft = output.size();
    EXPECT_NE(iconv(convert, &in, &inLeft, &out, &outLeft), static_cast<size_t>(-1));
    iconv_close(convert);
    output.resize(output.size() - outLeft);
    return output;
}

TEST(CommandTable, MenuStringsAreTheCodePage932Bytes)
{
    const char* texts[kCommandCount] = {
        "点を選択", "点を非選択", "辺・面を非選択", "隣の点も選択", "接続点を選択",
        "両端の点が選択されている辺を選択", "選択点の位置を合わせる", "縁の折り返し",
        "直線に並べる", "もっこり", "選択点を保存", "保存点を元に戻す", "辺の分割",
        "Viewで回転", "すじ彫りを入れる", "UVマップコピー", "TextureReload", "べべるん",
        "面の角度を測る"};
    for (int row = 0; row < kCommandCount; ++row) {
        EXPECT_EQ(std::string(kMenuStrings[row]), ToCodePage932(texts[row])) << "row " << row;
        EXPECT_STREQ(CommandTable[row].menuString, kMenuStrings[row]);
        EXPECT_NE(CommandTable[row].handler, nullptr);
    }
    EXPECT_EQ(CommandTable[kCommandCount].menuString, nullptr);
    EXPECT_EQ(CommandTable[kCommandCount].handler, nullptr);
}

TEST(CommandTable, IndexRuleCountsEnabledRowsOnly)
{
    kivera_test::TempFolder folder;
    // Row 3 has the value 0 and row 4 the value 2: both disabled, no gap.
    kivera_test::WriteFile(folder.File("kivera.ini"),
                           kivera_test::SettingsEnabling({2, 5, 9}) +
                               std::string(kMenuStrings[3]) + " = 0\n" + kMenuStrings[4] +
                               " = 2\n");
    const char* path = folder.path().c_str();
    EXPECT_EQ(FindEnabledRow(path, 0), &CommandTable[2]);
    EXPECT_EQ(FindEnabledRow(path, 1), &CommandTable[5]);
    EXPECT_EQ(FindEnabledRow(path, 2), &CommandTable[9]);
    EXPECT_EQ(FindEnabledRow(path, 3), nullptr);
    EXPECT_EQ(FindEnabledRow(path, -1), nullptr);
}

TEST(CommandTable, NoSettingsFileDisablesEveryRow)
{
    kivera_test::TempFolder folder;
    EXPECT_EQ(FindEnabledRow(folder.path().c_str(), 0), nullptr);
}

TEST(CommandTable, MenuSettingsFolderIsTheFolderAboveTheModule)
{
    char folder[128];
    EXPECT_EQ(DeriveMenuSettingsFolder("/a/b/c/kivera.so", folder, sizeof folder), 1);
    EXPECT_STREQ(folder, "/a/b");
    EXPECT_EQ(DeriveMenuSettingsFolder("/c/kivera.so", folder, sizeof folder), 1);
    EXPECT_STREQ(folder, "/");
    // Fewer than two separators, or a path that does not fit: no folder.
    EXPECT_EQ(DeriveMenuSettingsFolder("c/kivera.so", folder, sizeof folder), 0);
    EXPECT_STREQ(folder, "");
    EXPECT_EQ(DeriveMenuSettingsFolder("kivera.so", folder, sizeof folder), 0);
    EXPECT_EQ(DeriveMenuSettingsFolder("/kivera.so", folder, sizeof folder), 0);
    const std::string longPath = "/" + std::string(130, 'a') + "/plugins/kivera.so";
    EXPECT_EQ(DeriveMenuSettingsFolder(longPath.c_str(), folder, sizeof folder), 0);
    EXPECT_STREQ(folder, "");
}

}  // namespace

}  // namespace kivera_test
