// Test extension library B: a second member of the resource chain.
#include <afxwin.h>
#include "TestResources.h"

static AFX_EXTENSION_MODULE extensionB = {};

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        if (!AfxInitExtensionModule(extensionB, hInstance))
            return FALSE;
        new CDynLinkLibrary(extensionB);
    } else if (dwReason == DLL_PROCESS_DETACH) {
        AfxTermExtensionModule(extensionB);
    }
    return TRUE;
}

// Frees a string that another module allocated.
extern "C" __declspec(dllexport) void ExtensionB_Release(CString* pString)
{
    delete pString;
}
