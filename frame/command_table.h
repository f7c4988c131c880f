// The static command table and the rule that turns a menu index into a row.
#pragma once

#include <array>

#include "frame/command_ids.h"
#include "hostaccess/host_api.h"

namespace kivera {

using CommandHandler = int (*)(DocumentHandle document);

struct CommandEntry {
    const char* menuString;   // code page 932; also the settings key
    CommandHandler handler;
};

// The rows of kCommands (frame/command_ids.h) in their order, then a row
// of two nulls.
extern const std::array<CommandEntry, kCommandCount + 1> CommandTable;

// True when kivera.ini in `folder` enables `row` (its value is exactly 1).
bool IsRowEnabled(const char* folder, const CommandEntry& row);

// The (index+1)-th enabled row in table order, or nullptr. The settings file
// is read anew for every row examined.
const CommandEntry* FindEnabledRow(const char* folder, int index);

// The settings folder of the menu: the folder above the one that holds the
// module file. False (empty folder) when the module path is unknown, too
// long or has fewer than two separators.
bool DeriveMenuSettingsFolder(const char* modulePath, char* folder, int size);

}  // namespace kivera
