// The menu strings alone, in row order, for the code that needs only the
// bytes (the settings generator, the stand-in host's settings file): taken
// from the command identities.
#pragma once

#include <array>

#include "frame/command_ids.h"

constexpr std::array<const char*, kCommandCount> MenuStringsOfCommands()
{
    std::array<const char*, kCommandCount> strings = {};
    for (int row = 0; row < kCommandCount; ++row)
        strings[static_cast<std::size_t>(row)] = kCommands[row].menuText;
    return strings;
}

inline constexpr std::array<const char*, kCommandCount> kMenuStrings = MenuStringsOfCommands();
