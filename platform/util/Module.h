// State of the library as a whole.
#pragma once
#include <windows.h>

namespace qxutil {
extern HINSTANCE g_module;  // this DLL, for its window class

// Called when the DLL is unloaded, so that a later load starts clean.
void UnregisterProgressBoxClass();
void ReleasePalette();
}
