// Windows builds the dialogs from the resource script, the Linux player from
// its template table: both must describe the same controls.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/dialog_templates.h"
#include "resources/resource.h"
#include "tests/support/test_support.h"

namespace kivera_test {


namespace {

struct ScriptControl {
    std::string text, id, windowClass, style;
    int x, y, width, height;
};

struct ScriptDialog {
    int width = 0, height = 0;
    std::string style, caption;
    std::vector<ScriptControl> controls;
};

// Reads the DIALOG blocks of the resource script.
std::map<std::string, ScriptDialog> ParseScript(const std::string& text)
{
    const std::regex header(R"(^(\w+) DIALOG 0, 0, (\d+), (\d+)\s*$)");
    const std::regex control(
        R"re(^\s*CONTROL "([^"]*)", ([\w-]+), "(\w+)", ([\w |]+), (\d+), (\d+), (\d+), (\d+)\s*$)re");
    const std::regex style(R"(^STYLE (.*)$)");
    const std::regex caption(R"re(^CAPTION "([^"]*)")re");
    std::map<std::string, ScriptDialog> dialogs;
    ScriptDialog* current = nullptr;
    std::istringstream lines(text);
    std::string line;
    std::smatch match;
    while (std::getline(lines, line)) {
        if (std::regex_match(line, match, header)) {
            current = &dialogs[match[1]];
            current->width = std::stoi(match[2]);
            current->height = std::stoi(match[3]);
        } else if (current && std::regex_match(line, match, style)) {
            current->style = match[1];
        } else if (current && std::regex_search(line, match, caption)) {
            current->caption = match[1];
        } else if (current && std::regex_match(line, match, control)) {
            current->controls.push_back({match[1], match[2], match[3], match[4],
                                         std::stoi(match[5]), std::stoi(match[6]),
                                         std::stoi(match[7]), std::stoi(match[8])});
        }
    }
    return dialogs;
}

int IdValue(const std::string& name)
{
    static const std::map<std::string, int> ids = {
        {"IDOK", 1}, {"IDCANCEL", 2}, {"IDC_NO_ID", IDC_NO_ID},
        {"IDC_MAIN_X", IDC_MAIN_X}, {"IDC_MAIN_Y", IDC_MAIN_Y}, {"IDC_MAIN_Z", IDC_MAIN_Z},
        {"IDC_MOVE_X", IDC_MOVE_X}, {"IDC_MOVE_Y", IDC_MOVE_Y}, {"IDC_MOVE_Z", IDC_MOVE_Z},
        {"IDC_RESTORE_X", IDC_RESTORE_X}, {"IDC_RESTORE_Y", IDC_RESTORE_Y},
        {"IDC_RESTORE_Z", IDC_RESTORE_Z}, {"IDC_OBJECT_MODE", IDC_OBJECT_MODE},
        {"IDC_REFERENCE_MAX", IDC_REFERENCE_MAX}, {"IDC_REFERENCE_CENTRE", IDC_REFERENCE_CENTRE},
        {"IDC_REFERENCE_MIN", IDC_REFERENCE_MIN}, {"IDC_EQUAL_DIVISION", IDC_EQUAL_DIVISION},
        {"IDC_MOVE_ALL", IDC_MOVE_ALL}};
    const auto found = ids.find(name);
    return found == ids.end() ? -12345 : found->second;
}

ControlKind KindOf(const ScriptControl& control)
{
    if (control.windowClass == "Static")
        return ControlKind::Static;
    if (control.style.find("BS_AUTOCHECKBOX") != std::string::npos)
        return ControlKind::AutoCheckBox;
    if (control.style.find("BS_DEFPUSHBUTTON") != std::string::npos)
        return ControlKind::DefaultPushButton;
    return ControlKind::PushButton;
}

void ExpectSameDialog(const ScriptDialog& script, const DialogTemplate& player)
{
    EXPECT_EQ(script.width, player.width);
    EXPECT_EQ(script.height, player.height);
    EXPECT_EQ(script.caption, player.caption ? player.caption : "");
    EXPECT_EQ(script.style.find("WS_CAPTION") != std::string::npos, player.caption != nullptr);
    ASSERT_EQ(static_cast<int>(script.controls.size()), player.controlCount);
    for (int i = 0; i < player.controlCount; ++i) {
        const ScriptControl& a = script.controls[static_cast<size_t>(i)];
        const DialogControl& b = player.controls[i];
        SCOPED_TRACE("control " + std::to_string(i) + " " + a.id);
        EXPECT_EQ(IdValue(a.id), b.id);
        EXPECT_EQ(KindOf(a), b.kind);
        EXPECT_EQ(a.text, b.text);
        EXPECT_EQ(a.x, b.x);
        EXPECT_EQ(a.y, b.y);
        EXPECT_EQ(a.width, b.width);
        EXPECT_EQ(a.height, b.height);
        EXPECT_EQ(a.style.find("WS_TABSTOP") != std::string::npos, b.tabStop);
        EXPECT_EQ(a.style.find("WS_GROUP") != std::string::npos, b.group);
    }
}

TEST(DialogTemplates, PlayerAgreesWithTheResourceScript)
{
    const auto dialogs = ParseScript(kivera_test::ReadFile(kivera_test::SourcePath("resources/kivera.rc")));
    ASSERT_EQ(dialogs.count("IDD_ARRANGE"), 1u);
    ASSERT_EQ(dialogs.count("IDD_RESTORE"), 1u);
    ExpectSameDialog(dialogs.at("IDD_ARRANGE"), *FindDialogTemplate(IDD_ARRANGE));
    ExpectSameDialog(dialogs.at("IDD_RESTORE"), *FindDialogTemplate(IDD_RESTORE));
}

TEST(DialogTemplates, ArrangeDialogListsItsControlsInTabOrder)
{
    const DialogTemplate& dialog = *FindDialogTemplate(IDD_ARRANGE);
    const std::vector<int> order = {1003, 1004, 1005, -1,   -1,   1,    2,   1000,
                                    1001, 1002, 1011, 1012, 1013, 1014, 1015, 1016};
    ASSERT_EQ(dialog.controlCount, static_cast<int>(order.size()));
    for (int i = 0; i < dialog.controlCount; ++i)
        EXPECT_EQ(dialog.controls[i].id, order[static_cast<size_t>(i)]);
}

}  // namespace

namespace {

// Each name picks the control a person would by its label: main-x is the X
// box in the main axis row, move-x the one in the movement axis row, and so
// on; names work in any case, and the player clicks by name as by id.
TEST(DialogTemplates, NamesPickTheLabelledControls)
{
    const std::map<std::string, std::string> labels = {
        {"object", "Object"}, {"max", "最大"}, {"centre", "中心"}, {"min", "最小"},
        {"equal", "等分割"}, {"all", "全部"},  {"x", "X"},      {"y", "Y"},
        {"z", "Z"},          {"ok", "OK"}};
    for (int dialogId : {IDD_ARRANGE, IDD_RESTORE}) {
        const DialogTemplate& dialog = *FindDialogTemplate(dialogId);
        int mainRow = -100, moveRow = -100;
        for (int i = 0; i < dialog.controlCount; ++i) {
            const std::string text = dialog.controls[i].text;
            mainRow = text == "主軸" ? dialog.controls[i].y : mainRow;
            moveRow = text == "移動軸" ? dialog.controls[i].y : moveRow;
        }
        int slots[kMaxDialogControls];
        const int count = ControlsInShownOrder(dialog, slots);
        EXPECT_EQ(count, dialogId == IDD_ARRANGE ? 14 : 5);
        for (int k = 0; k < count; ++k) {
            const DialogControl& c = dialog.controls[slots[k]];
            const std::string name = c.name;
            SCOPED_TRACE(name);
            if (name.size() == 6 && (name.rfind("main-", 0) == 0 || name.rfind("move-", 0) == 0)) {
                EXPECT_EQ(std::string(c.text), std::string(1, static_cast<char>(name[5] - 32)));
                EXPECT_LE(std::abs(c.y - (name[1] == 'a' ? mainRow : moveRow)), 2);
            } else if (name == "cancel") {
                EXPECT_EQ(c.id, 2);
            } else {
                EXPECT_EQ(c.text, labels.at(name));
            }
            std::string upper = name;
            for (char& ch : upper)
                ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            EXPECT_EQ(FindDialogControlByToken(dialog, upper.c_str()), &c);
            EXPECT_EQ(FindDialogControlByToken(dialog, std::to_string(c.id).c_str()), &c);
        }
        for (const char* bad : {"-1", "main", "1099", "", "99999999999"})
            EXPECT_EQ(FindDialogControlByToken(dialog, bad), nullptr) << bad;
    }
}

}  // namespace

}  // namespace kivera_test
