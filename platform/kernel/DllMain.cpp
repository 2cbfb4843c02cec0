// The kernel: data model, host services for the plug-ins, the script interpreter.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
