#include "platform/shared_library.h"

#include <windows.h>

#include <cstdio>

LibraryHandle LoadSharedLibrary(const char* fileName)
{
    return reinterpret_cast<LibraryHandle>(LoadLibraryA(fileName));
}

LibraryProc FindLibraryFunction(LibraryHandle library, const char* name)
{
    return reinterpret_cast<LibraryProc>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void FreeSharedLibrary(LibraryHandle library) { FreeLibrary(static_cast<HMODULE>(library)); }

const char* SharedLibraryError()
{
    static char text[32];
    std::snprintf(text, sizeof text, "error %lu", static_cast<unsigned long>(GetLastError()));
    return text;
}
