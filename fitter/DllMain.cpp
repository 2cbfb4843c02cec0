// The nonlinear fit engine.
#include <windows.h>

#include "engine/FitSession.h"
#include "ui/FitterWindow.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        FitterInstance = instance;
        return RegisterFitterClass(instance) ? TRUE : FALSE;
    }
    return TRUE;
}
