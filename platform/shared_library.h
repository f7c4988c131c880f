// Loading a shared library and looking up its functions by name
// (LoadLibraryA / GetProcAddress / FreeLibrary on Windows, dlopen / dlsym /
// dlclose elsewhere). The plug-in binds the host with it; the stand-in host
// and the tests load the plug-in with it.
#pragma once

// A looked-up function of any signature; cast to the real one at the call.
using LibraryProc = void (*)(void);
using LibraryHandle = void*;

// nullptr when the library does not load.
LibraryHandle LoadSharedLibrary(const char* fileName);
// nullptr when the library has no such export.
LibraryProc FindLibraryFunction(LibraryHandle library, const char* name);
void FreeSharedLibrary(LibraryHandle library);
// The last loader error as text (empty when none is known).
const char* SharedLibraryError();
// Writes the full path of the shared library (or program) that contains
// `address` into buffer (size bytes, NUL-terminated) and returns its length;
// returns 0, leaving an empty string, when it is unknown or does not fit.
// A host uses it to name its own library to the plug-in's MQInit.
int SharedLibraryPathOf(const void* address, char* buffer, int size);
