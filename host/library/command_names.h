// Names a person can type for the plug-in's commands: the menu text in
// UTF-8 (converted to the plug-in's code page 932 and matched against its
// menu), the menu index, or a short English name per command table row.
#pragma once

#include <string>
#include <vector>

namespace host {

// The English name of command table row `row` ("select-connected"), or ""
// for a row outside the table.
const char* CommandName(int row);

// The command table row whose code page 932 menu string is `menuText`, or -1.
int CommandRowOfMenuText(const std::string& menuText);

// The command table row of an English name or a row number ("4",
// "select-connected"), or -1.
int CommandRowOfName(const std::string& name);

// The menu index (as MQModifySelect takes it) that `text` names, given the
// plug-in's menu (code page 932 strings, in menu order): a number is a menu
// index; otherwise the UTF-8 menu text or an English name. False with
// `error` saying what is wrong (no such entry, or a command that kivera.ini
// does not enable).
bool ResolveMenuIndex(const std::string& text, const std::vector<std::string>& menu, int& index,
                      std::string& error);

}  // namespace host
