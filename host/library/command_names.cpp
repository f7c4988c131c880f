#include "host/library/command_names.h"

#include <cctype>
#include <cstring>

#include "frame/command_ids.h"
#include "host/library/text_encoding.h"

namespace host {

const char* CommandName(int row)
{
    return row >= 0 && row < kCommandCount ? kCommands[row].name : "";
}

int CommandRowOfMenuText(const std::string& menuText)
{
    for (int row = 0; row < kCommandCount; ++row) {
        if (menuText == kCommands[row].menuText)
            return row;
    }
    return -1;
}

static bool IsNumber(const std::string& text)
{
    if (text.empty() || text.size() > 9)
        return false;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

int CommandRowOfName(const std::string& name)
{
    if (IsNumber(name)) {
        const int row = std::stoi(name);
        return row < kCommandCount ? row : -1;
    }
    for (int row = 0; row < kCommandCount; ++row) {
        if (name == kCommands[row].name)
            return row;
    }
    return -1;
}

bool ResolveMenuIndex(const std::string& text, const std::vector<std::string>& menu, int& index,
                      std::string& error)
{
    const int count = static_cast<int>(menu.size());
    if (IsNumber(text)) {
        index = std::stoi(text);
        if (index < count)
            return true;
        error = "there is no menu entry " + text + " (the menu has " + std::to_string(count) +
                (count == 1 ? " entry" : " entries") + "; see kivera-host menu)";
        return false;
    }
    // The menu text as typed (UTF-8), in the plug-in's own bytes.
    std::string wanted;
    int row = -1;
    if (Utf8ToCp932(text, wanted))
        row = CommandRowOfMenuText(wanted);
    if (row < 0)
        row = CommandRowOfName(text);
    if (row < 0) {
        error = "no command is called \"" + text + "\" (see kivera-host menu)";
        return false;
    }
    for (int i = 0; i < count; ++i) {
        if (menu[static_cast<size_t>(i)] == kCommands[row].menuText) {
            index = i;
            return true;
        }
    }
    error = "the command \"" + DisplayCp932(kCommands[row].menuText) + "\" (" + kCommands[row].name +
            ") is not in the menu: kivera.ini does not enable it";
    return false;
}

}  // namespace host
