// The utility library: numbers, text, dates, files and profiles, statistics helpers.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
