// Test extension library A: joins the resource chain at load and shares strings with its
// callers.
#include <afxwin.h>
#include "TestResources.h"

static AFX_EXTENSION_MODULE extensionA = {};

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        if (!AfxInitExtensionModule(extensionA, hInstance))
            return FALSE;
        new CDynLinkLibrary(extensionA);
    } else if (dwReason == DLL_PROCESS_DETACH) {
        AfxTermExtensionModule(extensionA);
    }
    return TRUE;
}

// A string built here and handed to the caller, who owns it from then on.
extern "C" __declspec(dllexport) void ExtensionA_MakeString(CString* pResult, int n)
{
    pResult->Format("A:%d", n);
    *pResult += CString('!', n);
}

// Grows a caller's string in place: its buffer is reallocated by this library.
extern "C" __declspec(dllexport) void ExtensionA_Append(CString& rString, LPCTSTR lpsz)
{
    rString += lpsz;
    rString.FreeExtra();
}

extern "C" __declspec(dllexport) CObject* ExtensionA_CreateArray()
{
    CStringArray* pArray = new CStringArray;
    pArray->Add("made in A");
    return pArray;
}
