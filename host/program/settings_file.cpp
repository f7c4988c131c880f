#include "host/program/settings_file.h"

#include "frame/command_ids.h"
#include "frame/menu_strings.h"
#include "host/library/command_names.h"

namespace host {

std::string SettingsText(const std::vector<bool>& enabled)
{
    std::string text;
    for (int row = 0; row < kCommandCount; ++row) {
        const bool on = static_cast<size_t>(row) < enabled.size() && enabled[static_cast<size_t>(row)];
        text += std::string(kMenuStrings[row]) + " = " + (on ? "1" : "0") + "\r\n";
    }
    return text;
}

bool ParseRowList(const std::string& text, std::vector<bool>& enabled, std::string& error)
{
    enabled.assign(kCommandCount, false);
    std::string item;
    bool any = false;
    for (size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ',';
        if (c != ',' && c != ' ' && c != '\t') {
            item += c;
            continue;
        }
        if (item.empty())
            continue;
        const int row = CommandRowOfName(item);
        if (row < 0) {
            error = "\"" + item + "\" is no command: give rows 0 to " +
                    std::to_string(kCommandCount - 1) + " or names such as " + CommandName(RowOf(CommandId::SelectConnected));
            return false;
        }
        enabled[static_cast<size_t>(row)] = true;
        any = true;
        item.clear();
    }
    if (!any) {
        error = "the list of commands is empty";
        return false;
    }
    return true;
}

}  // namespace host
