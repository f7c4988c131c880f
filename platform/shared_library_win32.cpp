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

int SharedLibraryPathOf(const void* address, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    buffer[0] = '\0';
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(address), &module))
        return 0;
    const DWORD length = GetModuleFileNameA(module, buffer, static_cast<DWORD>(size));
    // A path cut to the buffer comes back with the full size: refuse it.
    if (length == 0 || length >= static_cast<DWORD>(size)) {
        buffer[0] = '\0';
        return 0;
    }
    return static_cast<int>(length);
}
