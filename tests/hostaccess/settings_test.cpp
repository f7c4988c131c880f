#include <gtest/gtest.h>

#include <string>

#include "frame/menu_strings.h"
#include "hostaccess/settings.h"
#include "tests/support/test_support.h"

namespace kivera_test {

using namespace kivera;

namespace {

// Reads `key` from a kivera.ini holding `text`; returns found and the value.
struct Read {
    int found;
    std::string value;
    int number;
};

Read ReadFrom(const std::string& text, const char* key)
{
    TempFolder folder;
    WriteFile(folder.File("kivera.ini"), text);
    Read read{};
    char value[kSettingsValueSize] = "untouched";
    read.found = ReadSettingString(folder.path().c_str(), "kivera.ini", key, value, sizeof value);
    read.value = value;
    read.number = -12345;
    ReadSettingInt(folder.path().c_str(), "kivera.ini", key, &read.number);
    return read;
}

TEST(MatchSettingKey, KeyMustBeFollowedBySeparator)
{
    EXPECT_STREQ(MatchSettingKey("TextureReload = 1", "TextureReload", " ="), "1");
    EXPECT_STREQ(MatchSettingKey("TextureReload=1", "TextureReload", " ="), "1");
    EXPECT_STREQ(MatchSettingKey("TextureReload 1", "TextureReload", " ="), "1");
    EXPECT_STREQ(MatchSettingKey("TextureReload ==  1", "TextureReload", " ="), "1");
    EXPECT_EQ(MatchSettingKey("TextureReloadX = 1", "TextureReload", " ="), nullptr);
    EXPECT_EQ(MatchSettingKey("TextureReload\t= 1", "TextureReload", " ="), nullptr);
    EXPECT_EQ(MatchSettingKey("TextureReload", "TextureReload", " ="), nullptr);
    EXPECT_EQ(MatchSettingKey("Texture", "TextureReload", " ="), nullptr);
    EXPECT_STREQ(MatchSettingKey("TextureReload = ", "TextureReload", " ="), "");
}

TEST(ReadSetting, KeyIsCaseSensitiveAndStartsTheLine)
{
    EXPECT_EQ(ReadFrom("TextureReload = 1\n", "TextureReload").number, 1);
    EXPECT_EQ(ReadFrom("texturereload = 1\n", "TextureReload").found, 0);
    EXPECT_EQ(ReadFrom(" TextureReload = 1\n", "TextureReload").found, 0);
}

TEST(ReadSetting, ValueConvertsLikeStrtol)
{
    EXPECT_EQ(ReadFrom("TextureReload =\t1\n", "TextureReload").number, 1);
    EXPECT_EQ(ReadFrom("TextureReload = 01\n", "TextureReload").number, 1);
    EXPECT_EQ(ReadFrom("TextureReload = +1\n", "TextureReload").number, 1);
    EXPECT_EQ(ReadFrom("TextureReload = 1 yes\n", "TextureReload").number, 1);
    EXPECT_EQ(ReadFrom("TextureReload = yes\n", "TextureReload").number, 0);
    EXPECT_EQ(ReadFrom("TextureReload = 10\n", "TextureReload").number, 10);
    EXPECT_EQ(ReadFrom("TextureReload = 4294967297\n", "TextureReload").number, 2147483647);
    const Read empty = ReadFrom("TextureReload = \n", "TextureReload");
    EXPECT_EQ(empty.found, 1);
    EXPECT_EQ(empty.value, "");
    EXPECT_EQ(empty.number, 0);
}

TEST(ReadSetting, FirstLineWinsAndLineEndsDoNotMatter)
{
    EXPECT_EQ(ReadFrom("TextureReload = 0\nTextureReload = 1\n", "TextureReload").number, 0);
    EXPECT_EQ(ReadFrom("a = 2\r\nTextureReload = 1\r\nb = 3\r\n", "TextureReload").value, "1");
    EXPECT_EQ(ReadFrom("a = 2\nTextureReload = 17", "TextureReload").value, "17");
}

TEST(ReadSetting, MissingFileOrKeyLeavesTheNumber)
{
    TempFolder folder;
    char value[kSettingsValueSize] = "untouched";
    EXPECT_EQ(ReadSettingString(folder.path().c_str(), "kivera.ini", "x", value, sizeof value), 0);
    EXPECT_STREQ(value, "");
    int number = 7;
    EXPECT_EQ(ReadSettingInt(folder.path().c_str(), "kivera.ini", "x", &number), 0);
    EXPECT_EQ(number, 7);
    const Read missing = ReadFrom("other = 1\n", "TextureReload");
    EXPECT_EQ(missing.found, 0);
    EXPECT_EQ(missing.number, -12345);
}

TEST(ReadSetting, LongLinesArriveInPiecesOf254Bytes)
{
    // 254 bytes of padding, then a line-like piece: the second piece matches.
    const std::string padding(254, 'x');
    EXPECT_EQ(ReadFrom(padding + "TextureReload = 1\n", "TextureReload").number, 1);
    // 253 bytes: the key straddles the piece boundary and is never seen whole.
    EXPECT_EQ(ReadFrom(std::string(253, 'x') + "TextureReload = 1\n", "TextureReload").found, 0);
    // A CR LF pair counts as one byte, as on a text-mode stream.
    EXPECT_EQ(ReadFrom(std::string(253, 'x') + "\r\nTextureReload = 1\r\n", "TextureReload").value,
              "1");
}

TEST(ReadSetting, ValueThatDoesNotFitIsNotFound)
{
    const std::string longValue(130, '1');
    EXPECT_EQ(ReadFrom("TextureReload = " + longValue + "\n", "TextureReload").found, 0);
    // The next line for the key is then the one that counts.
    EXPECT_EQ(ReadFrom("TextureReload = " + longValue + "\nTextureReload = 1\n", "TextureReload")
                  .number,
              1);
}

TEST(ReadSetting, PathThatDoesNotFitIsNotFound)
{
    const std::string folder(120, 'a');
    char value[kSettingsValueSize];
    EXPECT_EQ(ReadSettingString(folder.c_str(), "kivera.ini", "x", value, sizeof value), 0);
    char path[kSettingsPathSize];
    EXPECT_EQ(BuildFilePath(path, sizeof path, folder.c_str(), "kivera.ini"), 0);
    EXPECT_STREQ(path, "");
    EXPECT_EQ(BuildFilePath(path, sizeof path, "/tmp/", "kivera.ini"), 1);
    EXPECT_STREQ(path, "/tmp/kivera.ini");
    EXPECT_EQ(BuildFilePath(path, sizeof path, "/tmp", "kivera.ini"), 1);
    EXPECT_STREQ(path, "/tmp/kivera.ini");
    EXPECT_EQ(BuildFilePath(path, sizeof path, "", "kivera.ini"), 1);
    EXPECT_STREQ(path, "kivera.ini");
}

TEST(ReadSetting, JapaneseKeysMatchTheirCodePage932Bytes)
{
    // The first row's key followed by another letter is not that key.
    const std::string key = kMenuStrings[0];
    EXPECT_EQ(ReadFrom(key + " = 1\n", key.c_str()).number, 1);
    EXPECT_EQ(ReadFrom(key + "\x82\xE0 = 1\n", key.c_str()).found, 0);
}

}  // namespace

}  // namespace kivera_test
