// The calling conventions at the module's borders, spelled out so that the
// compiler checks them wherever a border function or pointer is declared.
// Only 32-bit Windows has more than one convention; elsewhere both are empty.
#pragma once

#if defined(_WIN32) && !defined(_WIN64)
// The C convention: the seven exports and every host function.
#define KIVERA_CDECL __cdecl
// Window and dialog procedures (CALLBACK in <windows.h>).
#define KIVERA_CALLBACK __stdcall
#else
#define KIVERA_CDECL
#define KIVERA_CALLBACK
#endif
