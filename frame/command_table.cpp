#include "frame/command_table.h"

#include <cstring>

#include "commands/commands.h"
#include "frame/menu_strings.h"
#include "hostaccess/settings.h"
#include "platform/platform.h"

const CommandEntry CommandTable[] = {
    {kMenuStrings[0], SelectPoints},
    {kMenuStrings[1], DeselectPoints},
    {kMenuStrings[2], DeselectEdgesAndFaces},
    {kMenuStrings[3], SelectNeighbourPoints},
    {kMenuStrings[4], SelectConnectedPoints},
    {kMenuStrings[5], SelectEdgesOfSelectedPoints},
    {kMenuStrings[6], AlignSelectedPoints},
    {kMenuStrings[7], FoldBackRim},
    {kMenuStrings[8], ArrangeOnLine},
    {kMenuStrings[9], Bulge},
    {kMenuStrings[10], SaveSelectedPoints},
    {kMenuStrings[11], RestoreSavedPoints},
    {kMenuStrings[12], SplitEdges},
    {kMenuStrings[13], RotateByView},
    {kMenuStrings[14], CutGroove},
    {kMenuStrings[15], CopyUVMap},
    {kMenuStrings[16], ReloadTextures},
    {kMenuStrings[17], Bevel},
    {kMenuStrings[18], MeasureFaceAngle},
    {nullptr, nullptr},
};

static_assert(sizeof CommandTable / sizeof CommandTable[0] == kCommandCount + 1,
              "nineteen rows and the terminating row");

int IsRowEnabled(const char* folder, const CommandEntry& row)
{
    int value = 0;
    if (!ReadSettingInt(folder, "kivera.ini", row.menuString, &value))
        return 0;
    return value == 1 ? 1 : 0;
}

const CommandEntry* FindEnabledRow(const char* folder, int index)
{
    int enabled = 0;
    for (const CommandEntry* row = CommandTable; row->menuString; ++row) {
        if (!IsRowEnabled(folder, *row))
            continue;
        if (enabled == index)
            return row;
        ++enabled;
    }
    return nullptr;
}

int DeriveMenuSettingsFolder(const char* modulePath, char* folder, int size)
{
    if (size <= 0)
        return 0;
    folder[0] = '\0';
    const size_t length = std::strlen(modulePath);
    if (length == 0 || length >= static_cast<size_t>(size))
        return 0;
    // The separator before the file name, then the one before the module's
    // own folder name: the folder above ends there.
    const char* fileSeparator = std::strrchr(modulePath, kPathSeparator);
    if (!fileSeparator || fileSeparator == modulePath)
        return 0;
    const char* folderSeparator = fileSeparator - 1;
    while (folderSeparator >= modulePath && *folderSeparator != kPathSeparator)
        --folderSeparator;
    if (folderSeparator < modulePath)
        return 0;
    size_t folderLength = static_cast<size_t>(folderSeparator - modulePath);
    if (folderLength == 0)
        folderLength = 1;   // the root folder keeps its separator
    std::memcpy(folder, modulePath, folderLength);
    folder[folderLength] = '\0';
    return 1;
}
