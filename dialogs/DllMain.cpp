// The library of graph-object dialogs and Plot Details. It joins the framework's resource
// chain when it is loaded, so that its dialogs, lists and bitmaps are found by id from
// any deliverable.
#include <afxwin.h>

#include "BoxDataPages.h"
#include "QDExport.h"

namespace {

AFX_EXTENSION_MODULE g_extension = {};
HINSTANCE g_instance = nullptr;

} // namespace

// The library's instance handle, for callers that load its resources directly.
extern "C" QD_API HINSTANCE qdfxGetQDHInst()
{
    return g_instance;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        if (!AfxInitExtensionModule(g_extension, instance))
            return FALSE;
        g_instance = instance;
        new CDynLinkLibrary(g_extension);
        CQUPlotDetailsPercentile::CreateWellButtons();
    } else if (reason == DLL_PROCESS_DETACH) {
        CQUPlotDetailsPercentile::DestroyWellButtons();
        AfxTermExtensionModule(g_extension, FALSE);
    }
    return TRUE;
}
