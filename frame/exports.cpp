#include "frame/exports.h"

#include "frame/command_table.h"
#include "hostaccess/host_api.h"
#include "hostaccess/settings.h"
#include "platform/platform.h"

unsigned int KIVERA_CDECL MQCheckVersion(void) { return 0x231; }

int KIVERA_CDECL MQInit(const char* exeFileName)
{
    if (!exeFileName)
        return 0;
    try {
        return BindHost(exeFileName);
    } catch (...) {
        return 0;
    }
}

void KIVERA_CDECL MQGetPlugInID(unsigned int* productId, unsigned int* plugInId)
{
    if (productId)
        *productId = 0x9AF73CE1u;
    if (plugInId)
        *plugInId = 0x271FE1CFu;
}

const char* KIVERA_CDECL MQGetPlugInName(void) { return "Kivera Ver0.02"; }

int KIVERA_CDECL MQGetPlugInType(void) { return 5; }

const char* KIVERA_CDECL MQEnumString(int index)
{
    char modulePath[kSettingsPathSize];
    char folder[kSettingsPathSize];
    if (!GetModulePath(modulePath, sizeof modulePath) ||
        !DeriveMenuSettingsFolder(modulePath, folder, sizeof folder))
        return nullptr;   // no settings folder: every row is disabled
    const CommandEntry* row = FindEnabledRow(folder, index);
    return row ? row->menuString : nullptr;
}

int KIVERA_CDECL MQModifySelect(int index, void* document)
{
    // Every command calls the host without checks, so nothing runs on an
    // incomplete binding.
    if (!hostApi.complete)
        return 0;
    try {
        char folder[kSettingsPathSize] = {};
        if (!SysGetSystemPath(folder, 5))
            return 0;   // no settings folder: every row is disabled
        folder[sizeof folder - 1] = '\0';   // the host is given no size; never read past it
        const CommandEntry* row = FindEnabledRow(folder, index);
        if (!row)
            return 0;
        return row->handler(static_cast<DocumentHandle>(document));
    } catch (...) {
        // Working memory that could not be had (bad_alloc, or length_error
        // for a size above max_size()): the command stops where it was, its
        // steps reserve before they edit the host.
        return 0;
    }
}
