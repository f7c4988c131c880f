// The seven functions the plug-in exports to the host, with C linkage and the
// C calling convention named explicitly (hosts call them as cdecl whatever
// the compiler's default).
#pragma once

#include "platform/calling_convention.h"

#if defined(_WIN32)
#define KIVERA_EXPORT   // named in kivera.def, so they keep their plain names
#else
#define KIVERA_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
KIVERA_EXPORT unsigned int KIVERA_CDECL MQCheckVersion(void);
KIVERA_EXPORT int KIVERA_CDECL MQInit(const char* exeFileName);
KIVERA_EXPORT void KIVERA_CDECL MQGetPlugInID(unsigned int* productId, unsigned int* plugInId);
KIVERA_EXPORT const char* KIVERA_CDECL MQGetPlugInName(void);
KIVERA_EXPORT int KIVERA_CDECL MQGetPlugInType(void);
KIVERA_EXPORT const char* KIVERA_CDECL MQEnumString(int index);
KIVERA_EXPORT int KIVERA_CDECL MQModifySelect(int index, void* document);
}
