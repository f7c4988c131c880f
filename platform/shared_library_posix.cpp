#include "platform/shared_library.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

LibraryHandle LoadSharedLibrary(const char* fileName) { return dlopen(fileName, RTLD_NOW); }

LibraryProc FindLibraryFunction(LibraryHandle library, const char* name)
{
    return reinterpret_cast<LibraryProc>(dlsym(library, name));
}

void FreeSharedLibrary(LibraryHandle library) { dlclose(library); }

const char* SharedLibraryError()
{
    const char* error = dlerror();
    return error ? error : "";
}

int SharedLibraryPathOf(const void* address, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    buffer[0] = '\0';
    Dl_info info;
    if (!dladdr(address, &info) || !info.dli_fname || !info.dli_fname[0])
        return 0;
    // dladdr gives the name the library was loaded by; report the full path.
    char* fullPath = realpath(info.dli_fname, nullptr);
    const char* path = fullPath ? fullPath : info.dli_fname;
    const size_t length = std::strlen(path);
    int result = 0;
    if (length < static_cast<size_t>(size)) {
        std::memcpy(buffer, path, length + 1);
        result = static_cast<int>(length);
    }
    std::free(fullPath);
    return result;
}
