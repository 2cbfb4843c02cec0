// The utility library: numbers, text, dates, files and profiles, statistics helpers.
#include <windows.h>

#include "Module.h"

namespace qxutil {
HINSTANCE g_module = nullptr;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        qxutil::g_module = instance;
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        qxutil::UnregisterProgressBoxClass();
        qxutil::ReleasePalette();
    }
    return TRUE;
}
