// <windows.h> for the Windows test programs, less its GetObject macro,
// which would rename host::GetObject (GetObjectA is called by its own name).
#pragma once

#include <windows.h>

#undef GetObject
