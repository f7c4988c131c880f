#include "frame/exports.h"

#include "frame/command_table.h"
#include "hostaccess/host_api.h"
#include "hostaccess/settings.h"
#include "platform/platform.h"

// The exports themselves stay at global scope with C linkage (exports.h);
// everything they call lives in namespace kivera.

unsigned int KIVERA_CDECL MQCheckVersion(void) { return 0x231; }

int KIVERA_CDECL MQInit(const char* exeFileName)
{
    if (!exeFileName)
        return 0;
    try {
        return kivera::BindHost(exeFileName) ? 1 : 0;
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
    char modulePath[kivera::kSettingsPathSize];
    char folder[kivera::kSettingsPathSize];
    if (!kivera::GetModulePath(modulePath, sizeof modulePath) ||
        !kivera::DeriveMenuSettingsFolder(modulePath, folder, sizeof folder))
        return nullptr;   // no settings folder: every row is disabled
    const kivera::CommandEntry* row = kivera::FindEnabledRow(folder, index);
    return row ? row->menuString : nullptr;
}

int KIVERA_CDECL MQModifySelect(int index, void* document)
{
    // Every command calls the host without checks, so nothing runs on an
    // incomplete binding.
    if (!kivera::hostApi.complete)
        return 0;
    try {
        char folder[kivera::kSettingsPathSize] = {};
        if (!kivera::SysGetSystemPath(folder, 5))
            return 0;   // no settings folder: every row is disabled
        folder[sizeof folder - 1] = '\0';   // the host is given no size; never read past it
        const kivera::CommandEntry* row = kivera::FindEnabledRow(folder, index);
        if (!row)
            return 0;
        return row->handler(static_cast<kivera::DocumentHandle>(document));
    } catch (...) {
        // Working memory that could not be had (bad_alloc, or length_error
        // for a size above max_size()): the command stops where it was, its
        // steps reserve before they edit the host.
        return 0;
    }
}
