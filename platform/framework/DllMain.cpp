// The application framework library shared by every deliverable.
#include "afxwin.h"
#include "ModuleState.h"

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(hInstance);
        afximpl::InitFrameworkModule(hInstance);
    }
    return TRUE;
}
