#include "platform/shared_library.h"

#include <dlfcn.h>

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
