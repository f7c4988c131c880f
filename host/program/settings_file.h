// kivera.ini as `kivera-host init-settings` writes it: one line per command
// table row in table order, the row's code page 932 menu string, " = " and 1
// (enabled) or 0, each line ended by CR LF so that Windows editors show it
// as written.
#pragma once

#include <string>
#include <vector>

namespace host {

// The file's bytes; `enabled` has one flag per command table row.
std::string SettingsText(const std::vector<bool>& enabled);

// Parses "4,16,bevel" (row numbers or English names, separated by commas
// or blanks) into one flag per row. False with `error` for an unknown name
// or an empty list.
bool ParseRowList(const std::string& text, std::vector<bool>& enabled, std::string& error);

}  // namespace host
