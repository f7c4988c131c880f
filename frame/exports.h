// The seven functions the plug-in exports to the host, with C linkage and the
// platform's default C calling convention.
#pragma once

#if defined(_WIN32)
#define KIVERA_EXPORT   // named in kivera.def, so they keep their plain names
#else
#define KIVERA_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
KIVERA_EXPORT unsigned int MQCheckVersion(void);
KIVERA_EXPORT int MQInit(const char* exeFileName);
KIVERA_EXPORT void MQGetPlugInID(unsigned int* productId, unsigned int* plugInId);
KIVERA_EXPORT const char* MQGetPlugInName(void);
KIVERA_EXPORT int MQGetPlugInType(void);
KIVERA_EXPORT const char* MQEnumString(int index);
KIVERA_EXPORT int MQModifySelect(int index, void* document);
}
