#include "frame/command_table.h"

#include <array>
#include <cstring>

#include "commands/commands.h"
#include "frame/command_ids.h"
#include "hostaccess/settings.h"
#include "platform/platform.h"

namespace kivera {

// The handler of each command; the rows come from kCommands.
static constexpr CommandHandler HandlerOf(CommandId id)
{
    switch (id) {
    case CommandId::SelectPoints: return SelectPoints;
    case CommandId::DeselectPoints: return DeselectPoints;
    case CommandId::DeselectEdgesAndFaces: return DeselectEdgesAndFaces;
    case CommandId::SelectNeighbours: return SelectNeighbourPoints;
    case CommandId::SelectConnected: return SelectConnectedPoints;
    case CommandId::SelectEdgesOfPoints: return SelectEdgesOfSelectedPoints;
    case CommandId::AlignPoints: return AlignSelectedPoints;
    case CommandId::FoldBackRim: return FoldBackRim;
    case CommandId::ArrangeOnLine: return ArrangeOnLine;
    case CommandId::Bulge: return Bulge;
    case CommandId::SavePoints: return SaveSelectedPoints;
    case CommandId::RestorePoints: return RestoreSavedPoints;
    case CommandId::SplitEdges: return SplitEdges;
    case CommandId::RotateByView: return RotateByView;
    case CommandId::CutGroove: return CutGroove;
    case CommandId::CopyUV: return CopyUVMap;
    case CommandId::ReloadTextures: return ReloadTextures;
    case CommandId::Bevel: return Bevel;
    case CommandId::MeasureAngle: return MeasureFaceAngle;
    }
    return nullptr;
}

static constexpr std::array<CommandEntry, kCommandCount + 1> MakeCommandTable()
{
    std::array<CommandEntry, kCommandCount + 1> table = {};
    for (int row = 0; row < kCommandCount; ++row)
        table[static_cast<std::size_t>(row)] = {kCommands[row].menuText,
                                                HandlerOf(kCommands[row].id)};
    table[kCommandCount] = {nullptr, nullptr};
    return table;
}

const std::array<CommandEntry, kCommandCount + 1> CommandTable = MakeCommandTable();

bool IsRowEnabled(const char* folder, const CommandEntry& row)
{
    int value = 0;
    if (!ReadSettingInt(folder, "kivera.ini", row.menuString, &value))
        return false;
    return value == 1;
}

const CommandEntry* FindEnabledRow(const char* folder, int index)
{
    int enabled = 0;
    for (const CommandEntry* row = CommandTable.data(); row->menuString; ++row) {
        if (!IsRowEnabled(folder, *row))
            continue;
        if (enabled == index)
            return row;
        ++enabled;
    }
    return nullptr;
}

bool DeriveMenuSettingsFolder(const char* modulePath, char* folder, int size)
{
    if (size <= 0)
        return false;
    folder[0] = '\0';
    const size_t length = std::strlen(modulePath);
    if (length == 0 || length >= static_cast<size_t>(size))
        return false;
    // The separator before the file name, then the one before the module's
    // own folder name: the folder above ends there.
    const char* fileSeparator = std::strrchr(modulePath, kPathSeparator);
    if (!fileSeparator || fileSeparator == modulePath)
        return false;
    const char* folderSeparator = fileSeparator - 1;
    while (folderSeparator >= modulePath && *folderSeparator != kPathSeparator)
        --folderSeparator;
    if (folderSeparator < modulePath)
        return false;
    size_t folderLength = static_cast<size_t>(folderSeparator - modulePath);
    if (folderLength == 0)
        folderLength = 1;   // the root folder keeps its separator
    std::memcpy(folder, modulePath, folderLength);
    folder[folderLength] = '\0';
    return true;
}

}  // namespace kivera
